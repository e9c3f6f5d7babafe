// The sheet definition language: row and cell texts, attributes, fonts, directives, loops,
// counters, style items, the sheet factory and stored column widths.

#include "ScriptedPrompt.h"
#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cuiCellParser.h"
#include "cuiFont.h"
#include "cuiSheet.h"
#include "iuiSh_ChBank.h"
#include "iuiSh_Common.h"

#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

// Builds sheet "S" from the cells lines, with the given style, in a host widget.
struct BuiltSheet {
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> sheet;

    BuiltSheet(
        const QStringList& cells, const QString& style = QString(),
        const QString& basic = QStringLiteral("{<-(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)}"),
        const QString& command = QStringLiteral("S")) {
        defs.sheet(QStringLiteral("S"), style, basic, cells);
        defs.add(QStringLiteral("CellModel_Fit"), {QStringLiteral("WH")});
        host.resize(800, 600);
        sheet.reset(cuiSheet::create(&host, command, defs.table()));
        sheet->Build();
    }
};

QString fatalOf(const std::function<void()>& f) {
    FatalGuard guard;
    try {
        f();
    } catch (const cmcFatalError& e) {
        return e.message;
    }
    return QString();
}

} // namespace

class tst_SheetDef : public QObject {
    Q_OBJECT
  private slots:
    void rowSplit_data();
    void rowSplit();
    void attributes_data();
    void attributes();
    void fontSpec_data();
    void fontSpec();
    void displayText_data();
    void displayText();
    void counterErrorsAreFatal_data();
    void counterErrorsAreFatal();
    void modelsAndNegation();
    void loops_data();
    void loops();
    void countersAdvanceInTwoRowBody();
    void selectOffRowsStayOutOfMultiSelection();
    void styleItems_data();
    void styleItems();
    void definitionErrorsAreFatal();
    void hugeSizesAreBounded();
    void commandSplit_data();
    void commandSplit();
    void factoryChoosesClass();
    void commonDirectives_data();
    void commonDirectives();
    void basicCellFontScale();
    void columnWidthsOnlyForListedSheets();
    void columnWidthReset();
    void bankArguments_data();
    void bankArguments();
    void bankRowsAndPadding();
    void bankRowEvents();
};

void tst_SheetDef::rowSplit_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("leading, inner, trailing bars") << "|A|B|C|" << QStringList{"", "A", "B", "C"};
    QTest::newRow("escaped bar stays in the cell") << "A\\|B|C" << QStringList{"A\\|B", "C"};
    QTest::newRow("no trailing bar") << "A|B" << QStringList{"A", "B"};
    QTest::newRow("empty inner cell") << "A||" << QStringList{"A", ""};
    QTest::newRow("empty line") << "" << QStringList{};
    QTest::newRow("index cell after empty one") << "|{($iChI)}7|" << QStringList{"", "{($iChI)}7"};
}

void tst_SheetDef::rowSplit() {
    QFETCH(QString, line);
    QFETCH(QStringList, cells);
    QCOMPARE(cuiCellParser::splitRow(line), cells);
}

