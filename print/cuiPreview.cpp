#include "cuiPreview.h"

#include "cmcGTex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

cuiPreview::cuiPreview(QWidget* parent, const QString& caption, cuiPreviewPages& pages,
                       std::function<int()> fontSize, std::function<void(int)> setFontSize)
    : QDialog(parent), m_pages(pages), m_fontSize(std::move(fontSize)),
      m_setFontSize(std::move(setFontSize)) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("PrintPreview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QWidget(this);
    bar->setFixedHeight(25);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(2);
    auto button = [&](const QString& text, const QString& hint, int width = 0) {
        auto* b = new QToolButton(bar);
        b->setText(text);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        if (width > 0) b->setFixedWidth(width);
        row->addWidget(b);
        return b;
    };
    m_top = button(QStringLiteral("|<"), QStringLiteral("Top Page"));
    m_previous = button(QStringLiteral("<"), QStringLiteral("Previous Page"));
    m_edit = new QLineEdit(bar);
    m_edit->setFixedWidth(30);
    m_edit->setValidator(new QIntValidator(0, 99999, m_edit));
    row->addWidget(m_edit);
    m_countLabel = new QLabel(bar);
    row->addWidget(m_countLabel);
    m_next = button(QStringLiteral(">"), QStringLiteral("Next Page"));
    m_lastButton = button(QStringLiteral(">|"), QStringLiteral("Last Page"));
    m_zoom = button(QStringLiteral("Zoom"), QStringLiteral("Zoom"));
    m_zoom->setCheckable(true);
    m_setting = button(QStringLiteral("&Setting"), QString(), 70);
    m_printButton = button(QStringLiteral("&Print"), QString(), 70);
    row->addStretch(1);
    layout->addWidget(bar);

    m_area = new QScrollArea(this);
    m_area->setAlignment(Qt::AlignCenter);
    m_area->setFocusPolicy(Qt::NoFocus);
    QPalette pal = m_area->palette();
    pal.setColor(QPalette::Window, QColor(0x55, 0x55, 0x55));
    m_area->setPalette(pal);
    m_area->setBackgroundRole(QPalette::Window);
    m_area->setAutoFillBackground(true);
    m_image = new QLabel;
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setPalette(pal);
    m_image->setBackgroundRole(QPalette::Window);
    m_image->setAutoFillBackground(true);
    m_area->setWidget(m_image);
    m_area->setWidgetResizable(true);
    m_area->viewport()->installEventFilter(this);
    layout->addWidget(m_area, 1);

    auto* status = new QStatusBar(this);
    m_status = new QLabel(status);
    status->addWidget(m_status, 1);
    status->setSizeGripEnabled(false);
    layout->addWidget(status);

    connect(m_top, &QToolButton::clicked, this, [this] { goToPage(0); });
    connect(m_previous, &QToolButton::clicked, this, [this] { goToPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { goToPage(m_page + 1); });
    connect(m_lastButton, &QToolButton::clicked, this, [this] { goToPage(m_last); });
    connect(m_zoom, &QToolButton::toggled, this, [this](bool on) {
        m_area->setWidgetResizable(!on);
        showPage();
    });
    connect(m_edit, &QLineEdit::returnPressed, this,
            [this] { goToPage(m_edit->text().toInt() - 1); });
    connect(m_setting, &QToolButton::clicked, this, &cuiPreview::openSetting);
    connect(m_printButton, &QToolButton::clicked, this, [this] {
        m_print = true;
        accept();
    });

    // Centred on the work area, no larger than the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        const QSize size(std::min(work.width(), 800), std::min(work.height(), 900));
        resize(size);
        move(work.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    renderPages();
}

cuiPreview::~cuiPreview() = default;

void cuiPreview::renderPages() {
    m_kept.clear();
    m_shown = QPixmap();
    m_count = std::max(0, m_pages.layOut());
    m_last = std::max(0, m_count - 1);
    // Nothing to print (every sheet was empty or not printable): no print request.
    m_printButton->setEnabled(m_count > 0);
    m_countLabel->setText(QString::asprintf(" / %d", m_count));
    goToPage(m_page);
}

QSize cuiPreview::pageSize() const {
    const QSizeF paper = m_pages.paperInches();
    if (paper.isEmpty()) return QSize();
    const qreal dpr = devicePixelRatioF();
    if (zoomed()) return (paper * (ZoomDpi * dpr)).toSize();
    const QSize room = m_area->viewport()->size();
    if (room.isEmpty()) return QSize();
    return (paper.scaled(QSizeF(room), Qt::KeepAspectRatio) * dpr).toSize();
}

QPixmap cuiPreview::drawn(int index, const QSize& size) {
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->index != index || it->size != size) continue;
        Drawn found = std::move(*it);
        m_kept.erase(it);
        m_kept.push_front(std::move(found));
        return m_kept.front().pixmap;
    }
    QImage image = m_pages.draw(index, size);
    if (image.isNull()) return QPixmap();
    image.setDevicePixelRatio(devicePixelRatioF());
    // Kept as the pixmap the label shows, so that the page on show is not held twice.
    m_kept.push_front({index, size, QPixmap::fromImage(std::move(image))});
    while (int(m_kept.size()) > KeptPages)
        m_kept.pop_back();
    return m_kept.front().pixmap;
}

