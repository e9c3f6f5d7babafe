#pragma once
// The clone manager: runs one clone operation at a time (information exchange, read,
// write, port search) on the clone driver, with the main window disabled and, for the
// transfers and the search, a progress window repainted by a 30 ms task. Every result
// goes through the application's handler for its kind, then becomes the clone error
// message (nothing for success), and finally reaches the caller's completion.

#include "cmcCloneDrv.h"
#include "cmcIcfFile.h"
#include "dst_CDrv_Result.h"
#include "imcCloneDrv.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <cstdint>

class QWidget;
class cmcTask;
class cuiCloneProgress;

class indCloneMan {
  public:
    // The caller's completion; the result lives only for the call.
    using Completion = cmcCloneDrv::Callback;
    // The application's check of a result: it may change the result's status.
    using Handler = void (*)(void* context, dst_CDrv_Result* result);
    // Fills ports (capacity entries) with the numbers of the ports that open; returns the count.
    using PortLister = int (*)(void* context, int* ports, int capacity);

    enum Operation : int32_t {
        OpNone = 0,
        OpInfo = 1,
        OpRead = 2,
        OpWrite = 3,
        OpSearch = 4,
        OpAdjust = 5
    };

    // The link chosen by the user.
    struct LinkSettings {
        int comPort = 1;
        bool highSpeed = true;
        bool tcpLink = false;
        QString tcpAddress;
        int tcpPort = 0;
    };

    static constexpr int TaskMs = 30;
    static constexpr int MaxPorts = 256;
    static constexpr const char* HighSpeed = "38400,N,8,1";
    static constexpr const char* LowSpeed = "9600,N,8,1";
    static constexpr int ReadStepTimeout = 1000;
    static constexpr int WriteStepTimeout = 5000;
    static constexpr int WriteAckTimeout = 5000;

    indCloneMan();
    ~indCloneMan();
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    // The window disabled while an operation runs and on which the progress is centred.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    void setLink(const LinkSettings& link) { m_link = link; }
    const LinkSettings& link() const { return m_link; }
    // Codes of every identify frame (both drivers).
    void SetCodes(uint32_t code1, uint32_t code2);
    void SetImageSize(int32_t size);

    void setInfoHandler(Handler handler, void* context) { m_infoHandler = {handler, context}; }
    void setReadHandler(Handler handler, void* context) { m_readHandler = {handler, context}; }
    void setSearchHandler(Handler handler, void* context) { m_searchHandler = {handler, context}; }

    // Operations; each returns false and does nothing while busy (a driver runs, or a
    // search is between two ports).
    bool IsBusy() const {
        return m_driver.IsBusy() || m_adjust.IsBusy() || m_operation == OpSearch;
    }
    bool Info(Completion completion, void* context);
    // The same with the progress window (captioned caption) and its Cancel, for an
    // information exchange the user waits for (a read's first step, the radio's
    // information).
    bool InfoWithProgress(Completion completion, void* context, const QString& caption);
    // ranges (ended by {1, 0}) must live until the completion.
    bool Read(const cmcAdrRange* ranges, Completion completion, void* context);
    bool Write(const cmcEeprom& image, const cmcAdrRange* ranges, Completion completion,
               void* context);
    // Writes read the memory back after a successful write and compare the written ranges
    // with what was sent: a difference fails the write (status 20, the first differing
    // addresses in the result); the result's image is then the memory read back.
    void setVerifyWrite(bool on) { m_verifyWrite = on; }
    bool verifyWrite() const { return m_verifyWrite; }

    // Port search: the list of openable ports, then one identify per port.
    void setPortLister(PortLister lister, void* context) { m_lister = {lister, context}; }
    // Lists the ports (by the lister, or cmcComm::EnumeratePorts); returns the count, or
    // -1 (the list unchanged) while busy.
    int EnumeratePorts();
    void SetPortList(const QList<int>& ports); // ignored while busy
    int portCount() const { return m_portCount; }
    int port(int i) const { return i >= 0 && i < m_portCount ? m_ports[i] : 0; }
    int searchIndex() const { return m_searchIndex; }
    // The port being (or last) asked by a search.
    int searchPort() const { return port(m_searchIndex); }
    bool StartSearch(Completion completion, void* context);