void tst_SheetDef::attributes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // field=value;... compared one by one

    QTest::newRow("alignment and flags") << "{^_WHB+STX}Head"
                                         << "h=1;v=2;fw=1;fh=1;b=1;j=1;s=1;t=1;rm=1;text=Head";
    QTest::newRow("short mark, negated right mark") << "{Q}x"
                                                    << "rm=2";
    QTest::newRow("negation clears the mark") << "{X!X}"
                                              << "rm=0";
    QTest::newRow("negation applies to one flag only") << "{!SB}"
                                                       << "s=0;b=1";
    QTest::newRow("colour") << "{(Color=clGray)}"
                            << "color=8421504";
    QTest::newRow("unknown colour keeps the old one") << "{(Color=clGray)(Color=clNope)}"
                                                      << "color=8421504";
    QTest::newRow("image index") << "{(ImageIndex=7)}"
                                 << "img=7";
    QTest::newRow("pop-up menu") << "{(PopupMenu=GI_PMenu_Edit)}"
                                 << "popup=GI_PMenu_Edit";
    QTest::newRow("state flags set and clear") << "{(Flag0=1)(Flag8=1)(Flag8=0)(Flag3=x)}"
                                               << "flags=1";
    QTest::newRow("attribute without equals does nothing") << "{(Color)(ImageIndex)}"
                                                           << "img=-1;color=4278190085";
    QTest::newRow("full reference")
        << "{(%CT_ChannelList.CL_ChL_FreqR[12]:opt)}"
        << QString("cat=%1;label=%2;index=12;option=opt").arg(CT_ChannelList).arg(CL_ChL_FreqR);
    QTest::newRow("reference keeps inherited category")
        << "{(%CL_FBits[3]:x\\:y)}" << QString("cat=0;label=%1;index=3;option=x:y").arg(CL_FBits);
    QTest::newRow("empty category name gives none")
        << "{(%.CL_ChL_Name)}" << QString("cat=49;label=%1").arg(CL_ChL_Name);
    QTest::newRow("pop-up menu item") << "{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}"
                                      << QString("cat=1;label=%1;option=Enter").arg(CL_PMenu_Edit);
    QTest::newRow("index from counter") << "{(@ch3=41)(%CL_ChL_Name[@ch3])}"
                                        << "index=41";
    QTest::newRow("counter increments, spaces allowed")
        << "{(@ch2 = 5)(@ch2 ++)(%CL_ChL_Name[@ch2])}"
        << "index=6";
    QTest::newRow("braces anywhere, text outside") << "A{S}B{>}C"
                                                   << "s=1;h=2;text=ABC";
    QTest::newRow("escaped brace is text") << "\\{x"
                                           << "text={x";
}

void tst_SheetDef::attributes() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    SheetTable defs;
    defs.add("CellModel_X", {"W"});
    cuiCellParser parser(defs.table());
    int32_t counters[10] = {};
    cuiCell cell;
    parser.parse(cell, text, nullptr, counters);
    for (const QString& pair : expected.split(';')) {
        const QString field = pair.section('=', 0, 0);
        const QString want = pair.section('=', 1);
        QString got;
        if (field == "h")
            got = QString::number(cell.hAlign);
        else if (field == "v")
            got = QString::number(cell.vAlign);
        else if (field == "fw")
            got = QString::number(cell.fitWidth);
        else if (field == "fh")
            got = QString::number(cell.fitHeight);
        else if (field == "b")
            got = QString::number(cell.bottomLine);
        else if (field == "j")
            got = QString::number(cell.joinLeft);
        else if (field == "s")
            got = QString::number(cell.selectable);
        else if (field == "t")
            got = QString::number(cell.rowSelect);
        else if (field == "rm")
            got = QString::number(cell.rightMark);
        else if (field == "text")
            got = cell.displayText;
        else if (field == "color")
            got = QString::number(cell.color);
        else if (field == "img")
            got = QString::number(cell.imageIndex);
        else if (field == "popup")
            got = cell.popupMenu;
        else if (field == "flags")
            got = QString::number(cell.stateFlags);
        else if (field == "cat")
            got = QString::number(cell.category);
        else if (field == "label")
            got = QString::number(cell.label);
        else if (field == "index")
            got = QString::number(cell.index);
        else if (field == "option")
            got = cell.option;
        QVERIFY2(got == want, qPrintable(QString("%1: got %2, want %3").arg(field, got, want)));
    }
}

void tst_SheetDef::fontSpec_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("face");

    QTest::newRow("percent 120 of -17") << ",,,%120,,," << -20 << 0 << 1 << "";
    QTest::newRow("percent 1 gives 1") << ",,,%1,,," << 1 << 0 << 1 << "";
    QTest::newRow("zero leaves the height") << ",,,0,,," << -17 << 0 << 1 << "";
    QTest::newRow("plain height") << ",,,-12,,," << -12 << 0 << 1 << "";
    QTest::newRow("size in points") << ",,,,9,," << -12 << 0 << 1 << "";
    QTest::newRow("styles joined, first clears") << ",,,,,fsBold+fsItalic," << -17 << 3 << 1 << "";
    QTest::newRow("unknown style keeps the set") << ",,,,,fsNone," << -17 << 4 << 1 << "";
    QTest::newRow("charset and face")
        << "SHIFTJIS_CHARSET,Courier,,,,," << -17 << 4 << 128 << "Courier";
    QTest::newRow("unknown charset kept") << "FOO_CHARSET,,,,,," << -17 << 4 << 1 << "";
}

