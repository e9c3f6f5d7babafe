#include "cuiDebugCompare.h"

#include "cuiMain.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void cuiDebugCompare::show(cuiMain& shell, QWidget* parent) {
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("Debug compare"));
    box.setObjectName(QStringLiteral("DebugCompare"));
    auto* memo = new QPlainTextEdit;
    memo->setReadOnly(true);
    memo->setFont(QFont(QStringLiteral("Monospace")));
    memo->setPlainText(shell.DebugCompareLines().join(QLatin1Char('\n')));
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(memo);
    layout->addWidget(close, 0, Qt::AlignRight);
    box.resize(360, 420);
    box.exec();
}
