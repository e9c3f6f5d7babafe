// The bit-field window and the display characters of the maker's Debug menu: both items
// only in maker mode; the bit-field window opens over the memory dump's current byte,
// writes the ticked bits into the working image as one named undo step and leaves the byte
// alone on Cancel; the display characters window draws the delivered segments.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcFlagSet.h"
#include "cuiEeDebugWin.h"
#include "cuiFBitsR.h"
#include "cuiMenu.h"
#include "cuiSegmentWin.h"
#include "cuiSheet.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

class tst_bitfield : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cmcEvMan* m_events = nullptr;

    QAction* item(int32_t label) {
        for (QAction* a : m_main->menu()->actions())
            if (const cuiCell* cell = m_main->menu()->cellOf(a); cell && cell->label == label)
                return a;
        return nullptr;
    }

    void makerMode() {
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Ok);
        m_main->ActivateMakerMode();
        QVERIFY(m_main->makerMode());
        m_events->send(EV_MenuRefresh);
    }

    // The memory dump open with the byte at address current.
    void dumpAt(int32_t address) {
        m_events->post(EV_MemoryDump);
        m_events->dispatchStep();
        auto* dump = dynamic_cast<cuiEeDebugWin*>(m_main->memoryDumpWindow());
        QVERIFY(dump);
        const QPoint at = cuiEeDebugWin::cellOfAddress(address);
        dump->sheet()->SelectCell(at.x(), at.y());
    }

    cuiFBitsR* openBits() {
        item(CL_Menu_Debug_FBits)->trigger();
        return qobject_cast<cuiFBitsR*>(m_main->bitFieldWindow());
    }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-bitfield-"));
        m_main = m_editor->main.get();
        m_events = m_editor->events.get();
    }
    void cleanup() { m_editor.reset(); }

    void itemsOnlyInMakerMode() {
        QAction* bits = item(CL_Menu_Debug_FBits);
        QAction* chars = item(CL_Menu_Debug_Segments);
        QVERIFY(bits && chars);
        m_events->send(EV_MenuRefresh);
        QVERIFY(!bits->isVisible() && !chars->isVisible());
        bits->trigger();
        chars->trigger();
        QVERIFY(!m_main->bitFieldWindow() && !m_main->segmentWindow());
        makerMode();
        QVERIFY(bits->isVisible() && bits->isEnabled());
        QVERIFY(chars->isVisible() && chars->isEnabled());
    }

    // The dump's current byte, B7 to B0: the ticks chosen become the byte, one undo step
    // named after the address; Undo brings the byte back.
    void bitsOfTheDumpByte() {
        makerMode();
        cmcEeprom& image = m_main->workingImage();
        // Typed into the dump first, so that the byte's earlier value is a step of its own.
        cmcCellDispatch::global().commit(CT_Null, CL_EeDebugWin_3, 0x0503 / 16,
                                         QStringLiteral("21"));
        QCOMPARE(image.GetByte(0x0503), uint8_t(0x21));
        dumpAt(0x0503);
        cuiFBitsR* window = openBits();
        QVERIFY(window && window->isVisible());
        QVERIFY(window->windowTitle().contains(QStringLiteral("0503")));
        QCOMPARE(window->sheet()->CellObjectAt(1, 0).displayText, QStringLiteral("B7"));
        QCOMPARE(window->value(), cmcFlagSet::fromField(0x21, 8));
        const int steps = m_main->document().undoCount();

        window->toggle(1);                              // B7 on
        window->toggle(3);                              // B5 off
        window->toggle(8);                              // B0 off
        QCOMPARE(image.GetByte(0x0503), uint8_t(0x21)); // nothing before OK
        QTest::mouseClick(window->okButton(), Qt::LeftButton);
        QCOMPARE(image.GetByte(0x0503), uint8_t(0x80));
        QCOMPARE(m_main->document().undoCount(), steps + 1);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Bits at 0503"));
        QTRY_VERIFY(!m_main->bitFieldWindow());

        m_main->Undo();
        QCOMPARE(image.GetByte(0x0503), uint8_t(0x21));
    }

    // Without a dump the first byte; Cancel changes nothing and records no step.
    void cancelKeepsTheByte() {
        makerMode();
        cmcEeprom& image = m_main->workingImage();
        const uint8_t before = image.GetByte(0);
        cuiFBitsR* window = openBits();
        QVERIFY(window);
        QVERIFY(window->windowTitle().contains(QStringLiteral("0000")));
        const int steps = m_main->document().undoCount();
        window->toggle(4);
        QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
        QCOMPARE(image.GetByte(0), before);
        QCOMPARE(m_main->document().undoCount(), steps);
    }

    // The delivered segment set draws a typed text: lit pixels for "8.", none lit for a
    // blank text, and no line of the data is reported unreadable.
    void displayCharacters() {
        makerMode();
        item(CL_Menu_Debug_Segments)->trigger();
        auto* window = qobject_cast<cuiSegmentWin*>(m_main->segmentWindow());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->summary()->text(), QStringLiteral("8 segments"));
        const auto litPixels = [&] {
            const QImage shot = window->display()->grab().toImage();
            int lit = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    lit += QColor(shot.pixel(x, y)).green() > 200 ? 1 : 0;
            return lit;
        };
        window->textEdit()->setText(QStringLiteral("8."));
        const int eight = litPixels();
        window->textEdit()->setText(QStringLiteral("1"));
        const int one = litPixels();
        window->textEdit()->setText(QStringLiteral(" "));
        QCOMPARE(litPixels(), 0);
        QVERIFY(one > 0);
        QVERIFY(eight > 3 * one);
    }
};

QTEST_MAIN(tst_bitfield)
#include "tst_bitfield.moc"