void tst_SheetDef::fontSpec() {
    QFETCH(QString, text);
    QFETCH(int, height);
    QFETCH(int, style);
    QFETCH(int, charset);
    QFETCH(QString, face);
    cuiFont font;
    font.height = -17;
    font.style =
        text.contains("fsNone") || text.startsWith("SHIFT") || text.startsWith("FOO") ? 4 : 0;
    const QString before = font.face;
    font.applyText(text);
    QCOMPARE(font.height, height);
    QCOMPARE(int(font.style), style);
    QCOMPARE(font.charset, charset);
    QCOMPARE(font.face, face.isEmpty() ? before : face);
}

void tst_SheetDef::displayText_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line breaks") << "a\\nb\\Nc"
                                 << "a\nb\nc";
    QTest::newRow("blank") << "a\\_b"
                           << "a b";
    QTest::newRow("escaped character") << "a\\|b\\\\"
                                       << "a|b\\";
    QTest::newRow("counter") << "CH\\(@ch0)"
                             << "CH4";
    QTest::newRow("counter plus offset") << "CH\\(@ch0+1)"
                                         << "CH5";
    QTest::newRow("at most six characters") << "\\(@ch9)"
                                            << "123456";
    QTest::newRow("unclosed expression runs to the end") << "x\\(@ch0+10"
                                                         << "x14";
}

void tst_SheetDef::displayText() {
    QFETCH(QString, raw);
    QFETCH(QString, shown);
    int32_t counters[10] = {4, 0, 0, 0, 0, 0, 0, 0, 0, 123456789};
    QCOMPARE(cuiCellParser::displayText(raw, counters), shown);
}

void tst_SheetDef::counterErrorsAreFatal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withCounters");
    QTest::newRow("two digits") << "{(%CL_ChL_Name[@ch10])}" << true;
    QTest::newRow("no digit") << "{(@ch++)}" << true;
    QTest::newRow("wrong letters") << "\\(@cx1)" << true;
    QTest::newRow("no counters") << "{(@ch1=3)}" << false;
    QTest::newRow("caption without counters") << "\\(@ch1)" << false;
}

void tst_SheetDef::counterErrorsAreFatal() {
    QFETCH(QString, text);
    QFETCH(bool, withCounters);
    SheetTable defs;
    cuiCellParser parser(defs.table());
    int32_t counters[10] = {};
    cuiCell cell;
    QCOMPARE(fatalOf([&] { parser.parse(cell, text, nullptr, withCounters ? counters : nullptr); }),
             QString("Ch No. Error"));
}

void tst_SheetDef::modelsAndNegation() {
    SheetTable defs;
    defs.add("CellModel_Fit", {"WH(Color=clGray)"});
    defs.add("CellModel_Outer", {"($Fit)S"});
    defs.add("CellModel_Self", {"($Self)B"});
    cuiCellParser parser(defs.table());
    cuiCell basic;
    parser.parse(basic, "{($Outer)(Font=,,,-17,,,)(PopupMenu=GI_PMenu_Edit)}", nullptr, nullptr);
    QVERIFY(basic.fitWidth && basic.fitHeight && basic.selectable);
    QCOMPARE(basic.color, cuiColor::rgb(128, 128, 128));

    cuiCell inherits, cleared;
    parser.parse(inherits, "x", &basic, nullptr);
    parser.parse(cleared, "{!W(Font=,,,%120,,,)}", &basic, nullptr);
    QVERIFY(inherits.fitWidth);
    QVERIFY(!cleared.fitWidth);
    QVERIFY(cleared.fitHeight);
    // Font and pop-up menu are not copied but found through the parent.
    QVERIFY(!inherits.font);
    QCOMPARE(inherits.effectiveFont()->height, -17);
    QCOMPARE(inherits.effectivePopupMenu(), QString("GI_PMenu_Edit"));
    QCOMPARE(cleared.font->height, -20);
    QCOMPARE(basic.font->height, -17);

    // A model that pulls itself in stops instead of recursing for ever.
    cuiCell self;
    parser.parse(self, "{($Self)}", nullptr, nullptr);
    QVERIFY(self.bottomLine);
}

