// The event bus: queued, immediate and question delivery, and listeners that change the
// listener list while an event is delivered.

#include "cmcEvMan.h"

#include <QTest>
#include <vector>

namespace {

struct Recorder {
    std::vector<uint32_t> codes;
    std::vector<QString> texts;
    cmcEvMan* man = nullptr;
    // Behaviours triggered by a code.
    uint32_t postOn = 0, postCode = 0;
    uint32_t detachOn = 0;
    uint32_t ignoreIdle = true;
};

void record(void* ctx, const cmcEvent* ev) {
    auto* r = static_cast<Recorder*>(ctx);
    if (ev->code == EV_Idle && r->ignoreIdle) return;
    r->codes.push_back(ev->code);
    r->texts.push_back(ev->text());
    if (r->postOn && ev->code == r->postOn) r->man->post(r->postCode);
    if (r->detachOn && ev->code == r->detachOn) r->man->detach(&record, r);
}

void answerTwice(void*, const cmcEvent* ev) {
    if (ev->code != 100) return;
    cmcEvMan::instance()->answer(1, 10);
    cmcEvMan::instance()->answer(2, 20);
}

void answerOnce(void*, const cmcEvent* ev) {
    if (ev->code == 100) cmcEvMan::instance()->answer(3, 30);
}

// Answers question 100 after asking question 101 itself.
void nestedAsker(void* ctx, const cmcEvent* ev) {
    auto* inner = static_cast<std::vector<int>*>(ctx);
    auto* man = cmcEvMan::instance();
    if (ev->code == 101) {
        man->answer(7, 70);
    } else if (ev->code == 100) {
        const cmcEvAns* a = man->ask(101);
        for (; a; a = a->next)
            inner->push_back(a->a);
        man->answer(5, 50);
    }
}

void dataAnswer(void*, const cmcEvent* ev) {
    if (ev->code == 100) cmcEvMan::instance()->answerData("xyz", 4);
}

// Keeps a copy of every event but the idle one.
struct Capture {
    std::vector<cmcEvent> events;
    static void listener(void* ctx, const cmcEvent* ev) {
        if (ev->code != EV_Idle) static_cast<Capture*>(ctx)->events.push_back(*ev);
    }
};

// Puts value on the bus, sent and posted, and reads each delivery back with T::read.
template <class T> void expectRoundTrip(const T& value) {
    cmcEvMan man;
    Capture c;
    man.attach(&Capture::listener, &c);
    man.send(value);
    man.post(value);
    man.dispatchStep();
    QCOMPARE(c.events.size(), size_t(2));
    for (const cmcEvent& e : c.events) {
        const std::optional<T> back = T::read(&e);
        QVERIFY(back);
        QVERIFY(*back == value);
    }
}

void answerPosition(void*, const cmcEvent* ev) {
    if (cmcEvListPosition::asked(ev)) cmcEvMan::instance()->answer(cmcEvListPosition{2, 40});
}

void answerSite(void*, const cmcEvent* ev) {
    if (cmcEvSite::asked(ev)) cmcEvMan::instance()->answer(cmcEvSite{7});
}

} // namespace

class tst_evman : public QObject {
    Q_OBJECT
  private slots:
    void typedDataComesBackAsPut();
    void typedReadersMatchTheirCodeOnly();
    void plainEventsReadAsTypedData();
    void typedQuestions();
    void postedEventsArriveInOrderOnNextStep() {
        cmcEvMan man;
        Recorder r;
        r.man = &man;
        man.attach(&record, &r);
        man.post(13);
        man.postWithText(11, 0, 27, QStringLiteral("GI_PMenu_Edit"));
        QVERIFY(r.codes.empty());
        man.dispatchStep(); // the events were "new" at the start of no step yet
        QCOMPARE(r.codes, (std::vector<uint32_t>{13, 11}));
        QCOMPARE(r.texts[1], QStringLiteral("GI_PMenu_Edit"));
        QCOMPARE(man.queuedCount(), 0);
    }

    void postFromListenerWaitsForNextStep() {
        cmcEvMan man;
        Recorder r;
        r.man = &man;
        r.postOn = 13;
        r.postCode = 14;
        man.attach(&record, &r);
        man.post(13);
        man.dispatchStep();
        QCOMPARE(r.codes, (std::vector<uint32_t>{13}));
        QCOMPARE(man.queuedCount(), 1);
        man.dispatchStep();
        QCOMPARE(r.codes, (std::vector<uint32_t>{13, 14}));
    }

