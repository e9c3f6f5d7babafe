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

class cmcTask;

enum cmcEvMode : int32_t { EvQueued = 0, EvImmediate = 1, EvQuestion = 2 };

// Event codes shared by the whole program.
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
    EV_Question35 = 35,
    EV_ListChanged = 36,
    EV_Question37 = 37,
    EV_RepeaterCount38 = 38,
    EV_RepeaterCount39 = 39,
    EV_BankCaptions = 40,
    EV_Comment = 41,
    EV_AdjustWindow = 46,
    EV_Code47 = 47,
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

    // Asks a question; returns the first answer (next leads to the others in the order
    // given) or nullptr. Answers stay valid until the next question asked at this level.
    const cmcEvAns* ask(uint32_t code, int32_t p1 = 0, int32_t p2 = 0);
    // Called by listeners while a question is delivered.
    void answer(int32_t a, int32_t b);
    void answerData(const void* data, int length);

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
