// The languages of the editor: every main overlay agrees with the first one (English) in its
// keys, its placeholders, the lines of its lists and the structure of its definitions, and
// differs only in display texts; the check itself is shown to catch a removed key and a
// changed placeholder. The editor started in German builds its menus and every tree sheet,
// switches language at once, and its help opens the German topics.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcGTex.h"
#include "cuiHtmlHelp.h"
#include "cuiMainTree.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <memory>

namespace {

const QString kRuntimeDir = QStringLiteral(QX_RUNTIME_DIR);

// An overlay file as key -> its lines (up to the next key line), in file order. The file
// is read as the text table reads it: UTF-8, up to "#End_Of_Ovl".
struct Overlay {
    QStringList keys;
    QHash<QString, QStringList> lines;
    QString error;
};

Overlay readOverlay(const QString& path) {
    Overlay o;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        o.error = path + QStringLiteral(": cannot be read");
        return o;
    }
    const QByteArray bytes = f.readAll();
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) o.error = path + QStringLiteral(": not valid UTF-8");
    QString key;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.size() >= 2 && line[0] == QLatin1Char('#')) {
            key = line.mid(1);
            if (o.lines.contains(key)) continue; // the first occurrence wins
            o.keys.append(key);
            o.lines.insert(key, {});
            if (key == QLatin1String("End_Of_Ovl")) break;
            continue;
        }
        if (!key.isEmpty() && o.lines.contains(key)) o.lines[key].append(line);
    }
    // The line feed that ends the last value is no value of its own.
    if (!o.keys.isEmpty() && !o.lines[o.keys.last()].isEmpty() &&
        o.lines[o.keys.last()].last().isEmpty())
        o.lines[o.keys.last()].removeLast();
    return o;
}

// Placeholders of a text in order: printf conversions (%s, %d, %04X …) and numbered
// arguments (%1 …). Cell references of definitions ("(%CL_…") are none.
QStringList placeholders(const QString& line) {
    static const QRegularExpression re(
        QStringLiteral("%(?:[1-9]|[-+ 0#]*[0-9]*(?:\\.[0-9]+)?[sdiuxXfc])"));
    QStringList found;
    for (auto m = re.globalMatch(line); m.hasNext();)
        found.append(m.next().captured(0));
    return found;
}

bool isDefinition(const QString& key) {
    return key.startsWith(QLatin1String("CellModel_")) ||
           key.endsWith(QLatin1String("_BasicCell")) || key.endsWith(QLatin1String("_Cells")) ||
           key.endsWith(QLatin1String("_Body")) || key.endsWith(QLatin1String("_Style")) ||
           key.startsWith(QLatin1String("GI_Tree_Branch_")) ||
           key == QLatin1String("GI_WarningCheckList") ||
           key == QLatin1String("GI_CellWidthRegList");
}

// A definition line with its display texts replaced by "T": the attributes in braces, the
// cell bars, the menu nesting and the loop lines stay; a style keeps all but its title.
QString definitionShape(const QString& key, const QString& line) {
    if (line.startsWith(QLatin1Char(':')) || key.startsWith(QLatin1String("CellModel_")) ||
        key == QLatin1String("GI_CellWidthRegList"))
        return line;
    if (key.endsWith(QLatin1String("_Style"))) {
        static const QRegularExpression title(QStringLiteral("TitleString=[^)]*"));
        return QString(line).replace(title, QStringLiteral("TitleString=T"));
    }
    static const QRegularExpression indent(QStringLiteral("^ *\\+?"));
    const QString lead = indent.match(line).captured(0);
    QString shape = lead;
    QString text;
    auto flush = [&] {
        for (const QString& piece : text.split(QLatin1Char('|')))
            shape +=
                (piece.isEmpty() || piece == QLatin1String("-") ? piece : QStringLiteral("T")) +
                QLatin1Char('|');
        shape.chop(1);
        text.clear();
    };
    int depth = 0;
    for (int i = int(lead.size()); i < line.size(); ++i) {
        const QChar c = line[i];
        if (depth == 0 && c != QLatin1Char('{')) {
            text += c;
            continue;
        }
        if (depth == 0) flush();
        if (c == QLatin1Char('{')) ++depth;
        if (c == QLatin1Char('}')) --depth;
        shape += c;
    }
    flush();
    return shape;
}