void tst_SheetDef::loops_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QList<int>>("indices"); // index of column 1 per row
    const QString row = "{S(%CT_ChannelList.CL_ChL_Name[5])}n|{S(%CL_ChL_FreqR[5])}";
    QTest::newRow("LoopFrom 3 over one row")
        << QStringList{":(LoopFrom 3)", row, ":(LoopTo)"} << QList<int>{5, 6, 7};
    QTest::newRow("End closes too")
        << QStringList{":(LoopFrom 2)", row, ":(End)"} << QList<int>{5, 6};
    QTest::newRow("count 0 means 1")
        << QStringList{":(LoopFrom 0)", row, ":(LoopTo)"} << QList<int>{5};
    QTest::newRow("Never 2 hides a directive line")
        << QStringList{":(Never 2)", ":(LoopFrom 4)", row, ":(LoopTo)", row} << QList<int>{5};
    QTest::newRow("Never without number does nothing")
        << QStringList{":(Never )", row} << QList<int>{5};
    QTest::newRow("Only_Mob skips on a non-mobile radio")
        << QStringList{":(Only_Mob 1)", row, row} << QList<int>{5};
    QTest::newRow("Only_Handy keeps on a non-mobile radio")
        << QStringList{":(Only_Handy 1)", row, row} << QList<int>{5, 5};
    QTest::newRow("empty talkgroup list uses the body once")
        << QStringList{":(TG List)", row, ":(LoopTo)", ":(LoopFrom 2)", row, ":(LoopTo)"}
        << QList<int>{5, 5, 6};
    QTest::newRow("header then loop")
        << QStringList{"{^}Head|{^}Freq", ":(LoopFrom 2)", row, ":(LoopTo)"} << QList<int>{0, 5, 6};
}

void tst_SheetDef::loops() {
    QFETCH(QStringList, cells);
    QFETCH(QList<int>, indices);
    BuiltSheet b(cells);
    cuiSheet& s = *b.sheet;
    QCOMPARE(s.rowCount(), int(indices.size()));
    QCOMPARE(s.colCount(), 2);
    for (int r = 0; r < s.rowCount(); ++r)
        QCOMPARE(s.CellObjectAt(1, r).index, indices[r]);
}

void tst_SheetDef::countersAdvanceInTwoRowBody() {
    BuiltSheet b({"{(@ch1=0)}x", ":(LoopFrom 2)", "{S(@ch1++)(%CL_ChL_Name[3])}A\\(@ch1)",
                  "{S(%CL_ChL_FreqR[3])}B\\(@ch1)", ":(LoopTo)"});
    cuiSheet& s = *b.sheet;
    QCOMPARE(s.rowCount(), 5);
    const QStringList shown{"A1", "B1", "A2", "B2"};
    for (int r = 1; r < 5; ++r) {
        QCOMPARE(s.CellObjectAt(0, r).displayText, shown[r - 1]);
        QCOMPARE(s.CellObjectAt(0, r).index, 3); // bodies are parsed again: indices stay
        QCOMPARE(s.rowEntry(r).line, r % 2 ? 2 : 3);
    }
}

