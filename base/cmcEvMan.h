#pragma once
// The program-wide event bus. Parts of the program talk through it instead of calling each
// other: posted events are delivered in order on the next 10 ms dispatch step, sent events
// at once, and questions collect the listeners' answers in an answer tree (cmcEvAns).
//
// Listeners may attach and detach while an event is being delivered: detaching only marks a
// registration, and new registrations go to the head of the list, which the walk in
// progress has already passed. Marked registrations and delivered events are freed at the
// end of the next dispatch step. When a step delivers nothing, the idle event 50 with an
// empty text goes to every listener.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>

class cmcTask;

enum cmcEvMode : int32_t { EvQueued = 0, EvImmediate = 1, EvQuestion = 2 };

// Event codes shared by the whole program. The codes that carry data have a struct below
// (cmcEv...) that puts the data on the bus and reads it back; the rest carry nothing.
enum cmcEvCode : uint32_t {
    EV_SheetWindow = 1,
    EV_WindowBuilt = 2,
    EV_About = 3,
    EV_StatusText = 4,
    EV_DebugWindow = 5,
    EV_MemoryDump = 6,
    EV_DebugCompare = 7,
    EV_CopyImage = 8,
    EV_MenuRefresh = 9,
    EV_MenuAct = 10,
    EV_MenuRebuildPopup = 11,
    EV_SheetBuildQuestion = 12,
    EV_RepaintAll = 13,
    EV_RepaintCategory = 14,
    EV_RepaintLabel = 15,
    EV_RepaintIndex = 16,
    EV_RepaintUpTo = 17,
    EV_RepaintFrom = 18,
    EV_SheetData = 19,
    EV_Controller = 20,
    EV_BeforePrint = 21,
    EV_DebugText = 22,
    EV_ChangeSettled = 23,
    EV_DebugAddress = 24,
    EV_TreeRebuild = 25,
    EV_TreeAdjust = 26,
    EV_ChannelInsert = 27,
    EV_ChannelDelete = 28,
    // Question to the list sheet on show: its bank and first row (cmcEvListPosition).
    EV_AskListPosition = 35,
    EV_ListChanged = 36,
    // Question to the site sheet on show: its site number (cmcEvSite).
    EV_AskSite = 37,
    // Rows were added at / removed from the end of the list on show (cmcEvRowsAdded,
    // cmcEvRowsRemoved).
    EV_RowsAdded = 38,
    EV_RowsRemoved = 39,
    EV_BankCaptions = 40,
    EV_Comment = 41,
    EV_AdjustWindow = 46,
    // The adjustment values were read from the radio; the adjustment window refreshes.
    EV_AdjustValuesRead = 47,
    EV_WindowByName = 48,
    EV_Idle = 50,
};

// One event as listeners see it; owned by the manager and valid during the call only.
struct cmcEvent {
    uint32_t code = 0;
    int32_t mode = EvQueued;
    int32_t p1 = 0;
    int32_t p2 = 0;
    QByteArray data; // private copy of the caller's block; texts include their zero
    // A block that a listener may attach to the record; released with it.
    QByteArray listenerBlock;

    bool hasData() const { return !data.isEmpty(); }
    int length() const { return int(data.size()); }
    // The data as a text (up to its terminating zero).
    QString text() const;
};

// One answer to a question. Answers given to one question form a chain through next; the
// first of a chain knows its parent, and a record's child chain holds the answers to the
// last question asked from it.
struct cmcEvAns {
    int32_t a = 0;
    int32_t b = 0;
    QByteArray data;
    cmcEvAns* next = nullptr;
    cmcEvAns* previous = nullptr;
    cmcEvAns* parent = nullptr;
    cmcEvAns* child = nullptr;
};

// An event's code and arguments as the bus carries them; what the typed structs below
// turn into and are read from.
struct cmcEvPacked {
    uint32_t code = 0;
    int32_t p1 = 0;
    int32_t p2 = 0;
    QByteArray data;
};

class cmcEvMan {
  public:
    using Listener = void (*)(void* context, const cmcEvent* event);

    // Starts the 10 ms dispatch task at once. The most recently constructed manager is the
    // program's one (instance()).
    cmcEvMan();
    ~cmcEvMan();
    cmcEvMan(const cmcEvMan&) = delete;
    cmcEvMan& operator=(const cmcEvMan&) = delete;

    static cmcEvMan* instance();

    void attach(Listener listener, void* context);
    void detach(Listener listener, void* context);

    void send(uint32_t code, int32_t p1 = 0, int32_t p2 = 0);
    void post(uint32_t code, int32_t p1 = 0, int32_t p2 = 0);
    void sendText(uint32_t code, const QString& text);
    void sendWithText(uint32_t code, int32_t p1, int32_t p2, const QString& text);
    void postWithText(uint32_t code, int32_t p1, int32_t p2, const QString& text);
    void postData(uint32_t code, const void* data, int length);
    // Typed event data (the cmcEv... structs below convert to cmcEvPacked).
    void send(const cmcEvPacked& event);
    void post(const cmcEvPacked& event);

    // Asks a question; returns the first answer (next leads to the others in the order
    // given) or nullptr. Answers stay valid until the next question asked at this level.
    const cmcEvAns* ask(uint32_t code, int32_t p1 = 0, int32_t p2 = 0);
    // Called by listeners while a question is delivered.
    void answer(int32_t a, int32_t b);
    void answerData(const void* data, int length);
    // A typed answer: its p1 and p2 become the answer's a and b.
    void answer(const cmcEvPacked& answer) { this->answer(answer.p1, answer.p2); }

