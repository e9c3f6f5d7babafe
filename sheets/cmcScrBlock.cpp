#include "cmcScrBlock.h"

cmcScrBlock::cmcScrBlock(const QString& text) {
    parse(text);
}

void cmcScrBlock::parse(const QString& text) {
    m_args.clear();
    const int space = text.indexOf(' ');
    m_word = (space < 0 ? text : text.left(space)).trimmed();
    if (space < 0) return;
    for (const QString& a : text.mid(space + 1).split(','))
        m_args.append(a.trimmed());
}