void tst_SheetDef::selectOffRowsStayOutOfMultiSelection() {
    BuiltSheet b({"{S}a", ":(SelectOFF)", "{S}b", ":(LoopFrom 2)", "{S}c", ":(LoopTo)",
                  ":(SelectON)", "{S}d"},
                 "(MultiSelect=Line)");
    cuiSheet& s = *b.sheet;
    QCOMPARE(s.rowCount(), 5);
    const QList<bool> joins{true, false, false, false, true};
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(s.rowEntry(r).select, joins[r]);
        QCOMPARE(bool(s.CellAt(0, r).flags & 1), joins[r]);
    }
}

void tst_SheetDef::styleItems_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("multi");
    QTest::addColumn<int>("fixedCols");
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<bool>("noPrint");
    QTest::addColumn<QString>("title");
    QTest::newRow("MultiSelect=Cell") << "(MultiSelect=Cell)" << 1 << 0 << 0 << false << "";
    QTest::newRow("MultiSelect=Line") << "(MultiSelect=Line)" << 2 << 0 << 0 << false << "";
    QTest::newRow("MultiSelect=cell is off") << "(MultiSelect=cell)" << 0 << 0 << 0 << false << "";
    QTest::newRow("fixed counts") << "(FixedCols=1)(FixedRows=2)" << 0 << 1 << 2 << false << "";
    QTest::newRow("NoPrint exact") << "(NoPrint)" << 0 << 0 << 0 << true << "";
    QTest::newRow("NoPrint with value ignored") << "(NoPrint=1)" << 0 << 0 << 0 << false << "";
    QTest::newRow("title, empty title ignored")
        << "(TitleString=Hello)(TitleString=)" << 0 << 0 << 0 << false << "Hello";
    QTest::newRow("unknown items ignored") << "(Bogus=3)(FixedRows)" << 0 << 0 << 0 << false << "";
}

void tst_SheetDef::styleItems() {
    QFETCH(QString, style);
    QFETCH(int, multi);
    QFETCH(int, fixedCols);
    QFETCH(int, fixedRows);
    QFETCH(bool, noPrint);
    QFETCH(QString, title);
    BuiltSheet b({"{^}H|{^}H", "{S}a|{S}b", "{S}c|{S}d", "{S}e|{S}f"}, style);
    cuiSheet& s = *b.sheet;
    QCOMPARE(s.multiSelect(), multi);
    QCOMPARE(s.fixedColsStyle(), fixedCols);
    QCOMPARE(s.fixedRowsStyle(), fixedRows);
    QCOMPARE(s.grid()->fixedCols(), fixedCols);
    QCOMPARE(s.grid()->fixedRows(), fixedRows);
    QCOMPARE(s.noPrint(), noPrint);
    QCOMPARE(s.IsPrintable(), !noPrint);
    QCOMPARE(s.GetTitle(), title);
    // Cells may join a multi-selection only with multi-select on.
    QCOMPARE(bool(s.CellAt(0, 1).flags & 1), multi != 0);
}

void tst_SheetDef::definitionErrorsAreFatal() {
    QCOMPARE(fatalOf([] { BuiltSheet b({"#"}); }), QString("Illegal Cell assign"));
    QCOMPARE(fatalOf([] {
                 BuiltSheet b({":(LoopFrom 2)", ":(LoopTo)"});
             }),
             QString("Illegal Cell assign"));
    // Counts beyond what any sheet holds stop before the rows or the matrix are allocated.
    QCOMPARE(fatalOf([] {
                 BuiltSheet b({":(LoopFrom 300000000)", "{S}a", ":(LoopTo)"});
             }),
             QString("Illegal Cell assign\n'S' has more than 4160 rows."));
    QCOMPARE(fatalOf([] { BuiltSheet b({QString("{S}a|").repeated(300)}); }),
             QString("Illegal Cell assign\n'S' has more than 256 columns."));
    BuiltSheet b({"{S}a|{S}b"});
    QCOMPARE(fatalOf([&] { b.sheet->CellAt(2, 0); }), QString("Illegal Cell selection"));
    QCOMPARE(fatalOf([&] { b.sheet->CellAt(0, 1); }), QString("Illegal Cell selection"));
    QCOMPARE(fatalOf([] { BuiltSheet b2({"{(%CT_Nowhere.CL_ChL_Name)}"}); }),
             QString("Cannot use the specified category.\n'CT_Nowhere'"));
}

