#pragma once
// The splash window: 600 x 187, borderless, centred; the picture, "Revision " and the
// revision text; closes after 2.5 s or at the first click.

#include <QDialog>

class QTimer;

class TForm_Opening : public QDialog {
    Q_OBJECT
  public:
    static constexpr int AutoCloseMs = 2500;

    explicit TForm_Opening(const QString& revision, QWidget* parent = nullptr);
    QString revisionText() const;
    // The splash picture (600 x 152), drawn in code.
    static QImage picture();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString m_revisionText;
};
