#pragma once
// The window of a write to several radios: the links to choose from (the serial ports of
// the port table, serial devices added by their path and the network adapters) with check
// boxes, a field to add a device or an adapter, then one progress bar per radio while the
// writes run side by side, and at the end a table of link, serial number, status and message,
// tall enough for every row of a few radios and wrapping long messages. Per-radio values (a
// sheet with a row per radio) give each radio its own identity; the table then names the
// values each got. After a run where some radios failed, "Write again to the radios that
// failed" writes the same image with the same sheet into exactly those and updates their
// rows. It asks its owner for the confirmation of each run and hands it the finished fleet
// (for the backups).

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
    // What the list should bring back next time: the serial devices added by their path,
    // every adapter (HOST:PORT), and the links ticked (device paths and HOST:PORT).
    struct Remembered {
        QStringList devices;
        QStringList adapters;
        QStringList ticked;
    };

    // Asked once per run (Write, Write again) with the links it writes to: false cancels;
    // *verify may be changed.
    std::function<bool(bool* verify, const QStringList& links)> confirm;
    // Told once every radio of a run has ended (a run again: only the radios it wrote).
    std::function<void(const imcFleetClone&)> finished;
    // Told whenever a link was added, ticked or unticked.
    std::function<void(const Remembered&)> linksChanged;

    // Serial devices added earlier by their path (they are already among the links), and
    // the line settings of a device added now.
    void setAddedDevices(const QStringList& devices) { m_devices = devices; }
    void setSerialSettings(const QString& settings) { m_serialSettings = settings; }

    // The Write button: checks the choice, asks for the confirmation and starts every
    // radio. False when nothing started.
    bool start();
    // The "Write again" button: the radios of the table that failed, with the image and
    // per-radio values of the run before. False when nothing started.
    bool retryFailed();
    // Adds what was typed in the field: a serial device (a path, or COMn on Windows) or a
    // network adapter (HOST:PORT), ticked; false (with a message, the text kept) when it is
    // neither.
    bool addLink(const QString& text);
    bool addAdapter(const QString& text);
    bool addDevice(const QString& text);
    bool isRunning() const { return m_fleet.isRunning(); }

    QListWidget* linkList() const { return m_list; }
    QLineEdit* adapterEdit() const { return m_adapter; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* writeButton() const { return m_write; }
    QPushButton* retryButton() const { return m_retry; }
    QTableWidget* resultTable() const { return m_table; }
    // The per-radio values: the chooser, its table and the tick box for radios without a row.
    cuiFleetSheetBox* sheetBox() const { return m_sheetBox; }
    QProgressBar* progressBar(int radio) const;
    const imcFleetClone& fleet() const { return m_fleet; }

    // The window's texts: line n of its text key.
    static QString text(int line);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter in the field to add a link adds what it holds (Write is the window's default
    // button, for Enter elsewhere).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    // One line of the result table, kept across runs so that a run again updates its rows.
    struct Row {
        QString link;
        QString serial;
        int32_t status = 0;
        QString message;
        QString fullMessage;
        QString applied;
        bool leftOut = false;
        imcFleetClone::Link target;
    };

    static void tick(void* context, cmcTask* task);
    // Starts the links given; rows: the table rows they write to, in the same order.
    bool run(const QList<imcFleetClone::Link>& links, const QList<int>& rows);
    void setChoiceEnabled(bool on);
    void refresh();
    void showResults();
    void fitTable();
    void fitHeight();
    // The result table's column of the values each radio got (a write with per-radio values).
    void showAppliedValues();
    void addItem(const QString& name, int link, bool ticked);
    // Ticks the link where the list has it already (the same port, or the same HOST:PORT),
    // else adds it ticked; then tells the links to remember.
    void listTicked(const imcFleetClone::Link& link);
    void tellRemembered();
    // Asked by the fleet when the plain document goes to two or more radios without a row.
    bool confirmPlain(const QStringList& radios);

    QList<imcFleetClone::Link> m_links;
    QStringList m_devices;
    QString m_serialSettings = QStringLiteral("38400,N,8,1");
    QList<Row> m_rows;
    QList<int> m_runRows;
    // The per-radio values of the last run, kept for a run again.
    std::unique_ptr<imcFleetSheet> m_runSheet;
    bool m_runPlain = false;
    QListWidget* m_list = nullptr;
    QLineEdit* m_adapter = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_retry = nullptr;
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