// The texts read whole as prose (message boxes, dialog notices): a translation may wrap
// them into another number of lines. Every other key is read line by line (lists, menus,
// buttons, messages chosen by number) and keeps its number of lines.
bool isProse(const QString& key) {
    static const QStringList prose = {
        "GI_Mess_Confirm_WriteFile", "GI_Mess_Confirm_WriteAnother",   "GI_Mess_Maker_Caution",
        "GI_Mess_DataError",         "GI_AppMess_CloneErr_NoActualCh", "GI_Mess_Confirm_CloneWrite",
        "GI_App_About_Text"};
    return prose.contains(key) || key.endsWith(QLatin1String("_Notice"));
}

// What a translation breaks, against the reference language; empty when nothing.
QStringList compareOverlays(const QString& referencePath, const QString& translationPath) {
    const Overlay ref = readOverlay(referencePath);
    const Overlay tr = readOverlay(translationPath);
    QStringList faults;
    for (const QString& e : {ref.error, tr.error})
        if (!e.isEmpty()) faults.append(e);
    for (const QString& key : ref.keys)
        if (!tr.lines.contains(key)) faults.append(QStringLiteral("%1: missing").arg(key));
    for (const QString& key : tr.keys)
        if (!ref.lines.contains(key))
            faults.append(QStringLiteral("%1: not in the reference").arg(key));

    static const QRegularExpression letters(QStringLiteral("[A-Za-z]"));
    // A number's group or decimal mark alone: each language writes its own ("65,520" and
    // "49.6" in English, "65.520" and "49,6" in German).
    static const QRegularExpression numberMark(QStringLiteral("^[.,' ]$"));
    for (const QString& key : ref.keys) {
        if (!tr.lines.contains(key)) continue;
        const QStringList& a = ref.lines[key];
        const QStringList& b = tr.lines[key];
        if (isProse(key)) {
            if (placeholders(a.join(QLatin1Char('\n'))) != placeholders(b.join(QLatin1Char('\n'))))
                faults.append(QStringLiteral("%1: placeholders differ").arg(key));
            continue;
        }
        if (a.size() != b.size()) {
            faults.append(QStringLiteral("%1: %2 lines, the reference has %3")
                              .arg(key)
                              .arg(b.size())
                              .arg(a.size()));
            continue;
        }
        for (int i = 0; i < a.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]: ").arg(key).arg(i);
            if (isDefinition(key)) {
                if (definitionShape(key, a[i]) != definitionShape(key, b[i]))
                    faults.append(where + QStringLiteral("definition differs beyond its texts: ") +
                                  b[i].left(120));
            } else if (placeholders(a[i]) != placeholders(b[i])) {
                faults.append(where + QStringLiteral("placeholders %1, the reference has %2")
                                          .arg(placeholders(b[i]).join(QLatin1Char(' ')),
                                               placeholders(a[i]).join(QLatin1Char(' '))));
            } else if (!a[i].isEmpty() && !a[i].contains(letters) && a[i] != b[i] &&
                       !(a[i].contains(numberMark) && b[i].contains(numberMark))) {
                faults.append(where + QStringLiteral("a value without words changed: ") + b[i]);
            }
        }
    }
    return faults;
}

struct Language {
    QString name;
    QString file; // name of the main overlay in the data folder
};

QList<Language> languages() {
    QList<Language> out;
    const Overlay list = readOverlay(kRuntimeDir + QStringLiteral("/QXT5200.OVL"));
    for (const QString& line : list.lines.value(QStringLiteral("GI_Sys_Language")))
        out.append({line.section(QLatin1Char('\t'), 0, 0), line.section(QLatin1Char('\t'), 1, 1)});
    return out;
}

