#pragma once
// The application controller of the QX-T5200: the model's parameters and the document
// operations (New, Open, Save, Save As and the save-changes prompt), the initial data, the
// identity checks of images and clone files, the maker-mode switch of the command line,
// the hidden version display and help-context lookups.

#include "cmcFileStamp.h"
#include "cmcIcfFile.h"
#include "cuiMain.h"
#include "cuiPrinter.h"
#include "imcAdjustValues.h"
#include "imcRadioFacts.h"

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class cuiHtmlHelp;
class cuiSegmentSet;
class cuiFleetRead;
class cuiFleetWrite;
class iuiFleetSheetWin;
class indCloneMan;
class indRecoveryJournal;
class indSheetEnv;
struct cmcCellRequest;
struct cmcCsvTable;
struct imcCellChange;
class iuiCompareWin;
class iuiFindBar;
class cuiSheet;
struct imcFindMatch;
struct imcSortKey;
struct dst_CDrv_Result;

class indMain : public cuiMain {
    Q_OBJECT
  public:
    // The model's parameters (short name, image size, codes, ranges) are this radio's facts
    // (imcRadioFacts.h).
    // The command-line switch that turns the maker mode on (compared lower-cased).
    static constexpr const char* MakerSwitch = "/factory";

    explicit indMain(indEnviron& environ, const QString& dataDir = QString());
    ~indMain() override;

    // Document operations.
    void New();
    // From the Open dialog (empty path) or with a path; false when cancelled or failed.
    bool Open(const QString& path = QString());
    bool Save(const QString& path);
    bool SaveAs();
    // Commits the value open in a cell's in-place editor, so that commands see it.
    void CommitPendingEdit();
    // 6 proceed (saved or not modified), 7 proceed without saving, 2 cancel.
    int SaveChangesPrompt(bool writeAnother = false);
    // The main form asks before it closes: false keeps it open (also while a clone runs).
    // Stores the placement.
    bool CloseQuery();

    QString documentFile() const { return m_doc.fileName(); }
    // The document's path: its file, or the current directory + "Untitled".
    QString documentPath() const;
    QString documentTitle() const override;

    // Identity of images and files.
    int32_t MemoryMapEnd() const override { return QxRadio::MemoryMapEnd; }
    int CheckImageIdentity(const cmcEeprom& image, bool checkMakerText) const override;
    bool ModelIdentityCompare(uint32_t modelCode, uint32_t revision, int* error) const;
    static bool AcceptMapRevision(int32_t value) {
        return value == QxRadio::CloneMapRevision || value == QxRadio::RepeaterMapRevision;
    }
    // The address ranges of a purpose (ended by {1, 0}).
    static const cmcAdrRange* Range(int purpose);

    void PrepareImage(cmcEeprom& image, bool forSaving) override;
    bool LoadInitialData(int modelIndex) override;

    // Command line: every argument equal to the maker switch (lower-cased) asks to turn the
    // maker mode on.
    void CheckCommandLine(const QStringList& arguments);
    bool makerMode() const { return m_makerMode; }
    void ActivateMakerMode();

    // The hidden version display: fed with the characters typed in the About box.
    void KeyTyped(QChar c) override;
    static QString VersionText();

    // Help context number of a cell label name (0 when none).
    int HelpContext(const QString& labelName);
    // The help file ("GI_Sys_MyHelpFile" beside the program) in the help window; a cell's
    // topic in the pop-up window (the whole help when the label has none).
    void ShowHelpContents();
    void ShowCellHelp(int32_t label);
    cuiHtmlHelp& help();

    // Clone commands (the menu items call them).
    void cloneRead();
    void cloneWrite();
    void cloneInfo();
    void selectComPort(int port);
    void comPortDialog();
    void setHighSpeed(bool on);
    void portSearch();
    void tcpAddressDialog();
    void tcpPortDialog();
    // Check marks of the port menu items.
    bool isComPortChecked(int port) const;
    bool isUsbPortChecked() const;
    bool isSpeedHighChecked(bool value) const;
    bool isTcpChecked() const;
    // "--tcp HOST:PORT" on the command line presets the TCP link for this run (never
    // stored). Returns false, changing nothing, when the option is absent or malformed.
    bool ApplyLinkOption(const QStringList& arguments);

    // Every image read from a radio or written into one is also kept as a clone file in
    // this folder.
    static QString backupFolder();
    // A fatal stop with unsaved changes keeps them here first: the working image as a
    // clone file in the backups folder; its path, or empty when unmodified or not written.
    QString RecoverUnsaved();
    QString lastBackup() const { return m_lastBackup; }
    bool openBackupFolder();

