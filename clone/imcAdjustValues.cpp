#include "imcAdjustValues.h"

#include <QSaveFile>
#include <QStringList>
#include <cstring>

namespace {
// A field as CSV wants it: quoted when it holds a separator, a quote or a line break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

imcAdjustValues::imcAdjustValues() {
    for (int i = 0; i < Count; ++i) {
        m_arguments[i] = argument(i);
        m_table[i] = {ReadSubCommand, &m_arguments[i], m_incoming[i]};
    }
    m_table[Count] = {255, nullptr, nullptr};
}

void imcAdjustValues::finishRead(bool succeeded, const Radio& radio, const QDateTime& when) {
    if (succeeded) {
        std::memcpy(m_values, m_incoming, sizeof m_values);
        m_read = true;
        m_radio = radio;
        m_readAt = when;
    }
    std::memset(m_incoming, 0, sizeof m_incoming);
}

void imcAdjustValues::clear() {
    std::memset(m_values, 0, sizeof m_values);
    std::memset(m_incoming, 0, sizeof m_incoming);
    m_read = false;
    m_radio = Radio();
    m_readAt = QDateTime();
}

uint16_t imcAdjustValues::value(int item) const {
    if (item < 0 || item >= Count) return 0;
    return uint16_t(m_values[item][0] << 8 | m_values[item][1]);
}

QString imcAdjustValues::hexText(uint16_t value) {
    return QString::asprintf("0x%04X", unsigned(value));
}

QString imcAdjustValues::argumentText(uint8_t argument) {
    return QString::asprintf("0x%02X", unsigned(argument));
}

QString imcAdjustValues::csvHeader() {
    return QStringLiteral("item,argument,hex,decimal,model,serial,date,time");
}

QByteArray imcAdjustValues::csv() const {
    if (!m_read) return QByteArray();
    const QString date = m_readAt.date().toString(Qt::ISODate);
    const QString time = m_readAt.time().toString(QStringLiteral("HH:mm:ss"));
    QStringList lines{csvHeader()};
    for (int i = 0; i < Count; ++i) {
        const uint16_t v = value(i);
        lines << QStringList{QString::number(i + 1),
                             argumentText(argument(i)),
                             hexText(v),
                             QString::number(v),
                             csvField(m_radio.model),
                             csvField(m_radio.serial),
                             date,
                             time}
                     .join(QLatin1Char(','));
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

bool imcAdjustValues::writeCsv(const QString& path, QString* error) const {
    const QByteArray text = csv();
    if (text.isEmpty()) {
        if (error) *error = QStringLiteral("no adjustment values have been read");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
