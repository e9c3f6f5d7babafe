#pragma once
// The progress window of a clone transfer or a port search: a small tool window with a
// bar of 32 segments that the clone manager's task repaints. The user cannot close it; it
// goes when the operation ends.

#include <QFrame>
#include <QWidget>

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
    // Lets the owner close the window when the operation ends.
    void finish();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    cuiCloneProgressBox* m_box;
    bool m_closable = false;
};
