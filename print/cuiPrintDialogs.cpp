#include "cuiPrintDialogs.h"

#include "cuiPreview.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class PlatformPrintDialogs : public cuiPrintDialogs {
  public:
    bool hasPrinter() override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }
    bool setupPrinter(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    bool runPreview(cuiPreview& preview) override {
        return preview.exec() == QDialog::Accepted && preview.printRequested();
    }
};

cuiPrintDialogs* g_installed = nullptr;

} // namespace

cuiPrintDialogs& cuiPrintDialogs::current() {
    static PlatformPrintDialogs platform;
    return g_installed ? *g_installed : platform;
}

void cuiPrintDialogs::install(cuiPrintDialogs* dialogs) {
    g_installed = dialogs;
}
