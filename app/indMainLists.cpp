// File > Export List... and Import List...: the list of the sheet on show as a CSV file
// (imcCsvLists), or a list the user picks where the sheet on show is not a list; a list with
// more than one layout (the channels) asks which one to write. An import is checked as a
// whole before anything changes or anything is asked; its errors are shown in one message, and
// an import that goes in is one undo step ("Import 120 channels").

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcCellTexts.h"
#include "cmcCsvList.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "datCh.h"
#include "imcCsvLists.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString TextKey = QStringLiteral("GI_AppInd_ListCsv");
const QString NamesKey = QStringLiteral("GI_AppInd_ListCsvNames");
const QString LayoutsKey = QStringLiteral("GI_AppInd_ListCsvLayouts");
constexpr int ShownErrors = 20;

enum TextLine {
    ExportTitle = 0,
    ImportTitle,
    Filter,
    StepName,
    NotImported,
    MoreErrors,
    ClearOthers,
    Summary,
    ChooseList,
    Landed,
    FromZero,
    ChooseLayout
};

QString text(int line) {
    return cmcGTex::mainTable().getText(TextKey, line);
}

// A list's row noun in the language in use: one row ("channel") or several ("channels").
QString rowNoun(const cmcCsvTable& list, bool plural) {
    const QStringList forms =
        cmcGTex::mainTable().getText(NamesKey, imcCsvLists::indexOf(list)).split(u'\t');
    return plural && forms.size() >= 2 ? forms.value(1) : forms.value(0);
}

// "120 channels" in the language in use.
QString rowsNamed(const cmcCsvTable& list, int rows) {
    const QString noun = rowNoun(list, rows != 1);
    return text(StepName)
        .replace(QLatin1String("%d"), QString::number(rows))
        .replace(QLatin1String("%s"), noun);
}

// Selection items are written and read in the program's first language, so that a file
// does not depend on the language the editor shows: that language's overlay when another
// one is in use.
cmcGTex* firstLanguageItems(const QString& dataDir, int language) {
    if (language == 0) return nullptr;
    static cmcGTex table;
    static QString opened;
    const QStringList entry =
        cmcGTex::languageTable().getText(QStringLiteral("GI_Sys_Language"), 0).split(u'\t');
    const QString path = QDir(dataDir).filePath(entry.value(1));
    if (entry.size() < 2 || !QFileInfo(path).isFile()) return nullptr;
    if (opened != path) {
        table.openFile(path);
        opened = path;
    }
    return cmcCellTexts::hasKeys(table) ? &table : nullptr;
}

// "120 channels imported: 100 added, 20 replaced, 0 cleared." Rows that came into use,
// rows in use before that changed, and rows no longer in use.
QString summary(const cmcCsvTable& list, const cmcEeprom& before, const cmcEeprom& after,
                int rows) {
    int added = 0, replaced = 0, cleared = 0;
    cmcEeprom a(before), b(after);
    cmcCellDispatch da(&a), db(&b);
    for (int32_t row = 0; row < list.rows; ++row) {
        const bool was = list.inUse(before, row), is = list.inUse(after, row);
        if (!was && is) ++added;
        if (was && !is) ++cleared;
        if (!was || !is) continue;
        for (const cmcCsvColumn& c : list.columns) {
            if (c.label == CL_None || c.kind == cmcCsvColumn::RowNumber) continue;
            if (c.group >= 0) {
                da.setCurrentGroup(c.group);
                db.setCurrentGroup(c.group);
            }
            cmcCellRequest x(list.category, c.label, row), y(list.category, c.label, row);
            da.dispatch(x);
            db.dispatch(y);
            if (x.fl.display != y.fl.display || x.checkBox != y.checkBox) {
                ++replaced;
                break;
            }
        }
    }
    QString t = rowsNamed(list, rows) + u' ' + text(Summary);
    for (int n : {added, replaced, cleared})
        t.replace(t.indexOf(QLatin1String("%d")), 2, QString::number(n));
    return t;
}

// Where the rows went ("Into rows 1-5, 8."), and how the file's numbers were read when they
// count from 0.
QString landing(const cmcCsvResult& result) {
    QString t = text(Landed).replace(QLatin1String("%s"), result.landed());
    if (result.firstNumber == 0) t += u'\n' + text(FromZero);
    return t;
}

// Rows in use that the file does not name: the ones a Replace would clear.
bool othersInUse(const cmcEeprom& image, const cmcCsvTable& list, const cmcCsvResult& named) {
    for (int32_t row = 0; row < list.rows; ++row)
        if (list.inUse(image, row) &&
            std::find(named.targets.begin(), named.targets.end(), row) == named.targets.end())
            return true;
    return false;
}

void tellRefused(const QString& path, const cmcCsvResult& result, const QString& caption) {
    QStringList lines{text(NotImported).replace(QLatin1String("%s"), QFileInfo(path).fileName())};
    for (size_t i = 0; i < result.errors.size() && i < size_t(ShownErrors); ++i)
        lines << result.errors[i].describe();
    if (result.errors.size() > size_t(ShownErrors))
        lines << text(MoreErrors)
                     .replace(QLatin1String("%d"),
                              QString::number(result.errors.size() - ShownErrors));
    cmcPrompt::tell(lines.join(u'\n'), caption, cmcPromptIcon::Error);
}

} // namespace

