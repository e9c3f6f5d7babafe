#include "cuiColor.h"

#include "cmcColorNames.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor systemColor(int index) {
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 1:
        return QColor(0, 128, 128);
    case 2:
        return pal.color(QPalette::Active, QPalette::Highlight);
    case 3:
        return pal.color(QPalette::Mid);
    case 4:
        return pal.color(QPalette::Window);
    case 5:
        return pal.color(QPalette::Base);
    case 6:
        return pal.color(QPalette::Shadow);
    case 7:
        return pal.color(QPalette::WindowText);
    case 8:
        return pal.color(QPalette::Text);
    case 9:
        return pal.color(QPalette::HighlightedText);
    case 10:
        return pal.color(QPalette::Window);
    case 11:
        return pal.color(QPalette::Window);
    case 12:
        return pal.color(QPalette::Dark);
    case 13:
        return pal.color(QPalette::Active, QPalette::Highlight);
    case 14:
        return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 15:
        return pal.color(QPalette::Button);
    case 16:
        return pal.color(QPalette::Dark);
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return pal.color(QPalette::ButtonText);
    case 19:
        return pal.color(QPalette::Text);
    case 20:
        return pal.color(QPalette::Light);
    default:
        return pal.color(QPalette::Base);
    }
}

} // namespace

namespace cuiColor {

bool fromName(const QString& name, uint32_t& value) {
    return cmcColorNames::find(name, &value);
}

bool isSystem(uint32_t value) {
    return (value & 0xFF000000u) == System;
}

QColor toQColor(uint32_t value) {
    if (isSystem(value)) return systemColor(int(value & 0xFF));
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

uint32_t fromQColor(const QColor& c) {
    return rgb(c.red(), c.green(), c.blue());
}

} // namespace cuiColor