// Font heights and sizes far beyond any page neither overflow nor give a giant grid.
void tst_SheetDef::hugeSizesAreBounded() {
    cuiFont font;
    font.applyText(",,,-2000000000,,,");
    QCOMPARE(font.height, -cuiFont::MaxHeight);
    font.applyText(",,,,2000000000,,");
    QCOMPARE(font.height, -cuiFont::MaxHeight);
    font.applyText(",,,%2000000000,,,");
    QCOMPARE(font.height, -cuiFont::MaxHeight);

    BuiltSheet b({"{WH(Font=,,,-2000000000,,,)}" + QString("W").repeated(400)});
    QVERIFY(b.sheet->sheetLayout().colWidth(0) <= cuiSheetLayout::MaxExtent);
    QVERIFY(b.sheet->sheetLayout().rowHeight(0) <= cuiSheetLayout::MaxExtent);
}

void tst_SheetDef::commandSplit_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("arguments");
    QTest::newRow("full") << "[St_ChBank]GI_Sheet_Mch_0,Bank 0"
                          << "St_ChBank"
                          << "GI_Sheet_Mch_0"
                          << "Bank 0";
    QTest::newRow("key only") << "GI_Sheet_X"
                              << ""
                              << "GI_Sheet_X"
                              << "";
    QTest::newRow("arguments keep later commas") << "K,a,b"
                                                 << ""
                                                 << "K"
                                                 << "a,b";
    QTest::newRow("empty state") << "[]K"
                                 << ""
                                 << "K"
                                 << "";
}

void tst_SheetDef::commandSplit() {
    QFETCH(QString, command);
    QFETCH(QString, state);
    QFETCH(QString, key);
    QFETCH(QString, arguments);
    QString s, k, a;
    cuiSheet::splitCommand(command, s, k, a);
    QCOMPARE(s, state);
    QCOMPARE(k, key);
    QCOMPARE(a, arguments);
}

void tst_SheetDef::factoryChoosesClass() {
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> bank(
        cuiSheet::create(&host, "[St_ChBank]GI_Sheet_Mch,Bank 0", defs.table()));
    std::unique_ptr<cuiSheet> common(
        cuiSheet::create(&host, "[St_Common]GI_Sheet_Set,x", defs.table()));
    std::unique_ptr<cuiSheet> plain(cuiSheet::create(&host, "GI_Sheet_Plain,abc", defs.table()));
    QVERIFY(dynamic_cast<iuiSh_ChBank*>(bank.get()));
    QVERIFY(dynamic_cast<iuiSh_Common*>(common.get()));
    QVERIFY(!dynamic_cast<iuiSh_ChBank*>(plain.get()) && !dynamic_cast<iuiSh_Common*>(plain.get()));
    QCOMPARE(bank->key(), QString("GI_Sheet_Mch"));
    QCOMPARE(bank->command(), QString("[St_ChBank]GI_Sheet_Mch,Bank 0"));
    QCOMPARE(plain->arguments(), QString("abc"));
}

void tst_SheetDef::commonDirectives_data() {
    QTest::addColumn<QString>("directive");
    QTest::addColumn<bool>("maker");
    QTest::addColumn<int>("rows");
    QTest::newRow("Only_notTARN kept") << "Only_notTARN 1" << false << 2;
    QTest::newRow("Only_Analog kept") << "Only_Analog 1" << false << 2;
    QTest::newRow("Only_Pmr skipped") << "Only_Pmr 1" << false << 1;
    QTest::newRow("Only_Handy skipped here") << "Only_Handy 1" << false << 1;
    QTest::newRow("Only_Maker skipped") << "Only_Maker 1" << false << 1;
    QTest::newRow("Only_Maker kept in maker mode") << "Only_Maker 1" << true << 2;
    QTest::newRow("Never") << "Never 1" << true << 1;
    QTest::newRow("falls back to the common set") << "LoopFrom 3" << false << 4;
}

