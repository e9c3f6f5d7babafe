#pragma once
// The window of a write to several radios: the links to choose from (the serial ports of
// the port table and the network adapters) with check boxes, a field to add an adapter,
// then one progress bar per radio while the writes run side by side, and at the end a
// table of link, serial number, status and message. Per-radio values (a sheet with a row per
// radio) give each radio its own identity; the table then names the values each got. It asks its
// owner once for the confirmation of the batch and hands it the finished fleet (for the backups).

#include "imcFleetClone.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class cmcTask;
class cuiFleetSheetBox;

class cuiFleetWrite : public QDialog {
  public:
    // links: what the list offers; those with checked[i] true start ticked.
    cuiFleetWrite(const QList<imcFleetClone::Link>& links, const QList<bool>& checked,
                  QWidget* parent);
    ~cuiFleetWrite() override;

    // The image to write and its ranges (ended by {1, 0}; must live as long as the window).
    void setImage(const cmcEeprom& image, const cmcAdrRange* ranges);
    // Asked once when Write is pressed: false cancels; *verify may be changed.
    std::function<bool(bool* verify)> confirm;
    // Told once every radio has ended.
    std::function<void(const imcFleetClone&)> finished;
    // Told whenever an adapter was added (every adapter of the list, as HOST:PORT).
    std::function<void(const QStringList&)> adaptersChanged;

    // The Write button: checks the choice, asks for the confirmation and starts every
    // radio. False when nothing started.
    bool start();
    // Adds a network adapter typed as HOST:PORT, ticked; false (with a message, the text
    // kept) when it is not one.
    bool addAdapter(const QString& text);
    bool isRunning() const { return m_fleet.isRunning(); }

    QListWidget* linkList() const { return m_list; }
    QLineEdit* adapterEdit() const { return m_adapter; }
    QPushButton* writeButton() const { return m_write; }
    QTableWidget* resultTable() const { return m_table; }
    // The per-radio values: the chooser, its table and the tick box for radios without a row.
    cuiFleetSheetBox* sheetBox() const { return m_sheetBox; }
    QProgressBar* progressBar(int radio) const;
    const imcFleetClone& fleet() const { return m_fleet; }

    // The window's texts: line n of its text key.
    static QString text(int line);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    static void tick(void* context, cmcTask* task);
    void refresh();
    void showResults();
    QStringList adapters() const;
    // The result table's column of the values each radio got (a write with per-radio values).
    void showAppliedValues();

    QList<imcFleetClone::Link> m_links;
    QListWidget* m_list = nullptr;
    QLineEdit* m_adapter = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_close = nullptr;
    QWidget* m_progressArea = nullptr;
    QList<QProgressBar*> m_bars;
    QList<QLabel*> m_phases;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    cuiFleetSheetBox* m_sheetBox = nullptr;
    imcFleetClone m_fleet;
    cmcEeprom m_image;
    const cmcAdrRange* m_ranges = nullptr;
    cmcTask* m_task = nullptr;
};
