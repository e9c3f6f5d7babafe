// The print preview window: page navigation by buttons, keys and the page box, and the
// font size setting that renders the pages again.

#include "cuiPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

// Pages numbered by their width so that a test can tell them apart.
struct Pages {
    int count = 3;
    int fontSize = 9;
    QList<int> renderedAt; // font size of every rendering
    std::unique_ptr<cuiPreview> make() {
        return std::make_unique<cuiPreview>(
            nullptr, QStringLiteral("Preview"),
            [this](const cuiPreview::PageSink& add) {
                renderedAt.append(fontSize);
                for (int i = 0; i < count; ++i) {
                    QImage image(100 + i, 140, QImage::Format_Grayscale8);
                    image.fill(Qt::white);
                    image.setPixel(i, i, qRgb(0, 0, 0)); // tells the pages apart
                    add(image);
                }
            },
            [this] { return fontSize; }, [this](int points) { fontSize = points; });
    }
};

} // namespace

class tst_Preview : public QObject {
    Q_OBJECT
  private slots:
    void navigation_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expected");
        QTest::newRow("next on the last page stays") << 2 << "next" << 2;
        QTest::newRow("last on the last page stays") << 2 << "last" << 2;
        QTest::newRow("previous on the first page stays") << 0 << "previous" << 0;
        QTest::newRow("next") << 0 << "next" << 1;
        QTest::newRow("last") << 0 << "last" << 2;
        QTest::newRow("top") << 2 << "top" << 0;
        QTest::newRow("page down") << 0 << "PgDown" << 1;
        QTest::newRow("page up") << 1 << "PgUp" << 0;
        QTest::newRow("down when not zoomed") << 1 << "Down" << 2;
        QTest::newRow("up when not zoomed") << 1 << "Up" << 0;
        QTest::newRow("right does nothing") << 1 << "Right" << 1;
        QTest::newRow("down when zoomed scrolls") << 1 << "zoom Down" << 1;
        QTest::newRow("page down when zoomed") << 1 << "zoom PgDown" << 2;
        QTest::newRow("typed page") << 0 << "type 3" << 2;
        QTest::newRow("typed page beyond the last") << 0 << "type 9" << 2;
        QTest::newRow("typed page 0") << 2 << "type 0" << 0;
    }
    void navigation() {
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(int, expected);
        Pages pages;
        auto preview = pages.make();
        preview->show();
        preview->goToPage(start);
        QCOMPARE(preview->page(), start);
        QString act = action;
        if (act.startsWith(QLatin1String("zoom "))) {
            preview->zoomButton()->click();
            QVERIFY(preview->zoomed());
            act = act.mid(5);
        }
        if (act == QLatin1String("next"))
            preview->nextButton()->click();
        else if (act == QLatin1String("previous"))
            preview->previousButton()->click();
        else if (act == QLatin1String("top"))
            preview->topButton()->click();
        else if (act == QLatin1String("last"))
            preview->lastButton()->click();
        else if (act == QLatin1String("PgDown"))
            QTest::keyClick(preview.get(), Qt::Key_PageDown);
        else if (act == QLatin1String("PgUp"))
            QTest::keyClick(preview.get(), Qt::Key_PageUp);
        else if (act == QLatin1String("Down"))
            QTest::keyClick(preview.get(), Qt::Key_Down);
        else if (act == QLatin1String("Up"))
            QTest::keyClick(preview.get(), Qt::Key_Up);
        else if (act == QLatin1String("Right"))
            QTest::keyClick(preview.get(), Qt::Key_Right);
        else if (act.startsWith(QLatin1String("type "))) {
            preview->pageEdit()->setText(act.mid(5));
            QTest::keyClick(preview->pageEdit(), Qt::Key_Return);
        }
        QCOMPARE(preview->page(), expected);
        QCOMPARE(preview->pageEdit()->text(), QString::number(expected + 1));
        QCOMPARE(preview->statusText(), QStringLiteral(" %1 / 3").arg(expected + 1));
    }

    void buttonsFollowThePage() {
        Pages pages;
        auto preview = pages.make();
        QCOMPARE(preview->page(), 0);
        QVERIFY(!preview->topButton()->isEnabled());
        QVERIFY(!preview->previousButton()->isEnabled());
        QVERIFY(preview->nextButton()->isEnabled());
        QVERIFY(preview->lastButton()->isEnabled());
        preview->lastButton()->click();
        QVERIFY(preview->topButton()->isEnabled());
        QVERIFY(preview->previousButton()->isEnabled());
        QVERIFY(!preview->nextButton()->isEnabled());
        QVERIFY(!preview->lastButton()->isEnabled());
        // The page store gives back the page as it was drawn.
        const QImage last = preview->pageImage(preview->page());
        QCOMPARE(last.width(), 102);
        QCOMPARE(last.pixelColor(2, 2), QColor(Qt::black));
        QCOMPARE(last.pixelColor(1, 1), QColor(Qt::white));
        QVERIFY(preview->pageImage(3).isNull());
        // A single page: every navigation button is off.
        Pages one;
        one.count = 1;
        auto single = one.make();
        QVERIFY(!single->nextButton()->isEnabled());
        QVERIFY(!single->topButton()->isEnabled());
        QVERIFY(single->printButton()->isEnabled());
        // No pages at all: nothing to print.
        Pages none;
        none.count = 0;
        auto empty = none.make();
        QVERIFY(!empty->printButton()->isEnabled());
        QVERIFY(!empty->nextButton()->isEnabled());
        QCOMPARE(empty->statusText(), QStringLiteral(" 0 / 0"));
        empty->printButton()->click();
        QVERIFY(!empty->printRequested());
    }

    void settingChoiceRendersAgain_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("points");
        QTest::newRow("3 is 10 points") << "3" << true << 10;
        QTest::newRow("1 is 8 points") << "1" << true << 8;
        QTest::newRow("5 is 12 points") << "5" << true << 12;
        QTest::newRow("cancel keeps the size") << "5" << false << 9;
    }
    void settingChoiceRendersAgain() {
        QFETCH(QString, entry);
        QFETCH(bool, ok);
        QFETCH(int, points);
        Pages pages;
        auto preview = pages.make();
        preview->show();
        preview->lastButton()->click();
        QString shownEntry;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Setting"));
            auto* list = dialog->findChild<QComboBox*>();
            QVERIFY(list);
            QCOMPARE(list->count(), 5);
            shownEntry = list->currentText();
            list->setCurrentIndex(list->findText(entry));
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        preview->settingButton()->click();
        QCOMPARE(shownEntry, QStringLiteral("2")); // 9 points
        QCOMPARE(pages.fontSize, points);
        if (ok) {
            QCOMPARE(pages.renderedAt, (QList<int>{9, points}));
            QCOMPARE(preview->page(), 2); // the page shown stays
        } else {
            QCOMPARE(pages.renderedAt, QList<int>{9});
        }
    }

    void printButtonClosesWithTheRequest() {
        Pages pages;
        auto preview = pages.make();
        QTimer::singleShot(0, [&] { preview->printButton()->click(); });
        QCOMPARE(preview->exec(), int(QDialog::Accepted));
        QVERIFY(preview->printRequested());
        auto again = pages.make();
        QTimer::singleShot(0, [&] { again->reject(); });
        again->exec();
        QVERIFY(!again->printRequested());
    }
};

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
