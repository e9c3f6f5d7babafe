// Consistency of the delivered data files: every text key the program asks for exists in
// every language, the definitions name only known cells, models, menus and colours, and
// every sheet that the tree opens builds over the initial data without a fatal stop.

#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcColorNames.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcOverlayCheck.h"
#include "cuiDispatchSource.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetLayout.h"
#include "cuiToolBar.h"
#include "cuiTree.h"
#include "imcRadioFacts.h"
#include "imcSettingCells.h"
#include "indCloneFile.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kRuntimeDir = QStringLiteral(QX_RUNTIME_DIR);

// The keys of an overlay file, as the text table indexes them (up to "#End_Of_Ovl").
QStringList overlayKeys(const QString& path) {
    QStringList keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    while (!f.atEnd()) {
        QString line = QString::fromLatin1(f.readLine());
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.size() < 2 || line[0] != '#') continue;
        keys.append(line.mid(1));
        if (line == QLatin1String("#End_Of_Ovl")) break;
    }
    return keys;
}

struct Language {
    QString name;
    QString mainFile; // full path
};

QList<Language> languages() {
    cmcGTex list;
    list.openFile(kRuntimeDir + QStringLiteral("/QXT5200.OVL"));
    QList<Language> out;
    for (int i = 0; i < 256; ++i) {
        const QString line = list.getText(QStringLiteral("GI_Sys_Language"), i);
        if (line.startsWith('#')) break;
        out.append({line.section('\t', 0, 0), kRuntimeDir + '/' + line.section('\t', 1, 1)});
    }
    return out;
}

// Every "GI_..." and "CellModel_..." string literal of the program's sources. A literal
// with a printf placeholder is kept up to the placeholder (a key prefix).
QSet<QString> keysInSources() {
    const QDir root(QStringLiteral(QX_TEST_DATA_DIR "/../.."));
    static const QRegularExpression literal(QStringLiteral("\"((?:GI_|CellModel_)[A-Za-z0-9_%]*)"));
    QSet<QString> keys;
    for (const char* folder :
         {"base", "text", "model", "clone", "sheets", "print", "app", "tools"}) {
        QDirIterator it(root.filePath(QLatin1String(folder)),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The fuzz targets build sheets from tables of their own, not from the overlays.
            if (path.contains(QLatin1String("/tools/fuzz/"))) continue;
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (auto m = literal.globalMatch(text); m.hasNext();)
                keys.insert(m.next().captured(1).section('%', 0, 0));
        }
    }
    return keys;
}

// The sheets a tree opens: the commands of all its nodes, and of the controller's branches.
QStringList treeCommands(cmcGTex& table) {
    QWidget owner;
    cuiTree tree(&owner, table, QStringLiteral("GI_Tree_Main"));
    tree.BuildTree();
    QTreeWidgetItem* top = tree.view()->topLevelItem(0);
    tree.AddBranch(top, QStringLiteral("GI_Tree_Branch_Mch_BankOperation"));
    tree.AddBranch(top, QStringLiteral("GI_Tree_Branch_Mch_Bank"));
    QStringList commands;
    for (QTreeWidgetItemIterator it(tree.view()); *it; ++it)
        if (!commands.contains(tree.CommandOf(*it))) commands.append(tree.CommandOf(*it));
    return commands;
}

// The definition lines of an overlay: every line of the keys that hold cell texts.
QList<QPair<QString, QString>> definitionLines(const QString& path) {
    cmcGTex table;
    table.openFile(path);
    QList<QPair<QString, QString>> lines;
    for (const QString& key : overlayKeys(path)) {
        const bool definition =
            key.startsWith(QLatin1String("CellModel_")) ||
            key.endsWith(QLatin1String("_BasicCell")) || key.endsWith(QLatin1String("_Cells")) ||
            key.endsWith(QLatin1String("_Body")) || key.endsWith(QLatin1String("_Style")) ||
            key.startsWith(QLatin1String("GI_Tree_Branch_")) ||
            key == QLatin1String("GI_WarningCheckList");
        if (!definition) continue;
        for (const QString& line : table.getTextBlock(key).split('\n'))
            lines.append({key, line});
    }
    return lines;
}

} // namespace

