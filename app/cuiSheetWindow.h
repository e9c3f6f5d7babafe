#pragma once
// A sheet in a window of its own: a dialog that creates the sheet from a command, builds
// it and opens big enough to show the whole sheet (within the screen), captioned with the
// application title. The window deletes itself when closed.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class cmcGTex;
class cuiSheet;

class cuiSheetWindow : public QDialog {
  public:
    cuiSheetWindow(const QString& command, cmcGTex& table, QWidget* owner);
    // A window around a sheet that make creates (with the window as its owner); the window
    // builds it. For sheets that are not opened by a command.
    using SheetMaker = std::function<cuiSheet*(QWidget* owner)>;
    cuiSheetWindow(const SheetMaker& make, cmcGTex& table, QWidget* owner);
    ~cuiSheetWindow() override;

    cuiSheet* sheet() const { return m_sheet.get(); }

  private:
    QSize sheetSize() const;

    std::unique_ptr<cuiSheet> m_sheet;
};