const char* const kChannels = "[St_ChBank]GI_Sheet_Mch_,Bank 0";

} // namespace

class tst_languages : public QObject {
    Q_OBJECT

  private slots:
    void translationsMatchTheReference_data() {
        QTest::addColumn<QString>("file");
        const QList<Language> langs = languages();
        QVERIFY(langs.size() >= 2);
        QCOMPARE(langs.value(1).name, QStringLiteral("Deutsch"));
        for (const Language& l : langs.mid(1))
            QTest::newRow(qPrintable(l.name)) << l.file;
    }

    void translationsMatchTheReference() {
        QFETCH(QString, file);
        const QString reference = kRuntimeDir + QLatin1Char('/') + languages().first().file;
        const QStringList faults =
            compareOverlays(reference, kRuntimeDir + QLatin1Char('/') + file);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The check on a broken copy of the German overlay: each fault is reported by key.
    void brokenTranslationIsCaught_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("fault");
        QTest::newRow("removed key") << "#GI_AppMess_S_Copy\nZeilen kopiert.\n"
                                     << QString() << "GI_AppMess_S_Copy: missing";
        QTest::newRow("changed placeholder") << "(insgesamt %d)"
                                             << "(insgesamt %s)"
                                             << "GI_AppInd_CheckFindings[8]: placeholders %s";
        QTest::newRow("placeholders swapped") << "TCP/IP-Verbindung zu %1:%2"
                                              << "TCP/IP-Verbindung zu %2:%1"
                                              << "GI_Mess_CloneErr_Device[6]: placeholders %2 %1";
        QTest::newRow("selection line lost")
            << "#GI_Sheet_Sel_Misc_OnOff\nAUS\nEIN\n"
            << "#GI_Sheet_Sel_Misc_OnOff\nAUS\n"
            << "GI_Sheet_Sel_Misc_OnOff: 1 lines, the reference has 2";
        QTest::newRow("cell reference changed") << "(%CL_ChL_Mode[@ch0])}WWWW"
                                                << "(%CL_ChL_Name[@ch0])}WWWW"
                                                << "GI_Sheet_Mch__Cells[2]: definition differs";
        QTest::newRow("number translated")
            << "#GI_Sys_TreeChangeDelay\n150\n"
            << "#GI_Sys_TreeChangeDelay\n250\n"
            << "GI_Sys_TreeChangeDelay[0]: a value without words changed";
    }

