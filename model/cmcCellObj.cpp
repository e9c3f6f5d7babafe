#include "cmcCellObj.h"

#include "cmcFatal.h"

namespace {

[[noreturn]] void channelError() {
    cmcFatal::stop(QStringLiteral("Ch No. Error"));
}

// Reads "@ch" d at text[pos]; returns the channel number and moves pos past the digit.
int32_t readChannelRef(const QString& text, int& pos, const int32_t* channelNumbers) {
    if (!channelNumbers) channelError();
    if (text.mid(pos, 3) != QLatin1String("@ch")) channelError();
    pos += 3;
    if (pos >= text.size() || !text[pos].isDigit() || text[pos].unicode() > '9') channelError();
    const int d = text[pos].unicode() - '0';
    ++pos;
    if (pos < text.size() && text[pos].isDigit()) channelError();
    return channelNumbers[d];
}

// Reads a leading decimal number (optional sign); 0 when there is none.
int32_t leadingDecimal(const QString& text) {
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        v = v * 10 + (text[i].unicode() - '0');
        if (v > INT32_MAX) v = INT32_MAX;
    }
    return int32_t(negative ? -v : v);
}

} // namespace

cmcCellObj& cmcCellObj::operator=(const cmcCellObj& other) {
    if (this == &other) return *this;
    m_template = other.m_template;
    category = other.category;
    label = other.label;
    index = other.index;
    text = other.text;
    setting = other.setting;
    flags = other.flags;
    colour = other.colour;
    font = other.font ? other.font->clone() : nullptr;
    secondText = other.secondText;
    caption = other.caption;
    imageIndex = other.imageIndex;
    return *this;
}

void cmcCellObj::reset() {
    category = CT_None;
    label = CL_None;
    index = 0;
    text.clear();
    setting = -1;
    flags = 0;
    colour = cmcColorNames::clWindow;
    font.reset();
    secondText.clear();
    caption.clear();
    imageIndex = -1;
    if (const cmcCellObj* t = m_template) {
        category = t->category;
        label = t->label;
        index = t->index;
        text = t->text;
        setting = t->setting;
        flags = t->flags;
        colour = t->colour;
        caption = t->caption;
        imageIndex = t->imageIndex;
    }
}

void cmcCellObj::parseReference(const QString& reference, const int32_t* channelNumbers) {
    // The name part ends at the first "[" or ":"; a category dot is looked for only there,
    // so that a dot in the text part (":7.1") is not taken for one.
    int nameEnd = 0;
    while (nameEnd < reference.size() && reference[nameEnd] != u'[' && reference[nameEnd] != u':')
        ++nameEnd;
    int labelStart = 0;
    for (int i = 0; i < nameEnd; ++i) {
        if (reference[i] == u'.' && (i == 0 || reference[i - 1] != u'\\')) {
            category = cmcCellNames::categoryOf(reference.left(i));
            labelStart = i + 1;
            break;
        }
    }
    label = cmcCellNames::labelOf(reference.mid(labelStart, nameEnd - labelStart));

    int pos = nameEnd;
    if (pos < reference.size() && reference[pos] == u'[') {
        const int close = reference.indexOf(u']', pos + 1);
        const QString inside =
            reference.mid(pos + 1, (close < 0 ? reference.size() : close) - pos - 1);
        if (inside.startsWith(u'@')) {
            int p = 0;
            index = readChannelRef(inside, p, channelNumbers);
            if (p != inside.size()) channelError();
        } else {
            index = leadingDecimal(inside.trimmed());
        }
        pos = close < 0 ? reference.size() : close + 1;
    }
    if (pos < reference.size() && reference[pos] == u':') {
        QString out;
        for (int i = pos + 1; i < reference.size(); ++i) {
            if (reference[i] == u'\\' && i + 1 < reference.size()) ++i;
            out += reference[i];
        }
        text = out;
    }
}

QString cmcCellObj::processCaption(const QString& in, const int32_t* channelNumbers) {
    QString out;
    out.reserve(in.size());
    for (int i = 0; i < in.size(); ++i) {
        const QChar c = in[i];
        if (c != u'\\' || i + 1 >= in.size()) {
            out += c;
            continue;
        }
        const QChar e = in[++i];
        if (e == u'n' || e == u'N') {
            out += u'\n';
        } else if (e == u'_') {
            out += u' ';
        } else if (e == u'(') {
            int close = in.indexOf(u')', i + 1);
            if (close < 0) close = in.size();
            const QString expr = in.mid(i + 1, close - i - 1);
            int p = 0;
            int64_t v = readChannelRef(expr, p, channelNumbers);
            if (p < expr.size()) {
                if (expr[p] != u'+') channelError();
                v += leadingDecimal(expr.mid(p + 1));
            }
            out += QString::number(v).left(6);
            i = close;
        } else {
            out += e;
        }
    }
    return out;
}

void cmcCellObj::setCaption(const QString& text, const int32_t* channelNumbers) {
    caption = processCaption(text, channelNumbers);
}
