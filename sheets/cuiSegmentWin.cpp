#include "cuiSegmentWin.h"

#include "cmcGTex.h"
#include "cuiSegmentSet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString TitleKey = QStringLiteral("GI_AppInd_PcgSeg_Title");
} // namespace

// Draws the text in lit segments on a dark display.
class cuiSegmentWin::Display : public QWidget {
  public:
    Display(const cuiSegmentSet& set, const QLineEdit& text) : m_set(set), m_text(text) {
        setMinimumSize(480, 96);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(24, 32, 24));
        const QRectF area = QRectF(rect()).adjusted(16, 16, -16, -16);
        m_set.paintText(painter, area, m_text.text(), QColor(120, 255, 140), QColor(40, 60, 44));
    }

  private:
    const cuiSegmentSet& m_set;
    const QLineEdit& m_text;
};

cuiSegmentWin::cuiSegmentWin(const cuiSegmentSet& set, const QString& text, QWidget* owner)
    : QDialog(owner), m_set(set) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("DisplayCharacters"));
    cmcGTex& table = cmcGTex::mainTable();
    setWindowTitle(table.getText(TitleKey, 0));

    m_text = new QLineEdit(text);
    auto* display = new Display(set, *m_text);
    m_display = display;
    QString summary = table.getText(TitleKey, 2)
                          .replace(QLatin1String("%d"), QString::number(set.segments().size()));
    for (const int line : set.badLines())
        summary +=
            QLatin1Char('\n') +
            table.getText(TitleKey, 3).replace(QLatin1String("%d"), QString::number(line + 1));
    m_summary = new QLabel(summary);
    auto* buttons = new QDialogButtonBox;
    QPushButton* close =
        buttons->addButton(table.getText(QStringLiteral("GI_AppInd_Button_OkCancel"), 0),
                           QDialogButtonBox::AcceptRole);
    close->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(table.getText(TitleKey, 1), m_text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_display, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    connect(m_text, &QLineEdit::textChanged, m_display, qOverload<>(&QWidget::update));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    adjustSize();
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}
