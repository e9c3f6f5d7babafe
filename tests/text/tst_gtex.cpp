// The text table over real overlay files and in-memory lines: key lines, values past a
// key's own lines, text blocks, long lines, CR LF, the lazy index with its line cache under
// a long mixed run of lookups, the fatal stop, and locating the three overlay files.

#include "ScriptedPrompt.h"
#include "SystemReason.h"
#include "cmcGTex.h"
#include "cmcGTexFile.h"
#include "cmcOverlayFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>

namespace {

QString fatalText(const std::function<void()>& f) {
    try {
        f();
    } catch (const cmcFatalError& e) {
        return e.message;
    }
    return QString();
}

// The fixed text, and the paragraph that names a file the table reads.
QString gtexError(const QString& key, const QString& file = QString()) {
    QString text = QStringLiteral("GTEX Error !\nThe index '%1' was not found.").arg(key);
    if (!file.isEmpty())
        text += QStringLiteral("\n\nThe overlay file '%1' does not hold it.")
                    .arg(QDir::toNativeSeparators(file));
    return text;
}

// A run of digits of the given length, so that a piece cut at the wrong place shows.
QByteArray digits(int length) {
    QByteArray a(length, '0');
    for (int i = 0; i < length; ++i)
        a[i] = char('0' + i % 10);
    return a;
}

// A generated overlay: keys with several values (some empty, some a lone '#'), repeated
// keys, non-ASCII text, "#End_Of_Ovl" and keys after it. Knows the answer to every lookup.
struct Overlay {
    QList<QByteArray> lines;
    QHash<QString, int> keyLine; // first occurrence, before the end marker
    QStringList keys;            // every key asked for, found or not

    static Overlay make(int keyCount) {
        Overlay o;
        QRandomGenerator rng(7);
        o.lines << "preamble line"
                << "#";
        bool ended = false;
        auto addKey = [&](const QString& key) {
            if (!ended && !o.keyLine.contains(key)) o.keyLine.insert(key, int(o.lines.size()));
            o.lines << "#" + key.toUtf8();
            if (!o.keys.contains(key)) o.keys << key;
        };
        for (int k = 0; k < keyCount; ++k) {
            addKey(QStringLiteral("GI_Key_%1").arg(k));
            const int values = 1 + int(rng.bounded(6));
            for (int v = 0; v < values; ++v) {
                switch (rng.bounded(8)) {
                case 0:
                    o.lines << "";
                    break;
                case 1:
                    o.lines << "#";
                    break;
                case 2:
                    o.lines
                        << QStringLiteral("Wert %1.%2 \u00e4\u00f6\u00fc").arg(k).arg(v).toUtf8();
                    break;
                default:
                    o.lines << QStringLiteral("value %1.%2").arg(k).arg(v).toUtf8();
                }
            }
            if (k % 9 == 4) { // a second occurrence of an earlier key
                addKey(QStringLiteral("GI_Key_%1").arg(k / 2));
                o.lines << "shadowed";
            }
        }
        addKey(QStringLiteral("End_Of_Ovl"));
        ended = true;
        addKey(QStringLiteral("GI_After_End"));
        o.lines << "after";
        return o;
    }

    QByteArray bytes(const QByteArray& eol) const { return lines.join(eol) + eol; }
    QStringList strings() const {
        QStringList s;
        for (const QByteArray& l : lines)
            s << QString::fromUtf8(l);
        return s;
    }
    // The value, or a null string when the lookup must stop the program.
    QString expected(const QString& key, int index) const {
        const int at = keyLine.value(key, -1);
        if (at < 0 || at + 1 + index >= lines.size()) return QString();
        return QString::fromUtf8(lines.at(at + 1 + index));
    }
};

} // namespace

