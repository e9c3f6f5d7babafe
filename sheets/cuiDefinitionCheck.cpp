#include "cuiDefinitionCheck.h"

#include "cmcFatal.h"
#include "cuiFont.h"
#include "cuiSheetLayout.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

struct Key {
    QString name;
    int line = 0;       // the key line's number in the file, from 1
    QStringList values; // its values; value i lies on line + 1 + i
};

// The keys of the file up to "#End_Of_Ovl", each once (its first occurrence).
QList<Key> readKeys(QFile& file) {
    QList<Key> keys;
    QHash<QString, bool> seen;
    bool skipping = false;
    int number = 0;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        ++number;
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('#'))) {
            const QString name = line.mid(1);
            if (name == QLatin1String("End_Of_Ovl")) break;
            skipping = name.isEmpty() || seen.contains(name);
            if (!skipping) {
                seen.insert(name, true);
                keys.append(Key{name, number, {}});
            }
            continue;
        }
        if (!skipping && !keys.isEmpty()) keys.last().values.append(line);
    }
    return keys;
}

// A whole decimal number from low to high, as the text stands (no blanks inside, no sign
// where low is not negative, nothing that would wrap).
bool wholeIn(const QString& text, qint64 low, qint64 high, qint64* value = nullptr) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < low || v > high) return false;
    if (value) *value = v;
    return true;
}

QString notWhole(const QString& item, qint64 low, qint64 high) {
    return QStringLiteral("'%1' is not a whole number from %2 to %3.").arg(item).arg(low).arg(high);
}

// The items of a line of parenthesised groups: "(A=1)(B)" gives "A=1", "B".
QStringList groups(const QString& line) {
    QStringList out;
    int depth = 0, start = -1;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('(')) {
            if (depth++ == 0) start = i + 1;
        } else if (line[i] == QLatin1Char(')') && depth > 0) {
            if (--depth == 0) out.append(line.mid(start, i - start));
        }
    }
    return out;
}

class Checker {
  public:
    explicit Checker(const QString& file) { m_fault.file = file; }
    const cuiDefinitionCheck::Fault& fault() const { return m_fault; }

    void check(const QList<Key>& keys) {
        for (const Key& key : keys) {
            if (m_fault.isFault()) return;
            if (key.name.endsWith(QLatin1String("_Style"))) checkStyle(key);
            const bool cells = key.name.endsWith(QLatin1String("_Cells"));
            if (cells || key.name.endsWith(QLatin1String("_BasicCell")) ||
                key.name.endsWith(QLatin1String("_Body")) ||
                key.name.startsWith(QLatin1String("CellModel_")))
                checkCellLines(key, cells);
            if (key.name == QLatin1String("GI_Sys_TreeChangeDelay") &&
                !wholeIn(key.values.value(0), 0, cuiDefinitionCheck::MaxChangeDelayMs))
                fail(key, 0,
                     notWhole(key.values.value(0), 0, cuiDefinitionCheck::MaxChangeDelayMs));
        }
    }

  private:
    void fail(const Key& key, int value, const QString& what) {
        if (m_fault.isFault()) return;
        m_fault.key = key.name;
        m_fault.line = key.line + 1 + value;
        m_fault.what = what;
    }

    void checkStyle(const Key& key) {
        for (const QString& item : groups(key.values.value(0))) {
            const int eq = int(item.indexOf(QLatin1Char('=')));
            if (eq < 0) continue;
            const QString name = item.left(eq).trimmed();
            const QString value = item.mid(eq + 1);
            qint64 low = 0, high = -1;
            if (name == QLatin1String("FixedCols")) {
                high = cuiSheetLayout::MaxCols;
            } else if (name == QLatin1String("FixedRows")) {
                high = cuiSheetLayout::MaxRows;
            } else if (name == QLatin1String("PrintFontRatio")) {
                low = 1;
                high = cuiDefinitionCheck::MaxPercent;
            } else if (name == QLatin1String("TableNum")) {
                high = cuiSheetLayout::MaxRows;
            } else if (name == QLatin1String("TitleFont")) {
                checkFont(key, 0, value);
                continue;
            } else {
                continue;
            }
            if (!wholeIn(value, low, high)) fail(key, 0, notWhole(item, low, high));
        }
    }

