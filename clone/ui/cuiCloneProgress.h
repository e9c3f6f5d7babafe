#pragma once
// The progress window of a clone transfer or a port search: a small tool window with a
// bar of 32 segments that the clone manager's task repaints, a line that says where the
// operation is (percentage, bytes, time left), the link in use, and Cancel while the
// operation can still be cancelled (a write that has begun to send data says so instead).
// The user cannot close it; it goes when the operation ends.

#include <QFrame>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

class cuiCloneProgressBox : public QFrame {
  public:
    static constexpr int Segments = 32;
    static constexpr int BarWidth = 256;
    static constexpr int BarHeight = 16;

    explicit cuiCloneProgressBox(QWidget* parent = nullptr);

    void setProgress(int done, int total);
    int lit() const { return litSegments(m_done, m_total); }

    // Lit segments: 33 x done / total (integer division), 0 when total is 0, at most 32.
    static int litSegments(int done, int total);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_done = 0;
    int m_total = 0;
};

class cuiCloneProgress : public QWidget {
  public:
    // Centred on owner (when given) and shown at once, without being modal.
    cuiCloneProgress(const QString& caption, QWidget* owner);

    cuiCloneProgressBox* box() const { return m_box; }
    void setProgress(int done, int total) { m_box->setProgress(done, total); }
    void setLines(const QString& progress, const QString& link);
    void setCancelText(const QString& text);
    // Cancel shown while offered; note says why it is not (empty: nothing said).
    void setCancelOffered(bool offered, const QString& note);
    // Called when Cancel is pressed.
    std::function<void()> onCancel;

    QString progressLine() const;
    QString linkLine() const;
    QString noteLine() const;
    QPushButton* cancelButton() const { return m_cancel; }
    // Lets the owner close the window when the operation ends.
    void finish();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    cuiCloneProgressBox* m_box;
    QLabel* m_progressLine;
    QLabel* m_linkLine;
    QLabel* m_note;
    QPushButton* m_cancel;
    bool m_closable = false;
};
