#pragma once
// The argument block of a sheet command: the first word (up to the first space, trimmed)
// and the comma-separated arguments after it, each trimmed. An argument beyond the list
// reads as the empty text.

#include <QString>
#include <QStringList>

class cmcScrBlock {
  public:
    explicit cmcScrBlock(const QString& text = QString());
    void parse(const QString& text);

    const QString& word() const { return m_word; }
    int count() const { return int(m_args.size()); }
    QString arg(int i) const { return i >= 0 && i < m_args.size() ? m_args[i] : QString(); }

  private:
    QString m_word;
    QStringList m_args;
};
