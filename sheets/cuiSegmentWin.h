#pragma once
// The display characters window: a text typed by the user drawn with the segment set as
// the radio's display shows it, with the number of segments and any line of the segment
// data that could not be read. The window deletes itself when closed.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class cuiSegmentSet;

class cuiSegmentWin : public QDialog {
    Q_OBJECT
  public:
    // set is not owned and must outlive the window.
    cuiSegmentWin(const cuiSegmentSet& set, const QString& text, QWidget* owner);

    QLineEdit* textEdit() const { return m_text; }
    QLabel* summary() const { return m_summary; }
    // The drawing of the text as the window shows it.
    QWidget* display() const { return m_display; }

  private:
    class Display;
    const cuiSegmentSet& m_set;
    QLineEdit* m_text = nullptr;
    QLabel* m_summary = nullptr;
    QWidget* m_display = nullptr;
};