    // A font's height (field 3) and size (field 4): empty, "%n" or a whole number.
    void checkFont(const Key& key, int value, const QString& font) {
        const QStringList fields = font.split(QLatin1Char(','));
        for (int i : {3, 4}) {
            const QString f = fields.value(i).trimmed();
            if (f.isEmpty()) continue;
            const bool percent = f.startsWith(QLatin1Char('%'));
            const bool ok = percent ? wholeIn(f.mid(1), 1, cuiDefinitionCheck::MaxPercent)
                                    : wholeIn(f, -cuiFont::MaxHeight, cuiFont::MaxHeight);
            if (!ok)
                fail(key, value,
                     QStringLiteral("The font '%1' has a %2 of '%3', not %4.")
                         .arg(font, i == 3 ? QStringLiteral("height") : QStringLiteral("size"), f,
                              percent ? QStringLiteral("a percentage from 1 to %1")
                                            .arg(cuiDefinitionCheck::MaxPercent)
                                      : QStringLiteral("a whole number from %1 to %2")
                                            .arg(-cuiFont::MaxHeight)
                                            .arg(cuiFont::MaxHeight)));
        }
    }

    void checkCellLines(const Key& key, bool cells) {
        static const QRegularExpression font(QStringLiteral("\\(Font=([^)]*)\\)"));
        static const QRegularExpression image(QStringLiteral("\\(ImageIndex=([^)]*)\\)"));
        int openLoop = -1; // the value holding the open loop's start
        for (int i = 0; i < key.values.size(); ++i) {
            const QString& line = key.values[i];
            if (cells && line.startsWith(QLatin1Char(':'))) {
                checkDirectives(key, i, openLoop);
                continue;
            }
            for (auto m = font.globalMatch(line); m.hasNext();)
                checkFont(key, i, m.next().captured(1));
            for (auto m = image.globalMatch(line); m.hasNext();) {
                const QRegularExpressionMatch found = m.next();
                if (!wholeIn(found.captured(1), 0, cuiDefinitionCheck::MaxImageIndex))
                    fail(key, i,
                         notWhole(found.captured(0).mid(1).chopped(1), 0,
                                  cuiDefinitionCheck::MaxImageIndex));
            }
        }
        if (openLoop >= 0)
            fail(key, openLoop, QStringLiteral("The loop that starts here has no LoopTo."));
    }

    void checkDirectives(const Key& key, int i, int& openLoop) {
        const int remaining = int(key.values.size()) - i - 1;
        for (const QString& d : groups(key.values[i].mid(1))) {
            const QString directive = d.trimmed();
            const int space = int(directive.indexOf(QLatin1Char(' ')));
            const QString word = space < 0 ? directive : directive.left(space);
            const QString arg = space < 0 ? QString() : directive.mid(space + 1).trimmed();
            const bool opens = word == QLatin1String("LoopFrom") ||
                               directive.startsWith(QLatin1String("TG List")) ||
                               directive.startsWith(QLatin1String("Ind List"));
            if (opens) {
                if (openLoop >= 0)
                    fail(key, i,
                         QStringLiteral("A loop starts inside the loop of line %1.")
                             .arg(key.line + 1 + openLoop));
                openLoop = i;
                // Without a count the sheet's own list decides.
                if (word == QLatin1String("LoopFrom") && !arg.isEmpty() &&
                    !wholeIn(arg, 1, cuiSheetLayout::MaxRows))
                    fail(key, i, notWhole(directive, 1, cuiSheetLayout::MaxRows));
            } else if (word == QLatin1String("LoopTo") || word == QLatin1String("End")) {
                if (openLoop < 0) fail(key, i, QStringLiteral("%1 without a loop.").arg(word));
                openLoop = -1;
            } else if (word == QLatin1String("Never") || word.startsWith(QLatin1String("Only_"))) {
                // The number of lines to skip ("Only_Print3" is written without a blank).
                const QString count = arg.isEmpty() && word.startsWith(QLatin1String("Only_Print"))
                                          ? word.mid(int(qstrlen("Only_Print")))
                                          : arg;
                if (!wholeIn(count, 0, remaining)) fail(key, i, notWhole(directive, 0, remaining));
            }
        }
    }

    cuiDefinitionCheck::Fault m_fault;
};

} // namespace

QString cuiDefinitionCheck::Fault::message() const {
    return QStringLiteral("Definition error in '%1', key '%2', line %3:\n%4")
        .arg(QDir::toNativeSeparators(file), key)
        .arg(line)
        .arg(what);
}

cuiDefinitionCheck::Fault cuiDefinitionCheck::firstFault(const QString& overlayPath) {
    QFile file(overlayPath);
    Checker checker(overlayPath);
    if (!file.open(QIODevice::ReadOnly)) return checker.fault();
    checker.check(readKeys(file));
    return checker.fault();
}

void cuiDefinitionCheck::stopOnFault(const QString& overlayPath) {
    const Fault fault = firstFault(overlayPath);
    if (fault.isFault()) cmcFatal::stop(fault.message());
}