    // The recovery journal (indMainJournal.cpp): the unsaved document kept in folder (the
    // backups folder when empty) a few seconds after the last change and before every clone
    // write, removed on a clean save; the program starts it once its window is up.
    void StartJournal(const QString& folder = QString());
    indRecoveryJournal* journal() const { return m_journal.get(); }
    // At start: offers each journal that no running editor owns, newest first (Restore,
    // Discard after a second question, Later). True when one was restored.
    bool OfferRecovery();
    // A clean exit: the journal goes (the user has saved or chosen not to).
    void EndJournal();
    // Brings the journal up to date now (after a save, before a clone write).
    void UpdateJournal(bool now);

    // Before a file the editor read or wrote is written again: when another program changed
    // it since (known: its stamp then), asks whether to save over it, save as another file
    // or cancel. Returns 0 (save over it or nothing changed), 1 (save as) or 2 (cancel).
    int ConfirmOverwrite(const QString& path, const cmcFileStamp& known);
    // The stamp of a repeater or CSV file as the editor last read or wrote it (invalid when
    // it did neither).
    cmcFileStamp exchangeStamp(const QString& path) const;
    void rememberExchange(const QString& path);
    // The file an export writes: the dialog's answer, asked again after "Save As..." when
    // the file was changed since the editor read or wrote it; empty when cancelled.
    QString exchangeTarget(const std::function<QString()>& dialog);

    indCloneMan& cloneMan() { return *m_cloneMan; }
    // The radio's identity as the last information exchange stored it.
    uint16_t radioCode1() const { return m_radioCode1; }
    uint16_t radioCode2() const { return m_radioCode2; }
    QByteArray radioInfo() const { return m_radioInfo; }
    QWidget* cloneInfoWindow() const { return m_cloneInfoWindow.data(); }

    // Model hooks of the clone commands: whether to take an image read (after its identity
    // check), the bookkeeping after a read or write, and the check of a search's
    // information block. This model takes everything.
    virtual bool AcceptReadImage(const cmcEeprom&) { return true; }
    virtual void AfterTransfer(int) {}
    virtual bool CheckInfoBlock(const QByteArray&) { return true; }

    // The warning check list: evaluates the check cells of "GI_WarningCheckList" and the
    // channel check of the bank, marks the tree nodes of the sheets concerned (their
    // tool tips say what was found) and returns the number of errors.
    int RefreshAfterChange() override;
    int warningCount() const { return m_warnings; }
    // The tree after a document change: drops the nodes of modes that are off and builds
    // the memory-channel branch again, keeping the selected sheet where it still exists.
    void AdjustTree();

    // The language selection window (one at a time), its cells (the languages of the
    // language list; the one in use marked, a pick selects) and the switch itself.
    void OpenLanguageWindow();
    bool LanguageCell(cmcCellRequest& request);
    void SelectLanguage(int language);
    QString CheckLanguage(int language);
    QWidget* languageWindow() const { return m_languageWindow.data(); }

    // The main menu's and tool bar's commands and item states (the cell dispatcher's
    // handler for the menu labels).
    bool MenuCommand(cmcCellRequest& request);
    // The clone information sheet's cells: the stored codes and information record, read-only.
    bool CloneInfoCell(cmcCellRequest& request);

    // The adjustment read (a service technician's): access password (once a run), caution,
    // a clone read, over TCP the wait while the radio restarts, then the command that puts
    // the radio into its adjustment state; the adjustment window follows with its values.
    void adjustRead();
    // Options > Service Password (the maker's): sets, changes or removes the password the
    // adjustment read asks for.
    void servicePasswordDialog();
    bool adjustAccepted() const { return m_adjustAccepted; }
    // The adjustment value read (the window opens it and its Refresh); false while busy.
    bool ReadAdjustValues();
    imcAdjustValues& adjustValues() { return m_adjustValues; }
    // The adjustment window (one at a time): opened, or brought to the front (event 48).
    void OpenAdjustWindow();
    QWidget* adjustWindow() const { return m_adjustWindow.data(); }
    // The adjustment window's cells: arguments, values, the radio's texts; read-only.
    bool AdjustCell(cmcCellRequest& request);

