#include "cmcCellNames.h"

#include "cmcFatal.h"
#include "cmcHash.h"

namespace {

const char* const kCategoryNames[] = {
#define QX_CT_NAME(name, list) #name,
    QX_CELL_CATEGORIES(QX_CT_NAME)
#undef QX_CT_NAME
};

const int32_t kCategoryLists[] = {
#define QX_CT_LIST(name, list) list,
    QX_CELL_CATEGORIES(QX_CT_LIST)
#undef QX_CT_LIST
        0 // CT_None
};

const char* const kLabelNames[] = {
#define QX_CL_NAME(name) #name,
    QX_CELL_LABELS(QX_CL_NAME)
#undef QX_CL_NAME
};

static_assert(sizeof(kCategoryNames) / sizeof(kCategoryNames[0]) == 49, "49 categories");
static_assert(sizeof(kLabelNames) / sizeof(kLabelNames[0]) == CL_None, "label table");

// One table holds both name sets: the categories on first use, the labels on the first
// label lookup.
struct NameTable {
    cmcHash hash{1031};
    bool labelsEntered = false;
    NameTable() {
        for (int32_t i = 0; i < CT_None; ++i)
            hash.insert(QByteArray(kCategoryNames[i]), i);
    }
    void enterLabels() {
        if (labelsEntered) return;
        labelsEntered = true;
        for (int32_t i = 0; i < CL_None; ++i)
            hash.insert(QByteArray(kLabelNames[i]), i);
    }
};

NameTable& table() {
    static NameTable t;
    return t;
}

} // namespace

bool cmcCellNames::findCategory(const QString& name, int32_t* number) {
    if (name.isEmpty()) {
        if (number) *number = CT_None;
        return true;
    }
    int32_t v = 0;
    const QByteArray key = name.toLatin1();
    // Both sets share the table: a hit must really be a category name.
    if (!table().hash.find(key, &v) || v < 0 || v >= CT_None || key != kCategoryNames[v])
        return false;
    if (number) *number = v;
    return true;
}

bool cmcCellNames::findLabel(const QString& name, int32_t* number) {
    if (name.isEmpty()) {
        if (number) *number = CL_None;
        return true;
    }
    table().enterLabels();
    int32_t v = 0;
    const QByteArray key = name.toLatin1();
    if (!table().hash.find(key, &v) || v < 0 || v >= CL_None || key != kLabelNames[v]) return false;
    if (number) *number = v;
    return true;
}

int32_t cmcCellNames::categoryOf(const QString& name) {
    int32_t v = CT_None;
    if (!findCategory(name, &v))
        cmcFatal::stop(QStringLiteral("Cannot use the specified category.\n'%1'").arg(name));
    return v;
}

int32_t cmcCellNames::labelOf(const QString& name) {
    int32_t v = CL_None;
    if (!findLabel(name, &v))
        cmcFatal::stop(QStringLiteral("Cannot use the specified cell.\n'%1'").arg(name));
    return v;
}

QString cmcCellNames::categoryName(int32_t category) {
    if (category < 0 || category >= CT_None) return QString();
    return QString::fromLatin1(kCategoryNames[category]);
}

const char* cmcCellNames::labelNameRaw(int32_t label) {
    if (label < 0 || label >= CL_None) return "";
    return kLabelNames[label];
}

QString cmcCellNames::labelName(int32_t label) {
    return QString::fromLatin1(labelNameRaw(label));
}

int32_t cmcCellNames::listOf(int32_t category) {
    if (category < 0 || category > CT_None)
        cmcFatal::stop(QStringLiteral("Unknown Cell Category. (%1)").arg(category));
    return kCategoryLists[category];
}
