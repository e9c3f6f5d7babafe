#include "cmcEvMan.h"

#include "cmcTask.h"

#include <algorithm>
#include <cstring>

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

// ---- typed event data ----------------------------------------------------------------

void cmcEvMan::send(const cmcEvPacked& event) {
    emitNow(event.code, EvImmediate, event.p1, event.p2, event.data);
}

void cmcEvMan::post(const cmcEvPacked& event) {
    enqueue(event.code, event.p1, event.p2, event.data);
}

namespace {

cmcEvPacked packed(uint32_t code, int32_t p1, int32_t p2, const QString& text) {
    QByteArray block = text.toUtf8();
    block.append('\0');
    return cmcEvPacked{code, p1, p2, block};
}

// Three values as a data block in the machine's own order (the bus never leaves the
// process).
QByteArray cellBlock(int32_t category, int32_t label, int32_t index) {
    const int32_t v[3] = {category, label, index};
    return QByteArray(reinterpret_cast<const char*>(v), int(sizeof v));
}

bool readCellBlock(const QByteArray& data, int32_t& category, int32_t& label, int32_t& index) {
    int32_t v[3];
    if (data.size() < qsizetype(sizeof v)) return false;
    std::memcpy(v, data.constData(), sizeof v);
    category = v[0];
    label = v[1];
    index = v[2];
    return true;
}

} // namespace

cmcEvStatusText::operator cmcEvPacked() const {
    return packed(EV_StatusText, int32_t(textRgb), int32_t(backRgb), text);
}

std::optional<cmcEvStatusText> cmcEvStatusText::read(const cmcEvent* event) {
    if (event->code != EV_StatusText) return std::nullopt;
    return cmcEvStatusText{event->text(), uint32_t(event->p1), uint32_t(event->p2)};
}

cmcEvMenuAct::operator cmcEvPacked() const {
    return cmcEvPacked{EV_MenuAct, 0, item, {}};
}

std::optional<cmcEvMenuAct> cmcEvMenuAct::read(const cmcEvent* event) {
    if (event->code != EV_MenuAct) return std::nullopt;
    return cmcEvMenuAct{event->p2};
}

cmcEvMenuPopup::operator cmcEvPacked() const {
    return packed(EV_MenuRebuildPopup, 0, item, key);
}

std::optional<cmcEvMenuPopup> cmcEvMenuPopup::read(const cmcEvent* event) {
    if (event->code != EV_MenuRebuildPopup) return std::nullopt;
    return cmcEvMenuPopup{event->p2, event->text()};
}

cmcEvRepaint::operator cmcEvPacked() const {
    if (category == 0) return cmcEvPacked{code, label, index, {}};
    return cmcEvPacked{code, 0, 0, cellBlock(category, label, index)};
}

std::optional<cmcEvRepaint> cmcEvRepaint::read(const cmcEvent* event) {
    switch (event->code) {
    case EV_RepaintAll:
    case EV_RepaintCategory:
    case EV_RepaintLabel:
    case EV_RepaintIndex:
    case EV_RepaintUpTo:
    case EV_RepaintFrom:
        break;
    default:
        return std::nullopt;
    }
    cmcEvRepaint r;
    r.code = event->code;
    if (!readCellBlock(event->data, r.category, r.label, r.index)) {
        r.label = event->p1;
        r.index = event->p2;
    }
    return r;
}

cmcEvCurrentCell::operator cmcEvPacked() const {
    return cmcEvPacked{EV_SheetData, 0, 0, cellBlock(category, label, index)};
}

std::optional<cmcEvCurrentCell> cmcEvCurrentCell::read(const cmcEvent* event) {
    cmcEvCurrentCell c;
    if (event->code != EV_SheetData || !readCellBlock(event->data, c.category, c.label, c.index))
        return std::nullopt;
    return c;
}

cmcEvDebugText::operator cmcEvPacked() const {
    return packed(EV_DebugText, 0, 0, text);
}

std::optional<cmcEvDebugText> cmcEvDebugText::read(const cmcEvent* event) {
    if (event->code != EV_DebugText) return std::nullopt;
    return cmcEvDebugText{event->text()};
}

cmcEvDebugAddress::operator cmcEvPacked() const {
    return cmcEvPacked{EV_DebugAddress, 0, address, {}};
}

std::optional<cmcEvDebugAddress> cmcEvDebugAddress::read(const cmcEvent* event) {
    if (event->code != EV_DebugAddress) return std::nullopt;
    return cmcEvDebugAddress{event->p2};
}

cmcEvListPosition::operator cmcEvPacked() const {
    return cmcEvPacked{EV_AskListPosition, bank, firstRow, {}};
}

std::optional<cmcEvListPosition> cmcEvListPosition::ask(cmcEvMan& ev) {
    const cmcEvAns* answer = ev.ask(EV_AskListPosition);
    if (!answer) return std::nullopt;
    return cmcEvListPosition{answer->a, answer->b};
}

cmcEvSite::operator cmcEvPacked() const {
    return cmcEvPacked{EV_AskSite, site, 0, {}};
}

std::optional<cmcEvSite> cmcEvSite::ask(cmcEvMan& ev) {
    const cmcEvAns* answer = ev.ask(EV_AskSite);
    if (!answer) return std::nullopt;
    return cmcEvSite{answer->a};
}

cmcEvRowsAdded::operator cmcEvPacked() const {
    return cmcEvPacked{EV_RowsAdded, rows, 0, {}};
}

std::optional<cmcEvRowsAdded> cmcEvRowsAdded::read(const cmcEvent* event) {
    if (event->code != EV_RowsAdded) return std::nullopt;
    return cmcEvRowsAdded{std::max(1, event->p1)};
}

cmcEvRowsRemoved::operator cmcEvPacked() const {
    return cmcEvPacked{EV_RowsRemoved, rows, 0, {}};
}

std::optional<cmcEvRowsRemoved> cmcEvRowsRemoved::read(const cmcEvent* event) {
    if (event->code != EV_RowsRemoved) return std::nullopt;
    return cmcEvRowsRemoved{std::max(1, event->p1)};
}

cmcEvBankCaption::operator cmcEvPacked() const {
    return packed(EV_Comment, bank, 0, caption);
}

std::optional<cmcEvBankCaption> cmcEvBankCaption::read(const cmcEvent* event) {
    if (event->code != EV_Comment) return std::nullopt;
    return cmcEvBankCaption{event->p1, event->text()};
}

cmcEvWindowByName::operator cmcEvPacked() const {
    return packed(EV_WindowByName, 0, 0, name);
}

std::optional<cmcEvWindowByName> cmcEvWindowByName::read(const cmcEvent* event) {
    if (event->code != EV_WindowByName) return std::nullopt;
    return cmcEvWindowByName{event->text()};
}