void tst_SheetDef::commonDirectives() {
    QFETCH(QString, directive);
    QFETCH(bool, maker);
    QFETCH(int, rows);
    RecordingSheetEnv env;
    env.maker = maker;
    BuiltSheet b({QString(":(%1)").arg(directive), "{S}a", ":(LoopTo)", "{S}b"}, QString(), "{<}",
                 "[St_Common]S");
    QCOMPARE(b.sheet->rowCount(), rows);
}

void tst_SheetDef::basicCellFontScale() {
    RecordingSheetEnv env;
    env.fontScale = 150;
    BuiltSheet b({"{S}a"}, QString(), "{(Font=,,,-10,,,)}");
    QCOMPARE(b.sheet->basicCell().font->height, -15);
    BuiltSheet printed({"{S}a"}, QString(), "{(Font=,,,-10,,,)}");
    // A print font height replaces the scale.
    SheetTable defs;
    defs.sheet("P", "", "{(Font=,,,-10,,,)}", {"{S}a"});
    QWidget host;
    cuiSheet p(&host, defs.table());
    p.setKey("P");
    p.setPrintFontHeight(-30);
    p.Build();
    QCOMPARE(p.basicCell().font->height, -30);
}

void tst_SheetDef::columnWidthsOnlyForListedSheets() {
    RecordingSheetEnv env;
    const QString path = "Display\\Chan\\colwidth";
    {
        SheetTable defs;
        defs.sheet("S", "(FixedRows=1)", "{<}", {"{W}Header|{W}H2", "{SW}a|b"});
        defs.add("GI_CellWidthRegList", {"Other:Chan", "#"});
        QWidget host;
        std::unique_ptr<cuiSheet> s(cuiSheet::create(&host, "S", defs.table()));
        s->Build();
        QVERIFY2(env.calls.isEmpty(), qPrintable(env.calls.join(",")));
    }
    env.store.insert(path + "/0", 777); // beyond the 650 limit
    SheetTable defs;
    defs.sheet("S", "(FixedRows=1)", "{<}", {"{W}Header|{W}H2", "{SW}a|b"});
    defs.add("GI_CellWidthRegList", {"Other:X", "S:Chan", "#"});
    QWidget host;
    std::unique_ptr<cuiSheet> s(cuiSheet::create(&host, "S", defs.table()));
    s->Build();
    // Only the selectable column is read and written back at once, within the limits.
    const QStringList read{"read " + path + "/0"};
    QCOMPARE(env.calls, read + read + QStringList{"write " + path + "/0=650"});
    QCOMPARE(s->grid()->colWidth(0), 650);
    // Opened again with that width stored: read, and nothing written.
    env.calls.clear();
    std::unique_ptr<cuiSheet> again(cuiSheet::create(&host, "S", defs.table()));
    again->Build();
    QCOMPARE(env.calls, read + read);
}

void tst_SheetDef::columnWidthReset() {
    RecordingSheetEnv env;
    env.store.insert("Display\\Chan\\colwidth/0", 200);
    SheetTable defs;
    defs.sheet("S", "", "{<}", {"{S}a|{S}b"});
    defs.add("GI_CellWidthRegList", {"S:Chan", "T:Other", "", "U:Never"});
    QWidget host;
    std::unique_ptr<cuiSheet> s(cuiSheet::create(&host, "S", defs.table()));
    s->setResetWidths(true);
    s->Build();
    QCOMPARE(env.calls.mid(0, 2),
             QStringList({"delete Display\\Chan\\colwidth", "delete Display\\Other\\colwidth"}));
    QVERIFY(!env.calls.join(",").contains("Never"));
    QVERIFY(!env.calls.join(",").contains("read"));
    QVERIFY(s->grid()->colWidth(0) != 200);
}

void tst_SheetDef::bankArguments_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("Bank 0") << "Bank 0" << 0 << 0 << 500;
    QTest::newRow("Bank alone") << "Bank" << 0 << 0 << 500;
    QTest::newRow("invalid bank") << "Bank 7" << 7 << 500 << 0;
    QTest::newRow("not a bank") << "Other 3" << 0 << 0 << 0;
}

