#include "cmcColorNames.h"

#include "cmcHash.h"

namespace {

struct NamedColour {
    const char* name;
    uint32_t colour;
};

const NamedColour kColours[] = {
    {"clAqua", cmcColorNames::rgb(0, 255, 255)},
    {"clBlack", cmcColorNames::rgb(0, 0, 0)},
    {"clBlue", cmcColorNames::rgb(0, 0, 255)},
    {"clDkGray", cmcColorNames::rgb(128, 128, 128)},
    {"clFuchsia", cmcColorNames::rgb(255, 0, 255)},
    {"clGray", cmcColorNames::rgb(128, 128, 128)},
    {"clGreen", cmcColorNames::rgb(0, 128, 0)},
    {"clLime", cmcColorNames::rgb(0, 255, 0)},
    {"clLtGray", cmcColorNames::rgb(192, 192, 192)},
    {"clMaroon", cmcColorNames::rgb(128, 0, 0)},
    {"clNavy", cmcColorNames::rgb(0, 0, 128)},
    {"clOlive", cmcColorNames::rgb(128, 128, 0)},
    {"clPurple", cmcColorNames::rgb(128, 0, 128)},
    {"clRed", cmcColorNames::rgb(255, 0, 0)},
    {"clSilver", cmcColorNames::rgb(192, 192, 192)},
    {"clTeal", cmcColorNames::rgb(0, 128, 128)},
    {"clWhite", cmcColorNames::rgb(255, 255, 255)},
    {"clYellow", cmcColorNames::rgb(255, 255, 0)},
    {"clBackground", cmcColorNames::system(1)},
    {"clActiveCaption", cmcColorNames::system(2)},
    {"clInactiveCaption", cmcColorNames::system(3)},
    {"clMenu", cmcColorNames::system(4)},
    {"clWindow", cmcColorNames::system(5)},
    {"clWindowFrame", cmcColorNames::system(6)},
    {"clMenuText", cmcColorNames::system(7)},
    {"clWindowText", cmcColorNames::system(8)},
    {"clCaptionText", cmcColorNames::system(9)},
    {"clActiveBorder", cmcColorNames::system(10)},
    {"clInactiveBorder", cmcColorNames::system(11)},
    {"clAppWorkSpace", cmcColorNames::system(12)},
    {"clHighlight", cmcColorNames::system(13)},
    {"clHightlightText", cmcColorNames::system(14)},
    {"clBtnFace", cmcColorNames::system(15)},
    {"clBtnShadow", cmcColorNames::system(16)},
    {"clGrayText", cmcColorNames::system(17)},
    {"clBtnText", cmcColorNames::system(18)},
    {"clInactiveCaptionText", cmcColorNames::system(19)},
    {"clBtnHighlight", cmcColorNames::system(20)},
};
static_assert(sizeof(kColours) / sizeof(kColours[0]) == cmcColorNames::Count, "38 colour names");

struct ColourTable {
    cmcHash hash{cmcColorNames::Buckets};
    ColourTable() {
        for (int i = 0; i < cmcColorNames::Count; ++i)
            hash.insert(QByteArray(kColours[i].name), int32_t(i));
    }
};

const cmcHash& table() {
    static const ColourTable t;
    return t.hash;
}

} // namespace

bool cmcColorNames::find(const QString& name, uint32_t* colour) {
    int32_t i = 0;
    if (!table().find(name.toLatin1(), &i)) return false;
    if (colour) *colour = kColours[i].colour;
    return true;
}