class tst_Overlay : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void languagesListed();
    void keysUsedByTheProgramExist_data();
    void keysUsedByTheProgramExist();
    void definitionsNameKnownThings_data();
    void definitionsNameKnownThings();
    void treeSheetsBuild_data();
    void treeSheetsBuild();
    void settingsAndBandEdgesAllShown();
    void mainMenuAndToolBar();
    void startupCheckPasses_data();
    void startupCheckPasses();
    void startupCheckFindsDamage_data();
    void startupCheckFindsDamage();
    void startupCheckStopsHugeCounts();

  private:
    // Creates and builds the sheet of a command; a fatal stop fails the test.
    std::unique_ptr<cuiSheet> buildSheet(QWidget* host, const QString& command, QString* fatal);

    std::unique_ptr<FatalGuard> m_guard;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    cmcGTex m_main;
    cmcEeprom m_image{QxRadio::ImageSize};
    std::unique_ptr<cuiDispatchSource> m_source;
};

std::unique_ptr<cuiSheet> tst_Overlay::buildSheet(QWidget* host, const QString& command,
                                                  QString* fatal) {
    std::unique_ptr<cuiSheet> sheet;
    try {
        sheet.reset(cuiSheet::create(host, command, m_main));
        sheet->setCellSource(m_source.get());
        sheet->Build();
    } catch (const cmcFatalError& e) {
        *fatal = e.message;
        sheet.reset();
    }
    return sheet;
}

void tst_Overlay::initTestCase() {
    m_guard = std::make_unique<FatalGuard>();
    m_prompt = std::make_unique<ScriptedPrompt>();
    const QList<Language> langs = languages();
    QVERIFY(!langs.isEmpty());
    m_main.openFile(langs.first().mainFile);
    cmcFCache::instance().setTable(&m_main);

    // The initial data file, read as the program reads it at start.
    const QString initial =
        kRuntimeDir + '/' + m_main.getText(QStringLiteral("GI_App_InitialFile"), 0);
    QCOMPARE(indCloneFile::readInitial(initial, m_image), 0);
    cmcCellDispatch::global().setImage(&m_image);
    m_source = std::make_unique<cuiDispatchSource>(&cmcCellDispatch::global());
}

void tst_Overlay::cleanupTestCase() {
    cmcCellDispatch::global().setImage(nullptr);
    cmcFCache::instance().setTable(nullptr);
}

void tst_Overlay::languagesListed() {
    for (const Language& lang : languages()) {
        QVERIFY2(!lang.name.isEmpty(), qPrintable(lang.mainFile));
        QVERIFY2(QFile::exists(lang.mainFile), qPrintable(lang.mainFile));
        cmcGTex table;
        table.openFile(lang.mainFile);
        const QString help =
            kRuntimeDir + '/' + table.getText(QStringLiteral("GI_Sys_MyHelpOvl"), 0);
        QVERIFY2(QFile::exists(help), qPrintable(help));
        QVERIFY2(overlayKeys(lang.mainFile).contains(QStringLiteral("End_Of_Ovl")),
                 qPrintable(lang.mainFile));
    }
}

void tst_Overlay::keysUsedByTheProgramExist_data() {
    QTest::addColumn<QString>("overlay");
    for (const Language& lang : languages())
        QTest::newRow(qPrintable(lang.name)) << lang.mainFile;
}

