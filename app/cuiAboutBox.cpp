#include "cuiAboutBox.h"

#include "cmcGTex.h"
#include "cuiIcons.h"
#include "cuiMain.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

cuiAboutBox::cuiAboutBox(cuiMain& controller, const QString& revision, QWidget* parent)
    : QDialog(parent), m_controller(controller) {
    cmcGTex& text = cmcGTex::mainTable();
    setWindowTitle(text.getText(QStringLiteral("GI_App_About_Caption")));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    setFont(f);

    auto* icon = new QLabel;
    icon->setPixmap(QPixmap::fromImage(cuiIcons::draw(QStringLiteral("imgIcon_Tree_Rig"), 48)));
    icon->setAccessibleName(text.getText(QStringLiteral("GI_Sys_AccessNames"), 2));
    auto* body = new QLabel(
        text.getTextBlock(QStringLiteral("GI_App_About_Text"))
            .replace(QStringLiteral("%s"), revision.isEmpty() ? QStringLiteral("-") : revision));
    auto* button = new QPushButton(text.getText(QStringLiteral("GI_App_About_Button")));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(body, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void cuiAboutBox::keyPressEvent(QKeyEvent* event) {
    // Letters are not taken by the button, so they arrive here.
    for (QChar c : event->text())
        if (c.isPrint()) m_controller.KeyTyped(c);
    QDialog::keyPressEvent(event);
}
