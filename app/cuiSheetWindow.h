#pragma once
// A sheet in a window of its own: a dialog that creates the sheet from a command, builds
// it and opens big enough to show the whole sheet (within the screen), captioned with the
// application title. The window deletes itself when closed.

#include <QDialog>
#include <QString>
#include <memory>

class cmcGTex;
class cuiSheet;

class cuiSheetWindow : public QDialog {
  public:
    cuiSheetWindow(const QString& command, cmcGTex& table, QWidget* owner);
    ~cuiSheetWindow() override;

    cuiSheet* sheet() const { return m_sheet.get(); }

  private:
    QSize sheetSize() const;

    std::unique_ptr<cuiSheet> m_sheet;
};
