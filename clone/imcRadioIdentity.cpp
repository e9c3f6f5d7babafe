#include "imcRadioIdentity.h"

#include "imcRadioFacts.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// The header bytes of every information block: its length, a version and its kind.
constexpr int HeaderBytes = 3;

bool printable(uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

// The block's texts: runs of printable bytes, split where padding (two or more blanks)
// separates two texts, trimmed. Shorter runs, or runs without a letter or digit, are
// binary fields whose bytes happen to be printable.
constexpr int MinTextLength = 4;

bool isText(const QString& t) {
    if (t.size() < MinTextLength) return false;
    for (QChar c : t)
        if (c.isLetterOrNumber()) return true;
    return false;
}

QStringList textRuns(const QByteArray& info) {
    QStringList runs;
    QString run;
    auto flush = [&] {
        for (const QString& part :
             run.split(QRegularExpression(QStringLiteral(" {2,}")), Qt::SkipEmptyParts)) {
            const QString t = part.trimmed();
            if (isText(t)) runs << t;
        }
        run.clear();
    };
    for (int i = HeaderBytes; i < info.size(); ++i) {
        const uint8_t b = uint8_t(info.at(i));
        if (printable(b))
            run += QLatin1Char(char(b));
        else
            flush();
    }
    flush();
    return runs;
}

// A serial label at the start of a text, with what follows it ("S/N 0123", "SN:0123",
// "Serial No. 0123", "SER#0123"); the number is captured.
const QRegularExpression& labelled() {
    static const QRegularExpression re(
        QStringLiteral("^(?:S/N|S\\.N\\.|SN|SER(?:IAL)?(?:\\s*(?:NO|NUM(?:BER)?)\\.?)?|NO\\.)"
                       "\\s*[:#.=]?\\s*(\\S.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// Where a serial label starts inside a text that also holds the model name
// ("QX-T5200S/N 0123", "QX-T5200 SN:0123"); -1 when none does.
int labelInside(const QString& text) {
    static const QRegularExpression re(QStringLiteral("(?:S/N|\\bSN\\s*[:#]|\\bSERIAL\\b)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text, 1);
    return m.hasMatch() ? int(m.capturedStart()) : -1;
}

// This model's name as radios write it, to tell a lone model name from a lone serial.
bool namesThisModel(const QString& text) {
    return text.startsWith(QLatin1String(QxRadio::ModelName), Qt::CaseInsensitive);
}

QString fileKey(QString text) {
    for (QChar& c : text)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('-') &&
            c != QLatin1Char('.'))
            c = QLatin1Char('_');
    while (text.startsWith(QLatin1Char('.')))
        text.remove(0, 1);
    return text;
}

} // namespace

imcRadioIdentity imcRadioIdentity::FromInfo(const QByteArray& info) {
    imcRadioIdentity id;
    QStringList runs = textRuns(info);

    // A label inside a run splits it into model name and serial text.
    for (int i = 0; i < runs.size(); ++i) {
        const int at = labelInside(runs[i]);
        if (at > 0) {
            const QString serial = runs[i].mid(at).trimmed();
            runs[i] = runs[i].left(at).trimmed();
            runs.insert(i + 1, serial);
            break;
        }
    }

    int serialRun = -1;
    QString number;
    for (int i = 0; i < runs.size() && serialRun < 0; ++i) {
        const QRegularExpressionMatch m = labelled().match(runs[i]);
        if (m.hasMatch()) {
            serialRun = i;
            number = m.captured(1).trimmed();
        }
    }

    int modelRun = -1;
    for (int i = 0; i < runs.size() && modelRun < 0; ++i)
        if (i != serialRun && namesThisModel(runs[i])) modelRun = i;
    if (modelRun < 0 && runs.size() >= 2)
        for (int i = 0; i < runs.size() && modelRun < 0; ++i)
            if (i != serialRun) modelRun = i;
    if (modelRun >= 0) id.model = runs[modelRun];

    if (serialRun < 0) {
        // Without a label: the texts other than the model name, in the block's order.
        QStringList rest;
        for (int i = 0; i < runs.size(); ++i)
            if (i != modelRun) rest << runs[i];
        if (!rest.isEmpty()) {
            id.serial = rest.join(QLatin1Char(' '));
            number = id.serial;
        }
    } else {
        id.serial = runs[serialRun];
    }

    if (!id.serial.isEmpty()) {
        id.serialFromText = true;
        id.key = fileKey(number);
    }
    if (id.key.isEmpty() && info.size() > HeaderBytes) {
        // No serial text: the bytes after the header, without trailing padding.
        QByteArray bytes = info.mid(HeaderBytes);
        while (!bytes.isEmpty() && (uint8_t(bytes.back()) == 0xFF || bytes.back() == '\0'))
            bytes.chop(1);
        if (!bytes.isEmpty()) {
            id.serial = QString::fromLatin1(bytes.toHex().toUpper());
            id.key = id.serial;
            id.serialFromText = false;
        }
    }
    return id;
}
