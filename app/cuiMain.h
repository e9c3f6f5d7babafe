#pragma once
// The main window shell: the model-independent half of the application controller. It owns
// the main window's content (menu, tool bar, tree panel, sheet panel, status bar), the
// memory images and the shell task, opens the overlay files, keeps the caption current and
// runs the 250 ms change delay. The model's controller (indMain) derives from it and
// overrides the virtual operations below.

#include "cmcChangeTracker.h"
#include "cmcDocument.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcTick.h"
#include "cuiMainTree.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

// MinGW's <stdlib.h> (included above through Qt) makes environ a macro for the C run-time's
// environment table; here it names the settings store.
#ifdef environ
#undef environ
#endif

class QLabel;
class QMainWindow;
class QSplitter;
class QStatusBar;
class QWidget;
class cmcTask;
class cuiDispatchSource;

class cuiCell;
class cuiMenu;
class cuiSheetHost;
class cuiWindowPlaces;
class cuiToolBar;
class indEnviron;
class QTreeWidgetItem;
struct cmcCellRequest;

class cuiMain : public QObject {
    Q_OBJECT
  public:
    // Opens the overlay files found in dataDir (the executable's folder when empty) and
    // creates the images of imageSize bytes.
    cuiMain(const QString& modelShortName, int imageSize, indEnviron& environ,
            const QString& dataDir = QString());
    ~cuiMain() override;

    // Builds the window content into the main form (called once the form exists).
    void attach(QMainWindow* form, const QList<QPixmap>& treeImages,
                const QList<QPixmap>& toolBarImages);

    // The main form is going away: the sheet, the tree, the menu and the tool bar go first
    // and the shell task stops.
    void DetachForm();

    // Virtual operations the model's controller overrides.
    virtual void ResetModelParameters() {}
    virtual void BuildWindow();
    // (Re)builds the tree from "GI_Tree_Main"; selecting a node opens its sheet. The sheet
    // in view and its current cell stay in view (after a read, an open, a language switch)
    // where the new tree still has the sheet; otherwise the first node is taken.
    virtual void BuildTree();
    // A status line text shown once the tree and the sheet in view are built again (the
    // sheet opening would otherwise clear it): a read's summary.
    void SetStatusAfterRebuild(const QString& text) { m_statusAfterRebuild = text; }
    // (Re)builds the main menu from "GI_Menu_Main" and the tool bar from "GI_ToolBar_Main".
    void BuildMenus();
    // The end of the model's memory map: the start-up self check stops the program when the
    // image is smaller. No map (0) in the framework.
    virtual int32_t MemoryMapEnd() const { return 0; }
    // 0 when the image belongs to this model.
    virtual int CheckImageIdentity(const cmcEeprom& image, bool checkMakerText) const;
    // Prepares an image for saving (forSaving = true) or after it was opened.
    virtual void PrepareImage(cmcEeprom& image, bool forSaving);
    // The warning check list; returns the error count.
    virtual int RefreshAfterChange() { return 0; }
    // Reads the model's initial data into the loaded image; false when that failed.
    virtual bool LoadInitialData(int modelIndex) = 0;
    // A character typed in the About box.
    virtual void KeyTyped(QChar) {}

    // The caption: "<document file name> - <application title>".
    void UpdateCaption();
    virtual QString documentTitle() const { return QStringLiteral("Untitled"); }
    // (Re)starts the change delay: one refresh and one event 23, 250 ms after the last of
    // a burst of changes.
    void StartChangeDelay();
    // Whether the working image differs from the saved snapshot.
    bool IsModified() { return m_tracker.isModified(); }
    void MarkSaved() { m_tracker.markSaved(); }
    void MarkModified() { m_tracker.markModified(); }

    // The debug compare listing ("%04X : %02X -> %02X" per differing byte, or "Not match
    // size !"); afterwards the comparison image takes a copy of the working image.
    QStringList DebugCompareLines();
    // The About box (modal).
    void ShowAbout();
    // The working image was changed by a window rather than by a cell (bytes put back):
    // one undo step, the change delay, the caption's mark and a repaint of every view.
    void WorkingImageChanged();
    // The debug windows while they are open (one of each at a time).
    QWidget* memoryDumpWindow() const { return m_eeDebugWin.data(); }
    QWidget* freeDebugWindow() const { return m_freeDebugWin.data(); }

