#pragma once
// The printer's questions answered for tests: a PDF printer writing to pdfPath (A4, 300 dpi),
// or no printer at all; the preview answered by onPreview (by default: Print). Counts what
// was asked. Installed for its lifetime.

#include "cuiPreview.h"
#include "cuiPrintDialogs.h"

#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>
#include <QRegularExpression>
#include <QWidget>
#include <functional>

struct PdfPrintDialogs : cuiPrintDialogs {
    bool printerInstalled = true;
    bool setupAccepted = true;
    QString pdfPath;
    std::function<bool(cuiPreview&)> onPreview = [](cuiPreview& preview) {
        preview.printButton()->click();
        return preview.printRequested();
    };
    int setups = 0;
    int previews = 0;
    int previewPages = -1;
    // Whether owner (when set) was disabled while the preview was open.
    QWidget* owner = nullptr;
    bool ownerEnabledInPreview = true;

    PdfPrintDialogs() { install(this); }
    ~PdfPrintDialogs() override { install(nullptr); }
    bool hasPrinter() override { return printerInstalled; }
    bool setupPrinter(QWidget*, QPrinter& printer) override {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setResolution(300);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return setupAccepted;
    }
    bool runPreview(cuiPreview& preview) override {
        ++previews;
        previewPages = preview.pageCount();
        if (owner) ownerEnabledInPreview = owner->isEnabled();
        return onPreview(preview);
    }
};

// The number of pages of a PDF file, counted in its page objects; -1 when it cannot be read.
inline int pdfPageObjects(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}
