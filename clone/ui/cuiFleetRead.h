#pragma once
// The window of a read of several radios at once (the per-radio values made from the radios
// themselves): one line per radio with its link, a bar and what it is doing, and Cancel,
// which stops every read still running (the images already read stay). It cannot be closed
// while radios are read; its owner hears once when every radio has ended and may then
// close it.

#include "imcFleetClone.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class cmcTask;

class cuiFleetRead : public QDialog {
  public:
    cuiFleetRead(const QList<imcFleetClone::Link>& links, QWidget* parent);
    ~cuiFleetRead() override;

    // Starts every radio; false when none could start.
    bool start();
    // Stops the reads still running; true when any was.
    bool cancel();
    bool isRunning() const { return m_fleet.isRunning(); }
    // Told once every radio has ended.
    std::function<void(const imcFleetClone&)> finished;

    QPushButton* cancelButton() const { return m_cancel; }
    QProgressBar* progressBar(int radio) const { return m_bars.value(radio); }
    QString phaseText(int radio) const;
    const imcFleetClone& fleet() const { return m_fleet; }

    // The window's texts: line n of its text key.
    static QString text(int line);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    static void tick(void* context, cmcTask* task);
    void refresh();

    QList<QProgressBar*> m_bars;
    QList<QLabel*> m_phases;
    QPushButton* m_cancel = nullptr;
    imcFleetClone m_fleet;
    cmcTask* m_task = nullptr;
};