    // One dispatch step (the dispatch task's callback; tests call it directly).
    void dispatchStep();

    // Number of events waiting in the queue (delivered or not yet freed).
    int queuedCount() const { return int(m_queue.size()); }
    int listenerCount() const; // live registrations

    static constexpr int DispatchIntervalMs = 10;

  private:
    struct QueueNode {
        std::unique_ptr<cmcEvent> event;
        bool isNew = true;
        bool done = false;
    };
    struct ListenerNode {
        Listener listener;
        void* context;
        bool removed = false;
    };

    static void dispatchCallback(void* context, cmcTask* task);
    void deliver(const cmcEvent* event);
    void emitNow(uint32_t code, int32_t mode, int32_t p1, int32_t p2, const QByteArray& data);
    void enqueue(uint32_t code, int32_t p1, int32_t p2, const QByteArray& data);
    static QByteArray textBlock(const QString& text);
    static void freeChain(cmcEvAns* first);

    std::list<QueueNode> m_queue;
    std::list<ListenerNode> m_listeners;
    cmcEvAns m_root;
    cmcEvAns* m_current = &m_root;
    cmcTask* m_task = nullptr;
};

// ---- Typed event data --------------------------------------------------------------
//
// One struct per event that carries data. Each converts to cmcEvPacked, so that
// `ev->post(cmcEvStatusText{text, fg, bg})` puts it on the bus, and has a static read()
// that gives it back from a delivered event, or nothing when the event has another code:
//
//     if (const auto status = cmcEvStatusText::read(event)) show(status->text);
//
// Questions have ask() (the first answer, read back) instead of read(), and the listener
// answers with `ev->answer(cmcEvListPosition{bank, first})` when read() matched.

// Event 4: the status line's text and colours (RGB values).
struct cmcEvStatusText {
    QString text;
    uint32_t textRgb = 0;
    uint32_t backRgb = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvStatusText&) const = default;
    static std::optional<cmcEvStatusText> read(const cmcEvent* event);
};

// Event 10: a menu drops the children of its item with this command id.
struct cmcEvMenuAct {
    int32_t item = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvMenuAct&) const = default;
    static std::optional<cmcEvMenuAct> read(const cmcEvent* event);
};

// Event 11: a menu fills its item with this command id from the pop-up menu named key.
struct cmcEvMenuPopup {
    int32_t item = 0;
    QString key;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvMenuPopup&) const = default;
    static std::optional<cmcEvMenuPopup> read(const cmcEvent* event);
};

// Events 13 to 18: repaint the cells that match a reference cell. The code says how they
// match (EV_RepaintAll ... EV_RepaintFrom); a reference without a category is carried in
// p1 (label) and p2 (index), one with a category as a data block.
struct cmcEvRepaint {
    uint32_t code = EV_RepaintAll;
    int32_t category = 0;
    int32_t label = 0;
    int32_t index = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvRepaint&) const = default;
    static std::optional<cmcEvRepaint> read(const cmcEvent* event);
};

// Event 19: the cell that became current on a sheet.
struct cmcEvCurrentCell {
    int32_t category = 0;
    int32_t label = 0;
    int32_t index = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvCurrentCell&) const = default;
    static std::optional<cmcEvCurrentCell> read(const cmcEvent* event);
};

// Event 22: a line for the free debug window.
struct cmcEvDebugText {
    QString text;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvDebugText&) const = default;
    static std::optional<cmcEvDebugText> read(const cmcEvent* event);
};

// Event 24: the memory debug window makes the cell of this image address current.
struct cmcEvDebugAddress {
    int32_t address = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvDebugAddress&) const = default;
    static std::optional<cmcEvDebugAddress> read(const cmcEvent* event);
};

// Event 35 (a question): the list sheet on show answers with its bank and first row.
struct cmcEvListPosition {
    int32_t bank = 0;
    int32_t firstRow = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvListPosition&) const = default;
    // True when event is this question (the listener then answers).
    static bool asked(const cmcEvent* event) { return event->code == EV_AskListPosition; }
    static std::optional<cmcEvListPosition> ask(cmcEvMan& ev);
};

// Event 37 (a question): the site sheet on show answers with its site number.
struct cmcEvSite {
    int32_t site = 0;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvSite&) const = default;
    static bool asked(const cmcEvent* event) { return event->code == EV_AskSite; }
    static std::optional<cmcEvSite> ask(cmcEvMan& ev);
};

// Event 38: rows were added at the end of the list on show (at least one).
struct cmcEvRowsAdded {
    int32_t rows = 1;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvRowsAdded&) const = default;
    static std::optional<cmcEvRowsAdded> read(const cmcEvent* event);
};

// Event 39: rows were removed from the end of the list on show (at least one).
struct cmcEvRowsRemoved {
    int32_t rows = 1;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvRowsRemoved&) const = default;
    static std::optional<cmcEvRowsRemoved> read(const cmcEvent* event);
};

// Event 41: a bank's caption (the comment text for bank 0) for the tree.
struct cmcEvBankCaption {
    int32_t bank = 0;
    QString caption;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvBankCaption&) const = default;
    static std::optional<cmcEvBankCaption> read(const cmcEvent* event);
};

// Event 48: the window showing the sheet with this key comes to the front.
struct cmcEvWindowByName {
    QString name;
    operator cmcEvPacked() const;
    bool operator==(const cmcEvWindowByName&) const = default;
    static std::optional<cmcEvWindowByName> read(const cmcEvent* event);
};