// A key the program asks for exists in the language's overlay, its help overlay or the
// language list; a key prefix (a literal completed at run time) begins at least one key at
// a "_" boundary.
void tst_Overlay::keysUsedByTheProgramExist() {
    QFETCH(QString, overlay);
    QSet<QString> used = keysInSources();
    QVERIFY2(used.contains(QStringLiteral("GI_Sys_AppTitle")), "the source scan found nothing");
    // The keys every main overlay delivers, whether or not their reader is written yet.
    for (const char* k : {"GI_Sys_AppTitle",
                          "GI_Sys_MyHelpOvl",
                          "GI_Sys_MyHelpFile",
                          "GI_App_InitialFile",
                          "GI_Form_Main_BasicCell",
                          "GI_Menu_Main_BasicCell",
                          "GI_Menu_Main_Body",
                          "GI_ToolBar_Main_BasicCell",
                          "GI_ToolBar_Main_Body",
                          "GI_Tree_Main_BasicCell",
                          "GI_Tree_Main_Body",
                          "GI_Sys_TreeChangeDelay",
                          "GI_WarningCheckList",
                          "GI_CellWidthRegList",
                          "GI_Tree_Branch_Mch_BankOperation",
                          "GI_Tree_Branch_Mch_Bank",
                          "GI_AppInd_MchSheet_Printer_Head",
                          "GI_PMenu_Edit_BasicCell",
                          "GI_PMenu_Edit_Body",
                          "GI_PMenu_NoItem_BasicCell",
                          "GI_PMenu_NoItem_Body",
                          "CellModel_Basic"})
        used.insert(QLatin1String(k));

    cmcGTex table;
    table.openFile(overlay);
    QStringList keys = overlayKeys(overlay);
    keys += overlayKeys(kRuntimeDir + '/' + table.getText(QStringLiteral("GI_Sys_MyHelpOvl"), 0));
    keys += overlayKeys(kRuntimeDir + QStringLiteral("/QXT5200.OVL"));
    const QSet<QString> keySet(keys.begin(), keys.end());

    QStringList missing;
    for (const QString& k : used) {
        if (keySet.contains(k)) continue;
        const bool prefix = std::any_of(keys.begin(), keys.end(), [&](const QString& key) {
            return key.size() > k.size() && key.startsWith(k) &&
                   (k.endsWith('_') || key[k.size()] == '_');
        });
        if (!prefix) missing.append(k);
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

void tst_Overlay::definitionsNameKnownThings_data() {
    keysUsedByTheProgramExist_data();
}

// Cell references, models, pop-up menus and colours of the definitions: names the
// definition language would stop on or silently ignore.
void tst_Overlay::definitionsNameKnownThings() {
    QFETCH(QString, overlay);
    const QStringList keys = overlayKeys(overlay);
    const QSet<QString> keySet(keys.begin(), keys.end());
    static const QRegularExpression ref(QStringLiteral("\\(%([^)\\[:]*)"));
    static const QRegularExpression model(QStringLiteral("\\(\\$([^)]*)\\)"));
    static const QRegularExpression popup(QStringLiteral("PopupMenu=([^)]*)\\)"));
    static const QRegularExpression colour(QStringLiteral("Color=([^)]*)\\)"));
    static const QRegularExpression fontColour(QStringLiteral("Font=[^,)]*,[^,)]*,([^,)]*),"));

    QStringList bad;
    int references = 0;
    for (const auto& [key, line] : definitionLines(overlay)) {
        const QString where = key + QStringLiteral(": ");
        for (auto m = ref.globalMatch(line); m.hasNext();) {
            const QString name = m.next().captured(1);
            const int dot = int(name.indexOf('.'));
            int32_t n = 0;
            if (dot >= 0 && !cmcCellNames::findCategory(name.left(dot), &n))
                bad.append(where + QStringLiteral("category ") + name.left(dot));
            if (!cmcCellNames::findLabel(name.mid(dot + 1), &n))
                bad.append(where + QStringLiteral("label ") + name.mid(dot + 1));
            ++references;
        }
        for (auto m = model.globalMatch(line); m.hasNext();) {
            const QString name = m.next().captured(1);
            if (!keySet.contains(QStringLiteral("CellModel_") + name))
                bad.append(where + QStringLiteral("model ") + name);
        }
        for (auto m = popup.globalMatch(line); m.hasNext();) {
            const QString name = m.next().captured(1);
            if (!keySet.contains(name + QStringLiteral("_BasicCell")) ||
                !keySet.contains(name + QStringLiteral("_Body")))
                bad.append(where + QStringLiteral("pop-up menu ") + name);
        }
        for (const QRegularExpression* re : {&colour, &fontColour}) {
            for (auto m = re->globalMatch(line); m.hasNext();) {
                const QString name = m.next().captured(1);
                uint32_t c = 0;
                if (!name.isEmpty() && !cmcColorNames::find(name, &c))
                    bad.append(where + QStringLiteral("colour ") + name);
            }
        }
    }
    // Stored column widths: listed sheets exist, each under a registry name of its own.
    cmcGTex table;
    table.openFile(overlay);
    QSet<QString> registryNames;
    for (int i = 0;; ++i) {
        const QString line = table.getText(QStringLiteral("GI_CellWidthRegList"), i);
        if (line.startsWith('#') || !line.contains(':')) break;
        const QString sheet = line.section(':', 0, 0), name = line.section(':', 1);
        if (!keySet.contains(sheet + QStringLiteral("_Cells")))
            bad.append(QStringLiteral("width list: sheet ") + sheet);
        if (name.isEmpty() || registryNames.contains(name))
            bad.append(QStringLiteral("width list: name ") + name);
        registryNames.insert(name);
    }
    QVERIFY(!registryNames.isEmpty());
    QVERIFY(references > 100);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join('\n')));
}