    void brokenTranslationIsCaught() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, fault);
        const QString german = kRuntimeDir + QStringLiteral("/QXT5200_DEU.OVL");
        QFile in(german);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(in.readAll());
        QVERIFY2(text.contains(from), qPrintable(from));
        text.replace(from, to);
        QTemporaryDir dir;
        QFile out(dir.filePath(QStringLiteral("QXT5200_DEU.OVL")));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text.toUtf8());
        out.close();

        // Only what the break adds counts: the intact copy may lag behind new English keys.
        const QString english = kRuntimeDir + QStringLiteral("/QXT5200_ENG.OVL");
        const QStringList before = compareOverlays(english, german);
        QStringList added;
        for (const QString& f : compareOverlays(english, out.fileName()))
            if (!before.contains(f)) added.append(f);
        QCOMPARE(added.size(), 1);
        QVERIFY2(added.first().startsWith(fault), qPrintable(added.first()));
    }

    // Started with German stored: menus, tool bar and every sheet of the tree build from the
    // German overlay without a missing-key stop, and umlauts arrive intact.
    void germanEditorBuildsEverything() {
        FatalGuard guard;
        ScriptedPrompt prompt;
        std::unique_ptr<EditorFixture> editor;
        try {
            editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-lang-"),
                                                     [](indEnviron& env) { env.language = 1; });
        } catch (const cmcFatalError& e) {
            QFAIL(qPrintable(QStringLiteral("fatal stop: ") + e.message));
        }
        indMain* main = editor->main.get();
        editor->form->show();
        QCOMPARE(editor->env->language, 1);
        QVERIFY(cmcGTex::mainTable().fileName().endsWith(QLatin1String("QXT5200_DEU.OVL")));
        QVERIFY(editor->form->windowTitle().endsWith(QStringLiteral(" - QX-T5200 Clone-Editor")));

        QStringList titles;
        for (QAction* a : main->menu()->menu()->actions())
            titles.append(a->text().remove(QLatin1Char('&')));
        QVERIFY2(titles.contains(QStringLiteral("Datei")) &&
                     titles.contains(QStringLiteral("Hilfe")),
                 qPrintable(titles.join(QLatin1Char(' '))));

        QStringList commands;
        for (QTreeWidgetItemIterator it(main->tree()->view()); *it; ++it) {
            const QString command = main->tree()->CommandOf(*it);
            if (!command.isEmpty() && !commands.contains(command)) commands.append(command);
        }
        QVERIFY(commands.size() > 10);
        QStringList failed;
        for (const QString& command : commands) {
            try {
                if (!main->ShowSheetNow(command)) failed.append(command);
            } catch (const cmcFatalError& e) {
                failed.append(command + QStringLiteral(": ") + e.message);
            }
        }
        QVERIFY2(failed.isEmpty(), qPrintable(failed.join(QLatin1Char('\n'))));

        QVERIFY(main->ShowSheetNow(QLatin1String(kChannels)));
        cuiSheet* sheet = main->sheetHost()->sheet();
        QCOMPARE(sheet->CellObjectAt(3, 0).displayText, QStringLiteral("Betriebsart"));
        QVERIFY(prompt.texts().isEmpty());
    }

    // Help > Language switches at once and the choice is kept in the settings; the help
    // follows the language, and a page the German help lacks comes from the English help.
    void switchingLanguageAndHelp() {
        FatalGuard guard;
        ScriptedPrompt prompt;
        EditorFixture editor(QStringLiteral("qxt5200-lang-"));
        indMain* main = editor.main.get();
        editor.form->show();
        QCOMPARE(editor.env->language, 0);

        main->SelectLanguage(1);
        QCOMPARE(editor.env->language, 1);
        QVERIFY(editor.form->windowTitle().endsWith(QStringLiteral(" - QX-T5200 Clone-Editor")));
        QCOMPARE(main->menu()->menu()->actions().first()->text().remove(QLatin1Char('&')),
                 QStringLiteral("Datei"));

        main->ShowHelpContents();
        QTextBrowser* window = main->help().helpWindow();
        QVERIFY(window);
        QCOMPARE(QDir(window->source().toLocalFile()).absolutePath(),
                 QDir(kRuntimeDir + QStringLiteral("/help/de/index.html")).absolutePath());
        QVERIFY(window->toPlainText().contains(QStringLiteral("Speicherkanäle")));

        main->SelectLanguage(0);
        QCOMPARE(editor.env->language, 0);
        QCOMPARE(main->menu()->menu()->actions().first()->text().remove(QLatin1Char('&')),
                 QStringLiteral("File"));
        QVERIFY(prompt.texts().isEmpty());
    }

    void helpFallsBackToEnglish() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("help/de")));
        for (const char* name : {"help/index.html", "help/channels.html", "help/de/index.html"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString de = dir.filePath(QStringLiteral("help/de/"));
        QCOMPARE(cuiHtmlHelp::resolvePage(de + QStringLiteral("index.html")),
                 de + QStringLiteral("index.html"));
        QCOMPARE(cuiHtmlHelp::resolvePage(de + QStringLiteral("channels.html")),
                 dir.filePath(QStringLiteral("help/channels.html")));
        QCOMPARE(cuiHtmlHelp::resolvePage(de + QStringLiteral("none.html")), QString());
    }
};

QTEST_MAIN(tst_languages)
#include "tst_languages.moc"
