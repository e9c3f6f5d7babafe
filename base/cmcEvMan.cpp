#include "cmcEvMan.h"

#include "cmcTask.h"

namespace {
cmcEvMan* g_instance = nullptr;
}

QString cmcEvent::text() const {
    const int end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

cmcEvMan::cmcEvMan() {
    g_instance = this;
    m_task = new cmcTask;
    m_task->setCallback(&cmcEvMan::dispatchCallback, this);
    m_task->setInterval(DispatchIntervalMs);
}

cmcEvMan::~cmcEvMan() {
    cmcTask::release(m_task);
    m_queue.clear(); // dropped without delivery
    m_listeners.clear();
    freeChain(m_root.child);
    m_root.child = nullptr;
    if (g_instance == this) g_instance = nullptr;
}

cmcEvMan* cmcEvMan::instance() {
    return g_instance;
}

void cmcEvMan::dispatchCallback(void* context, cmcTask*) {
    static_cast<cmcEvMan*>(context)->dispatchStep();
}

int cmcEvMan::listenerCount() const {
    int n = 0;
    for (const auto& l : m_listeners)
        if (!l.removed) ++n;
    return n;
}

void cmcEvMan::attach(Listener listener, void* context) {
    if (!listener) return;
    detach(listener, context);
    // At the head: a walk in progress has passed it and will not call it.
    m_listeners.push_front(ListenerNode{listener, context, false});
}

void cmcEvMan::detach(Listener listener, void* context) {
    if (!listener) return;
    for (auto& l : m_listeners)
        if (l.listener == listener && l.context == context) l.removed = true;
}

void cmcEvMan::deliver(const cmcEvent* event) {
    // std::list iterators stay valid while nodes are added at the head; removed nodes are
    // only marked here and unlinked at the end of a dispatch step.
    for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it) {
        if (!it->removed) it->listener(it->context, event);
    }
}

QByteArray cmcEvMan::textBlock(const QString& text) {
    QByteArray block = text.toUtf8();
    block.append('\0');
    return block;
}

void cmcEvMan::emitNow(uint32_t code, int32_t mode, int32_t p1, int32_t p2,
                       const QByteArray& data) {
    cmcEvent event;
    event.code = code;
    event.mode = mode;
    event.p1 = p1;
    event.p2 = p2;
    event.data = data;
    deliver(&event);
}

void cmcEvMan::enqueue(uint32_t code, int32_t p1, int32_t p2, const QByteArray& data) {
    auto event = std::make_unique<cmcEvent>();
    event->code = code;
    event->mode = EvQueued;
    event->p1 = p1;
    event->p2 = p2;
    event->data = data;
    m_queue.push_back(QueueNode{std::move(event), true, false});
}

void cmcEvMan::send(uint32_t code, int32_t p1, int32_t p2) {
    emitNow(code, EvImmediate, p1, p2, {});
}

void cmcEvMan::post(uint32_t code, int32_t p1, int32_t p2) {
    enqueue(code, p1, p2, {});
}

void cmcEvMan::sendText(uint32_t code, const QString& text) {
    emitNow(code, EvImmediate, 0, 0, textBlock(text));
}

void cmcEvMan::sendWithText(uint32_t code, int32_t p1, int32_t p2, const QString& text) {
    emitNow(code, EvImmediate, p1, p2, textBlock(text));
}

void cmcEvMan::postWithText(uint32_t code, int32_t p1, int32_t p2, const QString& text) {
    enqueue(code, p1, p2, textBlock(text));
}

void cmcEvMan::postData(uint32_t code, const void* data, int length) {
    QByteArray block;
    if (data && length > 0) block = QByteArray(static_cast<const char*>(data), length);
    enqueue(code, 0, 0, block);
}

void cmcEvMan::freeChain(cmcEvAns* first) {
    while (first) {
        cmcEvAns* next = first->next;
        freeChain(first->child);
        delete first;
        first = next;
    }
}

const cmcEvAns* cmcEvMan::ask(uint32_t code, int32_t p1, int32_t p2) {
    cmcEvAns* asker = m_current;
    freeChain(asker->child);
    auto* fresh = new cmcEvAns;
    fresh->parent = asker;
    asker->child = fresh;
    m_current = fresh;

    emitNow(code, EvQuestion, p1, p2, {});

    // Back to the asker; drop the empty record that no answer filled.
    cmcEvAns* last = m_current;
    cmcEvAns* first = last;
    while (first->previous)
        first = first->previous;
    m_current = first->parent;
    if (last->previous) {
        last->previous->next = nullptr;
    } else {
        m_current->child = nullptr;
    }
    freeChain(last->child);
    delete last;
    return m_current->child;
}

void cmcEvMan::answer(int32_t a, int32_t b) {
    if (m_current == &m_root) return; // no question is being asked
    cmcEvAns* record = m_current;
    record->a = a;
    record->b = b;
    auto* fresh = new cmcEvAns;
    fresh->previous = record;
    record->next = fresh;
    m_current = fresh;
}

void cmcEvMan::answerData(const void* data, int length) {
    if (m_current == &m_root) return;
    cmcEvAns* record = m_current;
    record->data =
        (data && length > 0) ? QByteArray(static_cast<const char*>(data), length) : QByteArray();
    answer(0, 0);
}

void cmcEvMan::dispatchStep() {
    for (auto& node : m_queue)
        node.isNew = false;

    bool delivered = false;
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if (it->done || it->isNew) continue;
        it->done = true; // marked first: a nested step must not deliver it again
        deliver(it->event.get());
        delivered = true;
    }

    m_queue.remove_if([](const QueueNode& n) { return n.done; });
    m_listeners.remove_if([](const ListenerNode& l) { return l.removed; });

    if (!delivered) sendText(EV_Idle, QString());
}