void tst_Overlay::treeSheetsBuild_data() {
    QTest::addColumn<QString>("command");
    for (const QString& command : treeCommands(m_main))
        QTest::newRow(qPrintable(command)) << command;
}

// Each sheet of the tree has its three sections and builds over the initial data; every
// value cell it shows has a case in this model (no "*Yet*" placeholder).
void tst_Overlay::treeSheetsBuild() {
    QFETCH(QString, command);
    QString state, key, arguments;
    cuiSheet::splitCommand(command, state, key, arguments);
    for (const char* section : {"_Style", "_BasicCell", "_Cells"})
        QVERIFY2(m_main.hasKey(key + QLatin1String(section)),
                 qPrintable(key + QLatin1String(section)));

    QWidget host;
    host.resize(1000, 700);
    QString fatal;
    const std::unique_ptr<cuiSheet> sheet = buildSheet(&host, command, &fatal);
    QVERIFY2(sheet, qPrintable(QStringLiteral("fatal stop: ") + fatal));
    QVERIFY(sheet->rowCount() > 0 && sheet->colCount() > 0);
    if (state == QLatin1String("St_ChBank")) QCOMPARE(sheet->rowCount(), 1 + 500);

    QStringList dead;
    for (int r = 0; r < sheet->rowCount(); ++r) {
        for (int c = 0; c < sheet->colCount(); ++c) {
            const cuiCell& cell = sheet->CellObjectAt(c, r);
            if (!cell.hasLabel()) continue;
            if (r > 3 && r < sheet->rowCount() - 1)
                continue; // repeated rows: the first and last do
            const cuiCellView view = m_source->view(cell, false, false);
            if (view.text.endsWith(QLatin1String("*Yet*")))
                dead.append(QStringLiteral("(%1,%2) %3")
                                .arg(c)
                                .arg(r)
                                .arg(cmcCellNames::labelName(cell.label)));
        }
    }
    QVERIFY2(dead.isEmpty(), qPrintable(dead.join(QStringLiteral(", "))));
}