// The list of the sheet on show, or else the one the user picks ("Channels", "Messages" ...).
const cmcCsvTable* indMain::listToExchange(const QString& caption) {
    if (const cmcCsvTable* list = shownList()) return list;
    const std::vector<const cmcCsvTable*>& lists = imcCsvLists::all();
    QStringList items;
    for (const cmcCsvTable* list : lists) {
        QString name = rowNoun(*list, true);
        if (name.isEmpty()) name = QString::fromLatin1(list->name);
        name[0] = name[0].toUpper();
        items << name;
    }
    const int chosen = cmcPrompt::choose(text(ChooseList), caption, items, m_chosenList);
    if (chosen < 0 || chosen >= int(lists.size())) return nullptr;
    m_chosenList = chosen;
    return lists[size_t(chosen)];
}

const cmcCsvTable* indMain::shownList() const {
    cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
    if (!sheet) return nullptr;
    // A list sheet's first rows hold its first row of cells.
    for (int row = 0; row < sheet->rowCount() && row < 8; ++row)
        for (int col = 0; col < sheet->colCount(); ++col) {
            const int32_t category = sheet->CellObjectAt(col, row).category;
            if (category < 0 || category >= cmcCellNames::CategoryCount) continue;
            if (const cmcCsvTable* list = imcCsvLists::ofList(cmcCellNames::listOf(category)))
                return list;
        }
    return nullptr;
}

// The layout a list is written in: its own, or the one the user picks where it has more.
const cmcCsvTable* indMain::layoutToExport(const cmcCsvTable& list) {
    const std::vector<const cmcCsvTable*> layouts = imcCsvLists::layouts(list);
    if (layouts.size() < 2) return &list;
    const QStringList items = cmcGTex::mainTable().getTextBlock(LayoutsKey).split(u'\n');
    const int chosen = cmcPrompt::choose(text(ChooseLayout), text(ExportTitle),
                                         items.mid(0, qsizetype(layouts.size())), m_chosenLayout);
    if (chosen < 0 || chosen >= int(layouts.size())) return nullptr;
    m_chosenLayout = chosen;
    return layouts[size_t(chosen)];
}

bool indMain::ExportList() {
    const cmcCsvTable* list = listToExchange(text(ExportTitle));
    if (!list) return false;
    const cmcCsvTable* layout = layoutToExport(*list);
    if (!layout) return false;
    const QString filter = text(Filter);
    // A file written before and changed since by another program is not overwritten
    // without a question.
    const QString path = exchangeTarget([&] {
        return cuiFileDialogs::withDefaultSuffix(
            cuiFileDialogs::current().saveFile(m_form, text(ExportTitle), filter, m_currentDir,
                                               QString::fromLatin1(list->name) +
                                                   QStringLiteral(".csv")),
            filter);
    });
    if (path.isEmpty()) return false;
    QString error;
    if (!cmcCsvList::writeFile(
            path,
            cmcCsvList::write(m_working, *layout, firstLanguageItems(m_dataDir, m_env.language)),
            &error)) {
        cmcPrompt::tell(error, appTitle(), cmcPromptIcon::Error);
        return false;
    }
    rememberExchange(path);
    return true;
}

bool indMain::ImportList() {
    const cmcCsvTable* list = listToExchange(text(ImportTitle));
    if (!list) return false;
    const QString path =
        cuiFileDialogs::current().openFile(m_form, text(ImportTitle), text(Filter), m_currentDir);
    if (path.isEmpty()) return false;
    QByteArray bytes;
    QString error;
    if (!cmcCsvList::readFile(path, &bytes, &error)) {
        cmcPrompt::tell(error, appTitle(), cmcPromptIcon::Error);
        return false;
    }

    // The file is checked first (each record onto its row, the others kept); only a file
    // that passed asks whether the rows it does not name are cleared.
    cmcCsvOptions options;
    options.items = firstLanguageItems(m_dataDir, m_env.language);
    const cmcEeprom* defaults = cmcCellDispatch::global().defaultImage();
    cmcEeprom image(m_working);
    cmcCsvResult result =
        cmcCsvList::read(image, defaults, imcCsvLists::layouts(*list), bytes, options);
    if (!result.ok()) {
        tellRefused(path, result, appTitle());
        return false;
    }
    if (othersInUse(m_working, *list, result)) {
        const int answer = cmcPrompt::ask(text(ClearOthers), appTitle(),
                                          cmcPromptButtons::YesNoCancel, cmcPromptIcon::Question);
        if (answer == PA_Cancel) return false;
        if (answer == PA_Yes) {
            options.mode = cmcCsvOptions::Replace;
            image = m_working;
            result = cmcCsvList::read(image, defaults, imcCsvLists::layouts(*list), bytes, options);
            // Rows the file fills only after others were cleared can still be refused.
            if (!result.ok()) {
                tellRefused(path, result, appTitle());
                return false;
            }
        }
    }
    m_currentDir = QFileInfo(path).absolutePath();
    rememberExchange(path);
    const cmcEeprom before(m_working);
    m_working = image;
    m_doc.breakMerge();
    ImageChanged(rowsNamed(*list, result.rows));
    RefreshViews();
    cmcPrompt::tell(summary(*list, before, m_working, result.rows) + u'\n' + landing(result),
                    appTitle(), cmcPromptIcon::Information);
    return true;
}
