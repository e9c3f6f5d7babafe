// The print preview window: page navigation by buttons, keys and the page box, the font
// size setting that lays the pages out again, and pages drawn when shown, at the size they
// are shown at, with only a few kept.

#include "cuiPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

// A4 pages that tell themselves apart (page i has a black pixel at (i, i)); every laying
// out and every drawing is recorded.
struct Pages : cuiPreviewPages {
    int count = 3;
    int fontSize = 9;
    QList<int> laidOutAt; // font size of every laying out
    QList<QPair<int, QSize>> draws;

    int layOut() override {
        laidOutAt.append(fontSize);
        return count;
    }
    QSizeF paperInches() const override { return QSizeF(210 / 25.4, 297 / 25.4); }
    QImage draw(int index, const QSize& size) override {
        draws.append({index, size});
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(index, index, qRgb(0, 0, 0));
        return image;
    }
    std::unique_ptr<cuiPreview> make() {
        return std::make_unique<cuiPreview>(
            nullptr, QStringLiteral("Preview"), *this, [this] { return fontSize; },
            [this](int points) { fontSize = points; });
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
        // The page on show is the last one.
        preview->show();
        const QImage last = preview->shownImage();
        QCOMPARE(last.pixelColor(2, 2), QColor(Qt::black));
        QCOMPARE(last.pixelColor(1, 1), QColor(Qt::white));
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
            QCOMPARE(pages.laidOutAt, (QList<int>{9, points}));
            QCOMPARE(preview->page(), 2); // the page shown stays
            // and is drawn again in the new layout, not taken from the pages kept
            QCOMPARE(pages.draws.last().first, 2);
            QCOMPARE(pages.draws.count(pages.draws.last()), 2);
        } else {
            QCOMPARE(pages.laidOutAt, QList<int>{9});
        }
    }

    // Nothing is drawn before the window shows; then the page on show is drawn once, at
    // the size of the page area (in device pixels) or, zoomed, at ZoomDpi, and shown as
    // drawn, never scaled. Paging through 71 pages keeps a few, and a page just left is
    // shown again without drawing it.
    void pagesDrawnWhenShownAtTheirSize() {
        Pages pages;
        pages.count = 71;
        auto preview = pages.make();
        QVERIFY(pages.draws.isEmpty());
        preview->show();
        QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
        const qreal dpr = preview->devicePixelRatioF();
        const QSizeF paper = pages.paperInches();
        const QSize fitted =
            (paper.scaled(QSizeF(preview->pageLabel()->size()), Qt::KeepAspectRatio) * dpr)
                .toSize();
        QVERIFY(!pages.draws.isEmpty());
        QCOMPARE(pages.draws.last(), qMakePair(0, fitted));
        QCOMPARE(preview->pageSize(), fitted);
        QCOMPARE(preview->shownImage().size(), fitted);
        QCOMPARE(preview->pageLabel()->pixmap().size(), fitted);

        preview->zoomButton()->click();
        const QSize zoomed = (paper * (cuiPreview::ZoomDpi * dpr)).toSize();
        QCOMPARE(zoomed.width(), qRound(210 / 25.4 * 150 * dpr));
        QCOMPARE(pages.draws.last(), qMakePair(0, zoomed));
        QCOMPARE(preview->pageLabel()->pixmap().size(), zoomed);
        QCOMPARE(preview->pageLabel()->size(), (QSizeF(zoomed) / dpr).toSize());

        const qint64 pageBytes = qint64(zoomed.width()) * zoomed.height() * 4;
        for (int i = 1; i < pages.count; ++i) {
            const qsizetype before = pages.draws.size();
            QTest::keyClick(preview.get(), Qt::Key_PageDown);
            QCOMPARE(pages.draws.size(), before + 1);
            QCOMPARE(pages.draws.last(), qMakePair(i, zoomed));
            QVERIFY2(preview->keptBytes() <= cuiPreview::KeptPages * pageBytes,
                     qPrintable(QString::number(preview->keptBytes())));
        }
        const qsizetype drawn = pages.draws.size();
        QTest::keyClick(preview.get(), Qt::Key_PageUp);
        QCOMPARE(preview->page(), 69);
        QCOMPARE(pages.draws.size(), drawn);
        QCOMPARE(preview->shownImage().pixelColor(69, 69), QColor(Qt::black));
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