    void idleEventOnlyWhenNothingDelivered() {
        cmcEvMan man;
        Recorder r;
        r.man = &man;
        r.ignoreIdle = false;
        man.attach(&record, &r);
        man.dispatchStep();
        QCOMPARE(r.codes, (std::vector<uint32_t>{EV_Idle}));
        QCOMPARE(r.texts[0], QString());
        man.post(13);
        man.dispatchStep();
        QCOMPARE(r.codes, (std::vector<uint32_t>{EV_Idle, 13}));
    }

    void selfDetachDuringDelivery() {
        cmcEvMan man;
        Recorder r;
        r.man = &man;
        r.detachOn = 13;
        man.attach(&record, &r);
        man.post(13);
        man.post(14);
        man.dispatchStep();
        QCOMPARE(r.codes, (std::vector<uint32_t>{13}));
        QCOMPARE(man.listenerCount(), 0);
        man.send(15);
        QCOMPARE(r.codes.size(), size_t(1));
    }

    void attachDuringDeliveryIsNotCalledInThatWalk() {
        cmcEvMan man;
        static Recorder late;
        late = Recorder{};
        late.man = &man;
        struct Attacher {
            static void cb(void* ctx, const cmcEvent* ev) {
                if (ev->code == 13) static_cast<cmcEvMan*>(ctx)->attach(&record, &late);
            }
        };
        man.attach(&Attacher::cb, &man);
        man.send(13);
        QVERIFY(late.codes.empty());
        man.send(14);
        QCOMPARE(late.codes, (std::vector<uint32_t>{14}));
    }

    void duplicateAttachLeavesOneRegistration() {
        cmcEvMan man;
        Recorder r;
        r.man = &man;
        man.attach(&record, &r);
        man.attach(&record, &r);
        QCOMPARE(man.listenerCount(), 1);
        man.send(13);
        QCOMPARE(r.codes.size(), size_t(1));
        man.attach(nullptr, &r); // ignored
        QCOMPARE(man.listenerCount(), 1);
    }

    void mostRecentListenerFirst() {
        cmcEvMan man;
        static std::vector<int> order;
        order.clear();
        struct L {
            static void a(void*, const cmcEvent*) { order.push_back(1); }
            static void b(void*, const cmcEvent*) { order.push_back(2); }
        };
        man.attach(&L::a, nullptr);
        man.attach(&L::b, nullptr);
        man.send(13);
        QCOMPARE(order, (std::vector<int>{2, 1}));
    }

    void questions() {
        cmcEvMan man;
        QVERIFY(man.ask(100) == nullptr);

        man.attach(&answerTwice, nullptr);
        const cmcEvAns* a = man.ask(100);
        QVERIFY(a);
        QCOMPARE(a->a, 1);
        QCOMPARE(a->b, 10);
        QVERIFY(a->next);
        QCOMPARE(a->next->a, 2);
        QCOMPARE(a->next->b, 20);
        QVERIFY(!a->next->next);

        man.detach(&answerTwice, nullptr);
        man.attach(&answerOnce, nullptr);
        a = man.ask(100);
        QVERIFY(a && !a->next);
        QCOMPARE(a->a, 3);

        man.detach(&answerOnce, nullptr);
        man.attach(&dataAnswer, nullptr);
        a = man.ask(100);
        QVERIFY(a);
        QCOMPARE(a->data, QByteArray("xyz", 4));
        QCOMPARE(a->a, 0);
    }

    void nestedQuestionKeepsItsOwnAnswers() {
        cmcEvMan man;
        std::vector<int> inner;
        man.attach(&nestedAsker, &inner);
        const cmcEvAns* a = man.ask(100);
        QCOMPARE(inner, (std::vector<int>{7}));
        QVERIFY(a && !a->next);
        QCOMPARE(a->a, 5);
        QCOMPARE(a->b, 50);
        man.answer(9, 9); // outside a question: ignored
        QVERIFY(man.ask(102) == nullptr);
    }

    void dispatchTaskRunsEvery10ms() {
        cmcEvMan man;
        QCOMPARE(cmcEvMan::instance(), &man);
        Recorder r;
        r.man = &man;
        man.attach(&record, &r);
        man.post(13);
        QTRY_COMPARE_WITH_TIMEOUT(r.codes.size(), size_t(1), 1000);
    }