void tst_SheetDef::bankArguments() {
    QFETCH(QString, arguments);
    QFETCH(int, bank);
    QFETCH(int, first);
    QFETCH(int, count);
    SheetTable defs;
    QWidget host;
    iuiSh_ChBank s(&host, defs.table());
    s.SetArguments(arguments);
    QCOMPARE(s.bank(), bank);
    QCOMPARE(s.firstChannel(), first);
    QCOMPARE(s.channelCount(), count);
}

namespace {
const QStringList bankCells{
    "{^}No|{^}Name|{^}RxId",
    ":(LoopFrom)",
    "{S(%CT_ChannelList.CL_Misc_ChNo_1Base[@ch0])}\\(@ch0+1)|{S(%CT_ChannelList.CL_ChL_Name[@ch0])}"
    "|{S(%CL_Grp_RxId[@ch0])}",
    ":(LoopTo)",
};
}

void tst_SheetDef::bankRowsAndPadding() {
    for (const QString& arg : {QString("Bank 0"), QString("Bank 7")}) {
        SheetTable defs;
        defs.sheet("M", "(FixedRows=1)", "{<}", bankCells);
        defs.add("GI_AppInd_MchSheet_Printer_Head", {"Channels"});
        QWidget host;
        host.resize(800, 600);
        std::unique_ptr<cuiSheet> s(cuiSheet::create(&host, "[St_ChBank]M," + arg, defs.table()));
        s->Build();
        auto* bank = static_cast<iuiSh_ChBank*>(s.get());
        if (arg == "Bank 0") {
            QCOMPARE(s->rowCount(), 501);
            QCOMPARE(bank->loopRow(), 1);
            QCOMPARE(s->CellObjectAt(1, 1).index, 0);
            QCOMPARE(s->CellObjectAt(1, 500).index, 499);
            QCOMPARE(s->CellObjectAt(0, 3).displayText, QString("1")); // copied, not parsed again
            QVERIFY(s->IsPrintable());
            QCOMPARE(s->GetTitle(), QString("Channels"));
            // The hidden label's column has no width and nothing in it is selectable.
            QCOMPARE(s->grid()->colWidth(2), 0);
            QVERIFY(!s->CellObjectAt(2, 10).selectable);
            QVERIFY(s->CellObjectAt(1, 10).selectable);
        } else {
            QCOMPARE(s->rowCount(), 2); // no channels: the body is used once
            QVERIFY(!s->IsPrintable());
        }
    }
}

void tst_SheetDef::bankRowEvents() {
    cmcEvMan events;
    SheetTable defs;
    defs.sheet("M", "(FixedRows=1)(MultiSelect=Line)", "{<}", bankCells);
    QWidget host;
    host.resize(800, 600);
    std::unique_ptr<cuiSheet> s(cuiSheet::create(&host, "[St_ChBank]M,Bank 0", defs.table()));
    s->Build();
    // Row 501 lies in the padded part: a copy of the row above with the next index.
    events.send(cmcEvRowsAdded{});
    QCOMPARE(s->rowCount(), 502);
    QCOMPARE(s->CellObjectAt(1, 501).index, 500);
    QVERIFY(s->CellObjectAt(1, 501).selectable);
    QVERIFY(!(s->CellAt(1, 501).flags & 1));
    QVERIFY(s->CellAt(1, 500).flags & 1);
    QCOMPARE(s->grid()->rowHeight(501), s->grid()->rowHeight(500));

    s->SelectCell(1, 501);
    events.send(cmcEvRowsRemoved{});
    QCOMPARE(s->rowCount(), 501);
    QCOMPARE(s->grid()->row(), 500);
    QVERIFY(!(s->CellAt(1, 500).flags & 1));

    const auto position = cmcEvListPosition::ask(events);
    QVERIFY(position);
    QCOMPARE(position->bank, 0);
    QCOMPARE(position->firstRow, 0);
}

QTEST_MAIN(tst_SheetDef)
#include "tst_sheetdef.moc"
