#pragma once
// The printer's conversations with the user behind a small service so that tests can answer
// them: the application asks the platform (printer list, printer set-up dialog) and shows
// the preview modally; tests install answers.

class QPrinter;
class QWidget;
class cuiPreview;

class cuiPrintDialogs {
  public:
    virtual ~cuiPrintDialogs() = default;
    // Whether any printer is installed.
    virtual bool hasPrinter() = 0;
    // The printer set-up dialog; false when cancelled.
    virtual bool setupPrinter(QWidget* parent, QPrinter& printer) = 0;
    // Shows the preview modally; true when the user asked to print.
    virtual bool runPreview(cuiPreview& preview) = 0;

    // The service in use (the platform's unless another is installed).
    static cuiPrintDialogs& current();
    // Installs a service (not owned); nullptr restores the platform's.
    static void install(cuiPrintDialogs* dialogs);
};