    cmcEeprom& workingImage() { return m_working; }
    cmcEeprom& secondImage() { return m_second; }
    cmcEeprom& loadedImage() { return m_loaded; }
    cmcEeprom& savedSnapshot() { return m_snapshot; }
    cmcEeprom& debugImage() { return m_debug; }
    int imageSize() const { return m_imageSize; }
    QString modelShortName() const { return m_modelShortName; }
    QString dataDir() const { return m_dataDir; }
    QString currentDirectory() const { return m_currentDir; }
    void setCurrentDirectory(const QString& dir) { m_currentDir = dir; }
    indEnviron& environ() { return m_env; }
    QMainWindow* mainForm() const { return m_form; }
    QString statusText() const { return m_statusText; }
    QWidget* rightPanel() const { return m_rightPanel; }
    QWidget* leftPanel() const { return m_leftPanel; }
    cuiMenu* menu() const { return m_menu.get(); }
    cuiToolBar* toolBar() const { return m_toolBar.get(); }
    cuiMainTree* tree() const { return m_tree; }
    cuiSheetHost* sheetHost() const { return m_host.get(); }

    // Selects the tree node of a sheet command and shows its sheet at once, painted
    // (start-up measurement and tests); false when no node has that command.
    bool ShowSheetNow(const QString& command);

    // Undo and redo of changes to the working image, named after what changed.
    bool CanUndo() const { return m_doc.canUndo(); }
    bool CanRedo() const { return m_doc.canRedo(); }
    void Undo();
    void Redo();
    // Forgets every step (New, Open, a clone read: the image is another document).
    void ClearUndo();
    cmcDocument& document() { return m_doc; }

    // The shell task's period and the change delay.
    static constexpr int ShellTaskMs = 50;
    static constexpr int ChangeDelayMs = 250;
    static constexpr int MinSplitter = 8;
    // The Edit menu's items while no cell offers its own: the fullest pop-up menu.
    static constexpr const char* IdleEditMenu = "GI_PMenu_List_Body";

    // The process's controller (the most recently constructed shell).
    static cuiMain* instance();

  protected:
    // The shell task's work (also called by tests).
    virtual void ShellTick();
    virtual void OnEvent(const cmcEvent* event);
    void SetStatus(const QString& text, const QColor& textColour, const QColor& background);
    // The working image was changed: a new undo step, the change delay, the caption.
    // Records the change as an undo step of that name (see cmcDocument::recordChange).
    void ImageChanged(const QString& name = QString(), const QString& mergeKey = QString());
    // Repaints every sheet cell after the image changed as a whole.
    void RefreshViews();
    // Window placement stored into the settings when the window closes.
    void StorePlacement();

    QString m_modelShortName;
    int m_imageSize;
    indEnviron& m_env;
    QString m_dataDir;
    QString m_currentDir;

    // The document; the shell's names for its images.
    cmcDocument m_doc;
    cmcEeprom& m_working;
    cmcEeprom& m_second;
    cmcEeprom& m_snapshot;
    cmcEeprom& m_loaded;
    cmcEeprom m_debug;
    cmcChangeTracker& m_tracker;

    QPointer<QMainWindow> m_form;
    QList<QPixmap> m_treeImages;
    QList<QPixmap> m_toolBarImages;
    QWidget* m_leftPanel = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_rightPanel = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_makerPanel = nullptr;
    QString m_statusText;

    std::unique_ptr<cuiDispatchSource> m_source;
    std::vector<QPixmap> m_treeImageVec;
    std::vector<QPixmap> m_toolImageVec;
    std::unique_ptr<cuiMenu> m_menu;
    std::unique_ptr<cuiToolBar> m_toolBar;
    QPointer<cuiMainTree> m_tree;
    std::unique_ptr<cuiSheetHost> m_host;
    std::unique_ptr<cuiWindowPlaces> m_windowPlaces;

    cmcTask* m_shellTask = nullptr;
    QPointer<QWidget> m_eeDebugWin;
    QPointer<QWidget> m_freeDebugWin;
    std::unique_ptr<cmcTick> m_changeDelay;

  private:
    static void shellTaskCallback(void* context, cmcTask*);
    static void eventCallback(void* context, const cmcEvent* event);
    static void titleRefresh(void* context);
    void addUndoActions();
    static void cellChanged(void* context, const cmcCellRequest& request);
    void nodeChanged(QTreeWidgetItem* node);
    // The sheet in view and its current cell, kept over a rebuild of the tree.
    struct SheetPlace {
        QString command;
        int col = -1;
        int row = -1;
    };
    SheetPlace m_place;
    QString m_statusAfterRebuild;
    void rememberPlace();
    // Selects the remembered sheet's node (or the first); the sheet opens on its own.
    void selectPlaceNode();
    // The sheet just opened for command: its remembered cell back, then the waiting status.
    void restorePlace(const QString& command);
    // A main menu item was chosen: the Edit menu's pop-up items go to the current cell.
    void MenuItemClicked(const cuiCell& item);
    void openMemoryDump();
    void openFreeDebugWindow();
};