    void destructionDropsQueuedEvents() {
        Recorder r;
        {
            cmcEvMan man;
            r.man = &man;
            man.attach(&record, &r);
            man.post(13);
        }
        QVERIFY(r.codes.empty());
        QVERIFY(cmcEvMan::instance() == nullptr);
    }
};

void tst_evman::typedDataComesBackAsPut() {
    expectRoundTrip(cmcEvStatusText{QStringLiteral("Rows pasted. ü"), 0xFF000000u, 0xFFF0F0F0u});
    expectRoundTrip(cmcEvStatusText{QString(), 0xFF000000u, 0xFFF0F0F0u});
    expectRoundTrip(cmcEvMenuAct{27});
    expectRoundTrip(cmcEvMenuPopup{27, QStringLiteral("GI_PMenu_Edit")});
    expectRoundTrip(cmcEvRepaint{EV_RepaintIndex, 0, 0, 499});
    expectRoundTrip(cmcEvRepaint{EV_RepaintFrom, 35, 1200, -1});
    expectRoundTrip(cmcEvRepaint{EV_RepaintCategory, 2, 0, 0});
    expectRoundTrip(cmcEvCurrentCell{0, 0, 0});
    expectRoundTrip(cmcEvCurrentCell{35, 1200, 12});
    expectRoundTrip(cmcEvDebugText{QStringLiteral("line")});
    expectRoundTrip(cmcEvDebugAddress{0x0502});
    expectRoundTrip(cmcEvRowsAdded{3});
    expectRoundTrip(cmcEvRowsRemoved{1});
    expectRoundTrip(cmcEvBankCaption{3, QStringLiteral("Marine")});
    expectRoundTrip(cmcEvWindowByName{QStringLiteral("GI_Sheet_Win_AD")});
}

// A reader answers nothing for another code, so a listener can try each in turn.
void tst_evman::typedReadersMatchTheirCodeOnly() {
    cmcEvMan man;
    Capture c;
    man.attach(&Capture::listener, &c);
    man.send(EV_RepaintAll);
    man.send(cmcEvRowsAdded{2});
    man.send(cmcEvStatusText{QStringLiteral("x"), 1, 2});
    man.send(EV_ListChanged);
    QCOMPARE(c.events.size(), size_t(4));
    QVERIFY(cmcEvRepaint::read(&c.events[0]));
    QVERIFY(!cmcEvRowsRemoved::read(&c.events[1]));
    QVERIFY(!cmcEvRepaint::read(&c.events[1]));
    QVERIFY(!cmcEvDebugText::read(&c.events[2]));
    QVERIFY(!cmcEvBankCaption::read(&c.events[2]));
    for (const cmcEvent& e : c.events) {
        QVERIFY(!cmcEvListPosition::asked(&e));
        QVERIFY(!cmcEvCurrentCell::read(&e));
    }
    QVERIFY(!cmcEvRepaint::read(&c.events[3]));
}

// Plain events of the old form read as their typed data: a row event without a count
// means one row, a repaint without a reference cell carries its label and index in p1 and
// p2, a status line its colours in p1 and p2.
void tst_evman::plainEventsReadAsTypedData() {
    cmcEvMan man;
    Capture c;
    man.attach(&Capture::listener, &c);
    man.send(EV_RowsAdded);
    man.send(EV_RowsRemoved, -4);
    man.send(EV_RepaintIndex, 0, 17);
    man.sendWithText(EV_StatusText, 5, 6, QStringLiteral("ready"));
    QCOMPARE(cmcEvRowsAdded::read(&c.events[0])->rows, 1);
    QCOMPARE(cmcEvRowsRemoved::read(&c.events[1])->rows, 1);
    QVERIFY(*cmcEvRepaint::read(&c.events[2]) == (cmcEvRepaint{EV_RepaintIndex, 0, 0, 17}));
    QVERIFY(*cmcEvStatusText::read(&c.events[3]) ==
            (cmcEvStatusText{QStringLiteral("ready"), 5, 6}));
}

void tst_evman::typedQuestions() {
    cmcEvMan man;
    QVERIFY(!cmcEvListPosition::ask(man)); // nobody answers
    QVERIFY(!cmcEvSite::ask(man));
    man.attach(&answerPosition, nullptr);
    man.attach(&answerSite, nullptr);
    QVERIFY(*cmcEvListPosition::ask(man) == (cmcEvListPosition{2, 40}));
    QVERIFY(*cmcEvSite::ask(man) == (cmcEvSite{7}));
}

QTEST_MAIN(tst_evman)
#include "tst_evman.moc"
