#pragma once
// The clone information window: the radio's identity as the last information exchange
// stored it (model code, code 2) and its 32-byte information record, read-only.

#include <QByteArray>
#include <QWidget>
#include <cstdint>

class QPlainTextEdit;

class cuiCloneInfoWindow : public QWidget {
public:
    cuiCloneInfoWindow(uint16_t code1, uint16_t code2, const QByteArray& record, QWidget* owner);

    QString text() const;
    // The listing shown: one line per code, then the record as hexadecimal rows of 16
    // bytes with their printable characters.
    static QString listing(uint16_t code1, uint16_t code2, const QByteArray& record);

private:
    QPlainTextEdit* m_view;
};