class TstGTex : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    FatalGuard m_fatal;

    QString write(const QString& name, const QByteArray& content) {
        const QString path = m_tmp.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        f.write(content);
        return path;
    }

    void writeOverlays(const QByteArray& languageList) {
        write("QXT5200.OVL", languageList);
        const char* names[] = {"en", "de", "fr"};
        for (const char* n : names) {
            write(QStringLiteral("main_%1.ovl").arg(n), QByteArray("#GI_Sys_AppTitle\nEditor ") +
                                                            n + "\n#GI_Sys_MyHelpOvl\nhelp_" + n +
                                                            ".ovl\n#End_Of_Ovl\n");
            write(QStringLiteral("help_%1.ovl").arg(n),
                  QByteArray("#GI_AppItem_Topic_ID\n") + n + "\n#\n#End_Of_Ovl\n");
        }
    }

    static QByteArray threeLanguages() {
        return "#GI_Sys_Language\nEnglish\tmain_en.ovl\nDeutsch\tmain_de.ovl\n"
               "Fran\xc3\xa7"
               "ais\tmain_fr.ovl\n#End_Of_Ovl\n";
    }

  private slots:
    void initTestCase() { QVERIFY(m_tmp.isValid()); }

    void getText_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");

        const QByteArray basic =
            "#GI_Sys_AppTitle\nTitle\n#GI_Mess_Two\nline 1\nline 2\n#End_Of_Ovl\n";
        QTest::newRow("value") << basic << "GI_Sys_AppTitle" << 0 << "Title";
        QTest::newRow("past own lines gives next key line")
            << basic << "GI_Sys_AppTitle" << 1 << "#GI_Mess_Two";
        QTest::newRow("lone # is a value")
            << QByteArray("#K\n#\nv\n#End_Of_Ovl\n") << "K" << 0 << "#";
        QTest::newRow("space starts the key")
            << QByteArray("#word\nw\n# word\nsw\n#End_Of_Ovl\n") << " word" << 0 << "sw";
        QTest::newRow("case matters")
            << QByteArray("#key\nlow\n#KEY\nup\n#End_Of_Ovl\n") << "KEY" << 0 << "up";
        QTest::newRow("CR LF read as LF")
            << QByteArray("#K\r\nv1\r\nv2\r\n#End_Of_Ovl\r\n") << "K" << 1 << "v2";
        QTest::newRow("lone CR kept") << QByteArray("#K\na\rb\n") << "K" << 0 << "a\rb";
        QTest::newRow("first occurrence wins")
            << QByteArray("#K\nfirst\n#K\nsecond\n#End_Of_Ovl\n") << "K" << 0 << "first";
        QTest::newRow("empty value") << QByteArray("#K\n\nv\n#End_Of_Ovl\n") << "K" << 0 << "";
        QTest::newRow("last line without LF") << QByteArray("#K\nlast") << "K" << 0 << "last";
        QTest::newRow("UTF-8 value") << QByteArray("#K\nGr\xc3\xbc\xc3\x9f"
                                                   "e\n")
                                     << "K" << 0 << "Gr\u00fc\u00dfe";
        QTest::newRow("lines before first key never read")
            << QByteArray("K\n#K\nreal\n#End_Of_Ovl\n") << "K" << 0 << "real";
    }

    void getText() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(int, index);
        QFETCH(QString, value);
        cmcGTex t;
        QVERIFY(t.openFile(write("t.ovl", content)));
        QCOMPARE(t.getText(key, index), value);
    }

    void hasKey_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("exists");
        const QByteArray basic = "#A\na\n#End_Of_Ovl\n#Late\nx\n";
        QTest::newRow("key") << basic << "A" << true;
        QTest::newRow("end marker is a key") << basic << "End_Of_Ovl" << true;
        QTest::newRow("key after end marker") << basic << "Late" << false;
        QTest::newRow("lone # is no key")
            << QByteArray("#\nx\n#K\nv\n#End_Of_Ovl\n") << "" << false;
        QTest::newRow("CR LF lone # is no key") << QByteArray("#\r\n#K\r\nv\r\n") << "\r" << false;
        QTest::newRow("no key past the end") << QByteArray("#A\na") << "B" << false;
    }

    void hasKey() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(bool, exists);
        cmcGTex t;
        t.openFile(write("k.ovl", content));
        QCOMPARE(t.hasKey(key), exists);
        QCOMPARE(t.hasKey(key), exists); // the second time from the index alone
    }

    void attachLines() {
        cmcGTex t;
        const QStringList lines = {
            "#",          "x",           "# word", "w", "#K", QString(9000, QLatin1Char('y')),
            "two\nparts", "#End_Of_Ovl", "#Late",  "z"};
        QVERIFY(!t.hasKey(" word")); // no source yet
        QVERIFY(t.attachLines(lines));
        QVERIFY(!t.attachLines({"#Other", "#End_Of_Ovl"}));
        QVERIFY(!t.hasKey(""));
        QCOMPARE(t.getText(" word"), "w");
        QCOMPARE(t.getText("K", 0), QString(8191, QLatin1Char('y')));
        QCOMPARE(t.getText("K", 1), "two");
        QCOMPARE(t.getText("K", 2), "#End_Of_Ovl");
        QCOMPARE(t.getTextBlock(" word"), "w");
        QVERIFY(!t.hasKey("Late"));
        QVERIFY(!t.hasKey("Other"));

        // A file replaces the lines; after close, lines are accepted again.
        t.openFile(write("a.ovl", "#A\nfrom file\n#End_Of_Ovl\n"));
        QVERIFY(!t.attachLines(lines));
        QCOMPARE(t.getText("A"), "from file");
        t.close();
        QVERIFY(t.attachLines(lines));
        QCOMPARE(t.getText(" word"), "w");
        QCOMPARE(t.fileName(), QString());
    }

    void textBlock_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("block");
        QTest::newRow("two lines")
            << QByteArray("#M\nline 1\nline 2\n#End_Of_Ovl\n") << "line 1\nline 2";
        QTest::newRow("empty value kept")
            << QByteArray("#M\nfirst\n\nlast\n#Next\nx\n#End_Of_Ovl\n") << "first\n\nlast";
        QTest::newRow("stops at lone #") << QByteArray("#M\na\n#\nb\n#End_Of_Ovl\n") << "a";
        QTest::newRow("no values") << QByteArray("#M\n#End_Of_Ovl\n") << "";
        QTest::newRow("CR LF") << QByteArray("#M\r\na\r\n\r\nb\r\n#End_Of_Ovl\r\n") << "a\n\nb";
        QTest::newRow("ends with the file") << QByteArray("#M\na\nb") << "a\nb";
    }

    void textBlock() {
        QFETCH(QByteArray, content);
        QFETCH(QString, block);
        cmcGTex t;
        t.openFile(write("b.ovl", content));
        QCOMPARE(t.getTextBlock("M"), block);
        // A second read gives the same (sequential positions restart).
        QCOMPARE(t.getTextBlock("M"), block);
    }

    void longLines_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("eol");
        for (const QByteArray& eol : {QByteArray("\n"), QByteArray("\r\n")}) {
            const char* e = eol.size() == 1 ? "LF" : "CRLF";
            for (int len : {8190, 8191, 8192, 8191 * 2, 8191 * 2 + 5})
                QTest::addRow("%d %s", len, e) << len << eol;
        }
    }

    // A line longer than 8191 characters comes in pieces of 8191; the line end after a
    // full piece ends the line, so no empty piece follows.
    void longLines() {
        QFETCH(int, length);
        QFETCH(QByteArray, eol);
        const QByteArray line = digits(length);
        cmcGTex t;
        t.openFile(write("l.ovl", "#K" + eol + line + eol + "after" + eol + "#End_Of_Ovl" + eol));
        QStringList pieces;
        for (int at = 0; at < length; at += 8191)
            pieces << QString::fromLatin1(line.mid(at, 8191));
        pieces << "after";
        QCOMPARE(t.getTextBlock("K"), pieces.join(QLatin1Char('\n')));
        QCOMPARE(t.getText("K", int(pieces.size())), "#End_Of_Ovl");
    }

    void sequentialPositions() {
        cmcGTex t;
        t.openFile(write("s.ovl", "#A\na0\na1\na2\na3\n#B\nb0\n#End_Of_Ovl\n"));
        const int order[] = {2, 1, 3, 0, 0, 4, 2, 5, 1};
        const char* expect[] = {"a2", "a1", "a3", "a0", "a0", "#B", "a2", "b0", "a1"};
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(t.getText("A", order[i]), QString::fromLatin1(expect[i]));
            if (i == 4) QCOMPARE(t.getText("B", 0), "b0"); // another key between
        }
    }

    // A key found after passing more than 10 others moves to the front of the key list; the
    // scan goes on appending behind the right tail.
    void moveToFront() {
        QByteArray content;
        for (int k = 0; k < 22; ++k)
            content += "#K" + QByteArray::number(k) + "\nv\n";
        cmcGTex t;
        t.openFile(write("o.ovl", content + "#End_Of_Ovl\n"));
        QStringList order;
        for (int k = 0; k < 20; ++k)
            order << "K" + QString::number(k);
        QCOMPARE(t.getText("K19"), "v");
        QCOMPARE(t.indexedKeys(), order);
        t.getText("K10"); // 10 passed: stays
        QCOMPARE(t.indexedKeys(), order);
        t.getText("K11"); // 11 passed: moves
        order.move(11, 0);
        QCOMPARE(t.indexedKeys(), order);
        t.getText("K19"); // the tail moves
        order.move(19, 0);
        QCOMPARE(t.indexedKeys(), order);
        QCOMPARE(t.getText("K21"), "v");
        order << "K20"
              << "K21";
        QCOMPARE(t.indexedKeys(), order);
        QVERIFY(!t.hasKey("K22"));
        QCOMPARE(t.indexedKeys(), order << "End_Of_Ovl");
    }

    void mixedLookups_data() {
        QTest::addColumn<int>("source"); // 0 file LF, 1 file CR LF, 2 in-memory lines
        QTest::newRow("file") << 0;
        QTest::newRow("file CR LF") << 1;
        QTest::newRow("lines") << 2;
    }

    // Thousands of lookups over many keys (far more lines than the cache holds, far more
    // keys than the move-to-front distance), checked against a plain reading of the file.
    void mixedLookups() {
        QFETCH(int, source);
        const Overlay o = Overlay::make(300);
        cmcGTex t;
        QString file; // a failed lookup names the file read
        if (source == 2)
            QVERIFY(t.attachLines(o.strings()));
        else
            t.openFile(file = write("m.ovl", o.bytes(source == 1 ? "\r\n" : "\n")));

        QRandomGenerator rng(11);
        const QStringList hot = o.keys.mid(40, 12);
        int fatal = 0;
        for (int n = 0; n < 6000; ++n) {
            const QString key = rng.bounded(2) ? hot.at(rng.bounded(int(hot.size())))
                                               : o.keys.at(rng.bounded(int(o.keys.size())));
            const int index = int(rng.bounded(9));
            const QString want = o.expected(key, index);
            if (n % 7 == 0) QCOMPARE(t.hasKey(key), o.keyLine.contains(key));
            if (want.isNull()) {
                QCOMPARE(fatalText([&] { t.getText(key, index); }), gtexError(key, file));
                ++fatal;
            } else {
                QCOMPARE(t.getText(key, index), want);
            }
        }
        QVERIFY(fatal > 0);

        // After all the moves the key list still holds every key line up to the end marker
        // once.
        QVERIFY(!t.hasKey("absent"));
        QStringList scanned;
        for (int i = 0; i < o.lines.size(); ++i) {
            const QByteArray& l = o.lines.at(i);
            if (l.size() < 2 || l.at(0) != '#') continue;
            scanned << QString::fromUtf8(l.mid(1));
            if (l == "#End_Of_Ovl") break;
        }
        QStringList listed = t.indexedKeys();
        listed.sort();
        scanned.sort();
        QCOMPARE(listed, scanned);
    }

    void fatal_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("index");
        const QByteArray basic = "#A\na\n#End_Of_Ovl\n#Late\nx\n";
        QTest::newRow("missing key") << basic << "Nope" << 0;
        QTest::newRow("key after end marker") << basic << "Late" << 0;
        QTest::newRow("index past end of file") << basic << "A" << 5;
        QTest::newRow("negative index") << basic << "A" << -1;
        QTest::newRow("missing file") << QByteArray() << "A" << 0;
        QTest::newRow("empty file") << QByteArray("") << "A" << 0;
    }

    void fatal() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(int, index);
        cmcGTex t;
        t.openFile(content.isNull() ? m_tmp.filePath("absent.ovl") : write("f.ovl", content));
        // Below the fixed text the file is named: with the system's reason when it cannot be
        // read, else as the file that lacks the key (an empty one too).
        const QString text = fatalText([&] { t.getText(key, index); });
        QCOMPARE(text.section("\n\n", 0, 0), gtexError(key));
        QCOMPARE(text.section("\n\n", 1),
                 content.isNull() ? QStringLiteral("The overlay file '%1' cannot be read: %2.")
                                        .arg(QDir::toNativeSeparators(m_tmp.filePath("absent.ovl")),
                                             openFailureReason(m_tmp.filePath("absent.ovl")))
                                  : QStringLiteral("The overlay file '%1' does not hold it.")
                                        .arg(QDir::toNativeSeparators(m_tmp.filePath("f.ovl"))));
        if (index == 0) QCOMPARE(fatalText([&] { t.getTextBlock(key); }), text);
        // The table is still usable after the failure.
        if (content == "#A\na\n#End_Of_Ovl\n#Late\nx\n") QCOMPARE(t.getText("A"), "a");
    }

    void noSource() {
        cmcGTex t;
        QVERIFY(!t.hasKey("A"));
        QCOMPARE(fatalText([&] { t.getText("A"); }), gtexError("A"));
        cmcGTex dir;
        dir.openFile(m_tmp.path() + "/");
        QCOMPARE(fatalText([&] { dir.getText("A"); }),
                 gtexError("A") + QStringLiteral("\n\nThe overlay file '%1' cannot be read: not "
                                                 "a regular file.")
                                      .arg(QDir::toNativeSeparators(m_tmp.path() + "/")));
    }

    // A FIFO named as an overlay is refused at once instead of blocking the first lookup.
    void notRegularFile() {
#ifdef Q_OS_WIN
        QSKIP("Windows has no FIFOs");
#else
        const QString fifo = m_tmp.filePath("fifo.ovl");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        cmcGTex t;
        t.openFile(fifo);
        QVERIFY(!t.hasKey("A"));
        QVERIFY(fatalText([&] { t.getText("A"); }).endsWith("cannot be read: not a regular file."));
        cmcGTexFile file;
        QVERIFY(!file.open(fifo));
        QCOMPARE(file.errorString(), QStringLiteral("not a regular file"));
#endif
    }

    void reopen() {
        cmcGTex t;
        t.openFile(write("r1.ovl", "#A\none\n#End_Of_Ovl\n"));
        QCOMPARE(t.getText("A"), "one");
        t.openFile(write("r2.ovl", "#A\ntwo\n#B\nb\n#End_Of_Ovl\n"));
        QCOMPARE(t.getText("A"), "two");
        QCOMPARE(t.getText("B"), "b");
        QCOMPARE(t.fileName(), m_tmp.filePath("r2.ovl"));
    }

    void helpKeepsFirstFile() {
        cmcHelpGTex h;
        const QString first = write("h1.ovl", "#T\nfirst\n#End_Of_Ovl\n");
        QVERIFY(h.openFile(first));
        QVERIFY(!h.openFile(write("h2.ovl", "#T\nsecond\n#End_Of_Ovl\n")));
        QCOMPARE(h.fileName(), first);
        QCOMPARE(h.getText("T"), "first");
    }

    void languageIndex_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("title");
        QTest::newRow("first") << 0 << 0 << "Editor en";
        QTest::newRow("last") << 2 << 2 << "Editor fr";
        QTest::newRow("one past") << 3 << 0 << "Editor en";
        QTest::newRow("5 of 3") << 5 << 0 << "Editor en";
        QTest::newRow("negative") << -1 << 0 << "Editor en";
    }

    void languageIndex() {
        QFETCH(int, language);
        QFETCH(int, chosen);
        QFETCH(QString, title);
        writeOverlays(threeLanguages());
        cmcGTex languages, main;
        cmcHelpGTex help;
        cmcOverlayFiles files(languages, main, help);
        files.open(m_tmp.path(), "QXT5200", language);
        QCOMPARE(language, chosen);
        QCOMPARE(files.languageCount(), 3);
        QCOMPARE(languages.fileName(), m_tmp.filePath("QXT5200.OVL"));
        QCOMPARE(main.getText("GI_Sys_AppTitle"), title);
        QCOMPARE(help.fileName(), m_tmp.filePath("help_" + title.right(2) + ".ovl"));
    }

    void languageChange_data() {
        QTest::addColumn<bool>("sameObject");
        QTest::newRow("same object") << true;
        QTest::newRow("fresh object") << false;
    }

    // A language change re-opens the main overlay; the help table stays with the language of
    // the start. A fresh object finds the folder and the languages from the language table.
    void languageChange() {
        QFETCH(bool, sameObject);
        writeOverlays(threeLanguages());
        cmcGTex languages, main;
        cmcHelpGTex help;
        cmcOverlayFiles files(languages, main, help);
        int language = 0;
        files.open(m_tmp.path() + "/", "QXT5200", language);
        QCOMPARE(main.getText("GI_Sys_AppTitle"), "Editor en");

        cmcOverlayFiles fresh(languages, main, help);
        cmcOverlayFiles& change = sameObject ? files : fresh;
        QCOMPARE(change.languageCount(), 3);
        QCOMPARE(change.languageName(2), "Fran\u00e7ais");
        language = 2;
        change.selectLanguage(language);
        QCOMPARE(language, 2);
        QCOMPARE(main.getText("GI_Sys_AppTitle"), "Editor fr");
        QCOMPARE(main.fileName(), m_tmp.filePath("main_fr.ovl"));
        QCOMPARE(help.getText("GI_AppItem_Topic_ID"), "en");
    }

    void languageCountCapped() {
        QByteArray list = "#GI_Sys_Language\n";
        for (int i = 0; i < 300; ++i)
            list += "L" + QByteArray::number(i) + "\tmain_de.ovl\n";
        writeOverlays(list + "#End_Of_Ovl\n");
        cmcGTex languages, main;
        cmcHelpGTex help;
        cmcOverlayFiles files(languages, main, help);
        int language = 255;
        files.open(m_tmp.path(), "QXT5200", language);
        QCOMPARE(files.languageCount(), 256);
        QCOMPARE(language, 255);
        language = 256;
        files.selectLanguage(language);
        QCOMPARE(language, 0);
    }

    void languageFaults_data() {
        QTest::addColumn<QByteArray>("list"); // null: no language list file
        QTest::addColumn<QString>("key");
        QTest::newRow("line without TAB")
            << QByteArray("#GI_Sys_Language\nEnglish\n#End_Of_Ovl\n") << "GI_Sys_MyHelpOvl";
        QTest::newRow("main file missing")
            << QByteArray("#GI_Sys_Language\nX\tnone.ovl\n#End_Of_Ovl\n") << "GI_Sys_MyHelpOvl";
        QTest::newRow("no language list") << QByteArray() << "GI_Sys_Language";
    }

    void languageFaults() {
        QFETCH(QByteArray, list);
        QFETCH(QString, key);
        QTemporaryDir dir;
        if (!list.isNull()) {
            QFile f(dir.filePath("QXT5200.OVL"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(list);
        }
        cmcGTex languages, main;
        cmcHelpGTex help;
        cmcOverlayFiles files(languages, main, help);
        int language = 0;
        const QString text = fatalText([&] { files.open(dir.path(), "QXT5200", language); });
        QCOMPARE(text.section("\n\n", 0, 0), gtexError(key));
        // Each of these overlays is missing or is a folder: the text says which.
        QVERIFY2(text.contains("cannot be read: "), qPrintable(text));
        if (QByteArray(QTest::currentDataTag()) == "line without TAB")
            QCOMPARE(main.fileName(), dir.path() + "/");
    }
};

QTEST_GUILESS_MAIN(TstGTex)
#include "tst_gtex.moc"