qint64 cuiPreview::keptBytes() const {
    qint64 bytes = 0;
    for (const Drawn& d : m_kept)
        bytes += qint64(d.pixmap.width()) * d.pixmap.height() * d.pixmap.depth() / 8;
    return bytes;
}

void cuiPreview::goToPage(int index) {
    m_page = std::clamp(index, 0, m_last);
    m_top->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < m_last);
    m_lastButton->setEnabled(m_page < m_last);
    m_edit->setText(QString::number(m_page + 1));
    m_status->setText(statusText());
    showPage();
}

bool cuiPreview::zoomed() const {
    return m_zoom->isChecked();
}

QString cuiPreview::statusText() const {
    return QString::asprintf(" %d / %d", m_count == 0 ? 0 : m_page + 1, m_count);
}

void cuiPreview::showPage() {
    // Drawn only where it can be seen, at the size it is seen at.
    const QSize size = isVisible() && m_count > 0 ? pageSize() : QSize();
    m_shown = size.isEmpty() ? QPixmap() : drawn(m_page, size);
    m_image->setPixmap(m_shown);
    if (zoomed() && !m_shown.isNull()) m_image->resize(m_shown.deviceIndependentSize().toSize());
}

void cuiPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showPage();
}

bool cuiPreview::eventFilter(QObject* watched, QEvent* event) {
    // The fitted page follows the page area's size (the window's, the scroll bars').
    if (watched == m_area->viewport() && event->type() == QEvent::Resize && !zoomed()) showPage();
    return QDialog::eventFilter(watched, event);
}

void cuiPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
        goToPage(m_page - 1);
        return;
    case Qt::Key_PageDown:
        goToPage(m_page + 1);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (zoomed()) {
            QScrollBar* bar = (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
                                  ? m_area->verticalScrollBar()
                                  : m_area->horizontalScrollBar();
            const bool back = event->key() == Qt::Key_Up || event->key() == Qt::Key_Left;
            bar->setValue(bar->value() + (back ? -bar->singleStep() : bar->singleStep()) * 3);
        } else if (event->key() == Qt::Key_Up) {
            goToPage(m_page - 1);
        } else if (event->key() == Qt::Key_Down) {
            goToPage(m_page + 1);
        }
        return;
    default:
        break;
    }
    if (m_edit->hasFocus()) return QDialog::keyPressEvent(event);
    QDialog::keyPressEvent(event);
}

void cuiPreview::openSetting() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Setting"));
    dialog.setWindowTitle(QStringLiteral("Setting"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Font Size: "), &dialog));
    auto* list = new QComboBox(&dialog);
    list->setObjectName(QStringLiteral("FontSize"));
    for (int i = 1; i <= 5; ++i)
        list->addItem(QString::number(i));
    const int current = m_fontSize ? m_fontSize() : 10;
    list->setCurrentIndex(std::clamp(current - 8, 0, 4));
    row->addWidget(list);
    layout->addLayout(row);
    QCheckBox* usedRows = nullptr;
    if (m_usedRows && m_setUsedRows) {
        const QString usedKey = QStringLiteral("GI_Sys_Printer_UsedRows");
        usedRows = new QCheckBox(cmcGTex::mainTable().hasKey(usedKey)
                                     ? cmcGTex::mainTable().getText(usedKey)
                                     : QStringLiteral("Only the rows in use"),
                                 &dialog);
        usedRows->setObjectName(QStringLiteral("UsedRows"));
        usedRows->setChecked(m_usedRows());
        layout->addWidget(usedRows);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    cmcGTex& table = cmcGTex::mainTable();
    const QString key = QStringLiteral("GI_AppInd_Button_OkCancel");
    if (table.hasKey(key)) {
        buttons->button(QDialogButtonBox::Ok)->setText(table.getText(key, 0));
        buttons->button(QDialogButtonBox::Cancel)->setText(table.getText(key, 1));
    }
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    if (usedRows) m_setUsedRows(usedRows->isChecked());
    applySetting(list->currentIndex());
}

void cuiPreview::applySetting(int entry) {
    if (m_setFontSize) m_setFontSize(8 + std::clamp(entry, 0, 4));
    renderPages();
}