// Every value of the settings block and every VFO band edge has a cell on a tree sheet.
void tst_Overlay::settingsAndBandEdgesAllShown() {
    QSet<int32_t> shown;
    QWidget host;
    for (const QString& command : treeCommands(m_main)) {
        QString fatal;
        const std::unique_ptr<cuiSheet> sheet = buildSheet(&host, command, &fatal);
        QVERIFY2(sheet, qPrintable(command + QStringLiteral(": ") + fatal));
        for (int r = 0; r < sheet->rowCount(); ++r)
            for (int c = 0; c < sheet->colCount(); ++c)
                shown.insert(sheet->CellObjectAt(c, r).label);
    }
    QStringList missing;
    for (int32_t label = 0; label < cmcCellNames::LabelCount; ++label) {
        if (!imcSettingCells::serves(label)) continue;
        const int32_t address = imcSettingCells::addressOf(label);
        const bool settings = address >= 0xA962 && address <= 0xA9AB;
        const bool vfo = label >= CL_VFO_A_Band1 && label <= CL_VFO_B_Band9;
        if ((settings || vfo) && !shown.contains(label))
            missing.append(cmcCellNames::labelName(label));
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

// The main menu offers every command of the shell, and the tool bar's buttons carry the
// images of the tool-bar image list.
void tst_Overlay::mainMenuAndToolBar() {
    QWidget owner;
    std::unique_ptr<cuiMenu> menu;
    std::unique_ptr<cuiToolBar> bar;
    try {
        menu = std::make_unique<cuiMenu>(&owner, m_main, QStringLiteral("GI_Menu_Main"),
                                         m_source.get());
        bar = std::make_unique<cuiToolBar>(&owner, m_main, QStringLiteral("GI_ToolBar_Main"),
                                           m_source.get());
        cmcGTex& t = m_main;
        t.getText(QStringLiteral("GI_Form_Main_BasicCell"), 0);
        QVERIFY(t.getText(QStringLiteral("GI_Sys_TreeChangeDelay"), 0).toInt() > 0);
    } catch (const cmcFatalError& e) {
        QFAIL(qPrintable(QStringLiteral("fatal stop: ") + e.message));
    }

    QMultiMap<int32_t, int32_t> indices; // label -> index
    for (QAction* a : menu->actions()) {
        const cuiCell* cell = menu->cellOf(a);
        if (cell->hasLabel()) indices.insert(cell->label, cell->index);
    }
    for (int32_t label : {CL_Menu_File_New,
                          CL_Menu_File_Open,
                          CL_Menu_File_Save,
                          CL_Menu_File_SaveAs,
                          CL_Menu_File_Print_Current,
                          CL_Menu_File_Print_All,
                          CL_Menu_File_Recent,
                          CL_Menu_File_Exit,
                          CL_Menu_Edit_Top,
                          CL_Menu_View_FontSize,
                          CL_Menu_View_ToolBar,
                          CL_Menu_Port_Usb,
                          CL_Menu_Port_Search,
                          CL_Menu_Tcpip_Top,
                          CL_Menu_Tcpip_Address,
                          CL_Menu_Tcpip_Port,
                          CL_Menu_Clone_Read,
                          CL_Menu_Clone_Write,
                          CL_Menu_Clone_Info,
                          CL_Help_Contents,
                          CL_Help_About,
                          CL_Menu_Lang,
                          CL_Menu_Ad_Read,
                          CL_Menu_View_Ad})
        QVERIFY2(indices.contains(label), qPrintable(cmcCellNames::labelName(label)));
    const QList<int32_t> ports = indices.values(CL_Menu_Port_Com);
    QCOMPARE(QSet<int32_t>(ports.begin(), ports.end()), QSet<int32_t>({1, 2, 3, 4}));
    const QList<int32_t> speeds = indices.values(CL_Menu_Port_SpeedHigh);
    QCOMPARE(QSet<int32_t>(speeds.begin(), speeds.end()), QSet<int32_t>({0, 1}));
    for (int32_t percent : indices.values(CL_Menu_View_FontSize))
        QVERIFY(percent >= 25 && percent <= 1000);

    QMap<QString, int> images;
    for (QAction* a : bar->buttons()) {
        if (const cuiCell* cell = bar->cellOf(a))
            images.insert(cmcCellNames::labelName(cell->label) + QString::number(cell->index),
                          cell->imageIndex);
    }
    const QMap<QString, int> expected{{"CL_Menu_File_New0", 0},    {"CL_Menu_File_Open0", 1},
                                      {"CL_Menu_File_Save0", 2},   {"CL_Menu_Port_Com1", 3},
                                      {"CL_Menu_Port_Com2", 4},    {"CL_Menu_Port_Com3", 5},
                                      {"CL_Menu_Port_Com4", 6},    {"CL_Menu_Clone_Read0", 7},
                                      {"CL_Menu_Clone_Write0", 8}, {"CL_Menu_Clone_Info0", 9}};
    QCOMPARE(images, expected);
}

// The start-up check passes on every delivered language.
void tst_Overlay::startupCheckPasses_data() {
    keysUsedByTheProgramExist_data();
}

void tst_Overlay::startupCheckPasses() {
    QFETCH(QString, overlay);
    cmcGTex main, languages;
    cmcHelpGTex help;
    main.openFile(overlay);
    help.openFile(kRuntimeDir + '/' + main.getText(QStringLiteral("GI_Sys_MyHelpOvl"), 0));
    languages.openFile(kRuntimeDir + QStringLiteral("/QXT5200.OVL"));
    QVERIFY(cmcOverlayCheck::codeKeys().contains(QStringLiteral("GI_Sys_AppTitle")));
    QCOMPARE(cmcOverlayCheck::firstMissing(cmcOverlayCheck::codeKeys(), main, help, languages),
             QString());
}

// A truncated overlay, one without a message the code names, and one without a pop-up
// menu a cell names are each caught, naming the key.
void tst_Overlay::startupCheckFindsDamage_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected"); // the key reported; empty: any key
    QTest::newRow("truncated") << "truncate" << QString();
    QTest::newRow("message removed") << "GI_Mess_DataError"
                                     << "GI_Mess_DataError";
    QTest::newRow("pop-up menu removed") << "GI_PMenu_ChBit_Body"
                                         << "GI_PMenu_ChBit_Body";
}

void tst_Overlay::startupCheckFindsDamage() {
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QFile original(kRuntimeDir + QStringLiteral("/QXT5200_ENG.OVL"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = original.readAll().split('\n');
    if (damage == QLatin1String("truncate")) {
        lines = lines.mid(0, lines.size() * 6 / 10);
    } else {
        const qsizetype at = lines.indexOf(QByteArray("#") + damage.toLatin1());
        QVERIFY(at >= 0);
        lines[at] = "#QX_Removed_Key";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QXT5200_ENG.OVL"));
    QFile copy(path);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(lines.join('\n'));
    copy.close();

    cmcGTex main, languages;
    cmcHelpGTex help;
    main.openFile(path);
    help.openFile(kRuntimeDir + QStringLiteral("/QXT5200_HLP.OVL"));
    languages.openFile(kRuntimeDir + QStringLiteral("/QXT5200.OVL"));
    const QString missing =
        cmcOverlayCheck::firstMissing(cmcOverlayCheck::codeKeys(), main, help, languages);
    QVERIFY(!missing.isEmpty());
    if (!expected.isEmpty()) QCOMPARE(missing, expected);
}

// A loop count no sheet can hold stops the program at start-up, naming the sheet, before
// anything is allocated for it; the delivered overlay passes.
void tst_Overlay::startupCheckStopsHugeCounts() {
    QFile original(kRuntimeDir + QStringLiteral("/QXT5200_ENG.OVL"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    cmcGTex delivered;
    delivered.openFile(original.fileName());
    cuiSheetLayout::checkDefinitions(delivered);

    QVERIFY(text.contains("\n:(LoopFrom 300)\r\n") || text.contains("\n:(LoopFrom 300)\n"));
    text.replace(":(LoopFrom 300)", ":(LoopFrom 300000000)");
    QTemporaryDir dir;
    QFile copy(dir.filePath(QStringLiteral("QXT5200_ENG.OVL")));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(text);
    copy.close();
    cmcGTex damaged;
    damaged.openFile(copy.fileName());
    QString stopped;
    try {
        cuiSheetLayout::checkDefinitions(damaged);
    } catch (const cmcFatalError& e) {
        stopped = e.message;
    }
    QCOMPARE(stopped,
             QStringLiteral("Illegal Cell assign\n'GI_Sheet_AddrL' has more than 4160 rows."));
}

QTEST_MAIN(tst_Overlay)
#include "tst_overlay.moc"