    // Adjustment read. The adjustment driver's single command (set with SetCommand) and its
    // command table (SetCommandTable), run over the adjustment link: on the serial port a
    // speed-change script at 9,600 baud, then 38,400; no echo check. No progress window.
    bool StartAdjust(Completion completion, void* context);
    bool StartAdjustTable(Completion completion, void* context);
    // The application's adjustment mode: none, an adjustment read started (set before its
    // clone read), its clone read done. Every result with an error sets it back to none.
    enum AdjustMode : int { AdjustNone = 0, AdjustReading = 14, AdjustCommanding = 15 };
    int adjustMode() const { return m_adjustMode; }
    void setAdjustMode(int mode) { m_adjustMode = mode; }
    // A single command ticks every 4 ms, every 250 ms once the clone read is done.
    static constexpr int AdjustCommandMs = 4;
    static constexpr int AdjustCommandSlowMs = 250;

    // Cancel: a read, an information exchange, a port search, and a write until its data
    // frames go out. The operation ends with status 21 (no message) through the usual
    // completion; the image and the document stay as they were. False when nothing can be
    // cancelled now.
    bool Cancel();
    bool CanCancel() const;

    // The link as the user knows it: "COM2 (/dev/ttyUSB0)" or the adapter's
    // "192.168.1.20:50000".
    QString linkName() const;
    // What the last operation did, for the status line ("Read 65,520 bytes from COM2
    // (/dev/ttyUSB0) in 49.6 s"); empty when it failed or did nothing to tell.
    QString lastSummary() const { return m_summary; }

    // Progress.
    int32_t operation() const { return m_operation; }
    int32_t total() const { return m_total; }
    int32_t done() const;
    cuiCloneProgress* progressWindow() const;

    // The message for a status (empty for 0): the headline and check items, and for a
    // serial link that did not open, why the device did not open.
    QString ErrorText(int status) const;
    // The same for a whole result: a refused or partly done write says so.
    QString ErrorText(const dst_CDrv_Result& result) const;

    cmcCloneDrv& driver() { return m_driver; }
    imcCloneDrv& adjustDriver() { return m_adjust; }

  private:
    struct Hook {
        Handler handler = nullptr;
        void* context = nullptr;
    };

    void setUpLink(bool serialSettings);
    void setUpAdjustLink();
    void begin(int32_t operation, Completion completion, void* context,
               const QString& progressCaption);
    void startTask();
    void tick();
    void searchStep();
    void complete(dst_CDrv_Result* result);
    void endOperation();
    static void driverCallback(void* context, dst_CDrv_Result* result);
    static void taskCallback(void* context, cmcTask* task);
    void setMainEnabled(bool enabled);
    // The progress window's lines for the moment: percentage, bytes and time left, the
    // link, whether Cancel is still offered.
    void updateProgressText();
    QString summaryOf(const dst_CDrv_Result& result) const;
    static QString progressText(int line);

    QPointer<QWidget> m_mainWindow;
    QPointer<cuiCloneProgress> m_progress;
    Hook m_infoHandler;
    Hook m_readHandler;
    Hook m_searchHandler;
    Completion m_completion = nullptr;
    void* m_completionContext = nullptr;
    cmcCloneDrv m_driver;
    imcCloneDrv m_adjust;
    int32_t m_total = 0;
    int32_t m_operation = OpNone;
    int m_ports[MaxPorts] = {};
    int m_portCount = 0;
    int m_searchIndex = 0;
    cmcTask* m_task = nullptr;
    LinkSettings m_link;
    struct {
        PortLister lister = nullptr;
        void* context = nullptr;
    } m_lister;
    int m_adjustMode = 0;
    // Verification after a write: the image sent and its ranges, the read-back running,
    // and the bytes of the write already done.
    bool m_verifyWrite = false;
    bool m_verifying = false;
    cmcEeprom m_sent;
    const cmcAdrRange* m_writeRanges = nullptr;
    int32_t m_doneBefore = 0;
    // Since the operation began: for the time left and the summary.
    QElapsedTimer m_clock;
    int32_t m_writeBytes = 0;
    QString m_summary;
    // Starts the read-back of a write that succeeded; false when it could not start.
    bool startVerify();
    void finishVerify(dst_CDrv_Result* result);
};