    // File > Export List... and Import List...: the list of the sheet on show as a CSV file
    // (indMainLists.cpp), or one the user picks where the sheet shows no list (shownList()
    // is nullptr then); Export asks the layout of a list that has more than one. True when a
    // file was written or imported.
    const cmcCsvTable* shownList() const;
    const cmcCsvTable* listToExchange(const QString& caption);
    const cmcCsvTable* layoutToExport(const cmcCsvTable& list);
    bool ExportList();
    bool ImportList();

    // File > Compare With (indMainCompare.cpp): the document against the file on disk, the
    // last image read from the transceiver or a clone file chosen; the changes in their
    // window (nothing to show: a message says so). False when nothing was compared.
    enum CompareSource { CompareDisk = 0, CompareLastRead = 1, CompareFile = 2 };
    bool CanCompareWith(int source) const;
    bool CompareWith(int source);
    // Opens the sheet of a change at its cell; false when the sheet has no such cell.
    bool ShowChange(const imcCellChange& change);
    QWidget* compareWindow() const;

    // Find, sort and tidy (indMainTidy.cpp). Ctrl+F opens the find bar, F3 and Shift+F3 go
    // to the next and previous match; Edit > Find..., Sort..., Find Duplicates... and
    // Compact, and a click on a list sheet's column heading (asked first), act on the list
    // on show (Sort on its selected rows, if any). Every change is one undo step.
    void AddFindActions();
    iuiFindBar* findBar();
    bool TidyCell(cmcCellRequest& request);
    bool SortList(const cmcCsvTable& list, int32_t first, int32_t last,
                  const std::vector<imcSortKey>& keys);
    bool SortByHeading(cuiSheet& sheet, int col);
    bool FindDuplicates(const cmcCsvTable& list);
    bool CompactList(const cmcCsvTable& list);
    bool ShowFound(const imcFindMatch& match);
    int ReplaceFound(const std::vector<imcFindMatch>& cells, const QString& text,
                     const QString& with);

    // The repeater settings window (one at a time) and its repeater-data files
    // (indMainRepeater.cpp). An import is checked whole before the working image changes
    // and is one undo step; Cancel in the window takes back what was loaded while it was
    // open. True when a file was read or written.
    void OpenRepeaterWindow();
    QWidget* repeaterWindow() const { return m_repeaterWindow.data(); }
    bool ImportRepeater();
    bool ExportRepeater();
    // The last repeater-data file read or written (empty when none).
    QString repeaterFile() const { return m_repeaterFile; }
    // The repeater table's cells.
    bool RepeaterCell(cmcCellRequest& request);
    // A list sheet's pop-up item that adds the cell as a column of the per-radio values.
    bool FleetCell(cmcCellRequest& request);

    // The maker's Debug menu (indMainBits.cpp): the bit-field window over the bits of the
    // memory dump's current byte (the first byte when no dump is open), and the display
    // characters drawn with the segment set, which the main window reads once.
    void OpenBitFieldWindow();
    QWidget* bitFieldWindow() const { return m_bitFieldWindow.data(); }
    void OpenSegmentWindow();
    QWidget* segmentWindow() const { return m_segmentWindow.data(); }
    const cuiSegmentSet& segmentSet();

    // File > Export PDF: the pages that printing the sheet on screen (all = false) or every
    // sheet of the tree gives, into a PDF file the user names; true when one was written.
    bool ExportPdf(bool all);
    bool ExportPdfOf(const QStringList& commands);
    // The sheet commands of the tree, in tree order.
    QStringList treeSheetCommands() const;

    // Clone > Write to Several Radios (indMainFleet.cpp): the data checks of a write once
    // for the batch, then the window that writes the radios side by side.
    void cloneWriteFleet();
    cuiFleetWrite* fleetWindow() const;
    // Clone > Fleet Sheet...: the per-radio values of the radios whose clone files the user
    // chooses, saved where the user says. makeFleetSheet does the work for the files given
    // (each radio named by its file's name, as a several-radios read names them): false
    // after telling why; *summary says what was found.
    void fleetSheetFromFiles();
    bool makeFleetSheet(const QStringList& files, const QString& out, QString* summary);
    // Clone > Fleet Sheet > Read from the Radios on the List: every radio ticked in the
    // several-radios list read side by side, with progress and Cancel (each image kept as
    // that radio's backup, named by its serial number), then the per-radio values made from
    // the images as from files and saved where the user said before the reads.
    void fleetSheetFromRadios();
    cuiFleetRead* fleetReadWindow() const;
    // The window that edits per-radio values (opened when not open), and the one open.
    iuiFleetSheetWin* openFleetSheetWindow();
    iuiFleetSheetWin* fleetSheetWindow() const;
    // The write confirmation with its check box for the verification (remembered); false
    // when cancelled.
    // target names where the data goes (the link, or how many radios and which).
    bool confirmWrite(bool* verify, const QString& target);
    // The success message, saying whether the read-back comparison ran (and so passed).
    static QString writeSucceededText(bool readBack);

