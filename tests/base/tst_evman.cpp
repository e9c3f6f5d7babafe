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

} // namespace

class tst_evman : public QObject {
    Q_OBJECT
  private slots:
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

QTEST_MAIN(tst_evman)
#include "tst_evman.moc"
