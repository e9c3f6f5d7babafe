#pragma once
// The per-radio values of a write to several radios, as the several-radios window offers
// them: a file chooser, a table that shows the sheet chosen (a row per radio, a column per
// cell), and the tick box that lets radios without a row get the plain document. A sheet is
// taken only when it reads cleanly and every row passes its checks against the document;
// otherwise the user is told every fault (line and column) and the previous choice stays.

#include "cmcEeprom.h"
#include "imcFleetSheet.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class cuiFleetSheetBox : public QWidget {
  public:
    explicit cuiFleetSheetBox(QWidget* parent);

    // The document the rows are applied to, and the factory data rows coming into use
    // start from (may be nullptr; must outlive the box).
    void setDocument(const cmcEeprom& image, const cmcEeprom* defaults);
    // Reads and checks the sheet at path; false (after telling why) keeps the previous one.
    bool load(const QString& path);
    void clear();
    // The sheet to write with, checked again against the document; nullptr when none is
    // chosen. ok is false (after telling why) when the sheet no longer passes.
    const imcFleetSheet* sheet(bool* ok);
    bool plainForUnlisted() const;
    const cmcEeprom* defaults() const { return m_defaults; }

    QLineEdit* pathEdit() const { return m_path; }
    QCheckBox* plainBox() const { return m_plain; }
    QTableWidget* view() const { return m_view; }

    // The box's texts: line n of its text key.
    static QString text(int line);

  private:
    bool checked(const imcFleetSheet& sheet, const QString& path);
    void showSheet(const imcFleetSheet& sheet);

    QLineEdit* m_path = nullptr;
    QPushButton* m_choose = nullptr;
    QPushButton* m_remove = nullptr;
    QCheckBox* m_plain = nullptr;
    QTableWidget* m_view = nullptr;
    std::unique_ptr<imcFleetSheet> m_sheet;
    QString m_file;
    cmcEeprom m_document;
    const cmcEeprom* m_defaults = nullptr;
};