    // Printing: the printer (created with the main window's first print), the sheet on
    // screen, and every sheet of the tree in tree order.
    cuiPrinter& printer();
    void PrintCurrent();
    void PrintAll();

  signals:
    // The hidden version display was triggered (tests watch it; the box is shown too).
    void versionShown();
    // A clone command ended: its operation (indCloneMan::Operation) and status; -1 when it
    // stopped before reaching the radio again (cancelled, or refused while busy).
    void cloneFinished(int operation, int status);
    // An adjustment value read ended with this status (-1: it could not start).
    void adjustValuesRead(int status);

  protected:
    void OnEvent(const cmcEvent* event) override;
    void ShellTick() override;

  private:
    void takeOpenedImage(const cmcEeprom& image, const QString& path);
    void rememberFile(const QString& path);
    // Tells the user why a clone-file read or write failed (code 1 to 9), with the problem
    // behind the reader's last error.
    void tellFileError(int code) const;
    QString appTitle() const;

    static bool menuCommand(void* context, cmcCellRequest& request);

    // Clone commands' steps.
    void syncLink();
    void linkDialog(int kind);
    QString saveBackup(const cmcEeprom& image, const QString& kind);
    static QString writeBackupFile(const cmcEeprom& image, const QString& kind);
    static void infoHandler(void* context, dst_CDrv_Result* result);
    static void readHandler(void* context, dst_CDrv_Result* result);
    static void searchHandler(void* context, dst_CDrv_Result* result);
    static void readContinuation(void* context, dst_CDrv_Result* result);
    static void readCompletion(void* context, dst_CDrv_Result* result);
    static void writeContinuation(void* context, dst_CDrv_Result* result);
    static void writeCompletion(void* context, dst_CDrv_Result* result);
    static void infoCompletion(void* context, dst_CDrv_Result* result);
    static void searchCompletion(void* context, dst_CDrv_Result* result);

    // Adjustment read steps.
    bool adjustAccess();
    void adjustAfterRead();
    void adjustCommand();
    static void adjustInfoContinuation(void* context, dst_CDrv_Result* result);
    static void adjustCommandCompletion(void* context, dst_CDrv_Result* result);
    static void adjustValuesCompletion(void* context, dst_CDrv_Result* result);

    bool m_makerMode = false;
    QString m_typed;
    int m_warnings = 0;
    int m_chosenList = 0;   // the list last picked for Export List / Import List
    int m_chosenLayout = 0; // the layout last picked for Export List

    std::unique_ptr<indCloneMan> m_cloneMan;
    std::unique_ptr<indSheetEnv> m_sheetEnv;
    bool m_cloneWriteConfirmed = false;
    cmcEeprom m_writeCopy;
    uint16_t m_radioCode1 = 0;
    uint16_t m_radioCode2 = 0;
    QByteArray m_radioInfo;
    QPointer<QWidget> m_cloneInfoWindow;
    bool m_adjustAccepted = false;
    imcAdjustValues m_adjustValues;
    QPointer<QWidget> m_adjustWindow;
    QPointer<QWidget> m_languageWindow;
    QPointer<iuiCompareWin> m_compareWindow;
    QPointer<iuiFindBar> m_findBar;
    cmcEeprom m_lastRead; // the last image read from the transceiver
    bool m_hasLastRead = false;
    QPointer<QWidget> m_bitFieldWindow;
    QPointer<QWidget> m_segmentWindow;
    std::shared_ptr<cuiSegmentSet> m_segments; // made where the type is complete
    QPointer<QWidget> m_repeaterWindow;
    QString m_repeaterFile;
    std::unique_ptr<cuiHtmlHelp> m_help;
    QPointer<cuiFleetWrite> m_fleetWindow;
    QPointer<cuiFleetRead> m_fleetReadWindow;
    QPointer<iuiFleetSheetWin> m_fleetSheetWindow;
    cmcEeprom m_fleetSheetDocument; // what the per-radio values are checked against
    std::unique_ptr<cuiPrinter> m_printer;
    QString m_lastBackup;
    std::unique_ptr<indRecoveryJournal> m_journal;
    QHash<QString, cmcFileStamp> m_exchangeStamps; // repeater and CSV files read or written
};
