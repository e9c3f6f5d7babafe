#pragma once
// The find bar under the sheets (Ctrl+F): not a dialog, the sheets stay in use while it is
// open. Enter or F3 goes to the next match and Shift+Enter or Shift+F3 to the one before,
// opening its sheet and selecting the cell; the bar tells "3 of 12". It looks in the sheet
// in view or in every sheet. Replace changes the text of the current match (a name, a
// message) and goes on; Replace All changes every match at once. Escape closes it.
//
// The matches are looked for again at every step (imcFind), so edits made meanwhile count.
// The controller gives the bar its image, the sheet in view, the opening of a match and the
// replacing (one undo step for Replace All).

#include "imcFind.h"

#include <QWidget>
#include <functional>
#include <vector>

class cmcEeprom;
class cmcGTex;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class iuiFindBar : public QWidget {
    Q_OBJECT
  public:
    struct Host {
        std::function<const cmcEeprom&()> image;
        std::function<QString()> sheetInView; // its tree command
        std::function<bool(const imcFindMatch&)> show;
        // Replaces text by with in the cells given; returns how many took it.
        std::function<int(const std::vector<imcFindMatch>&, const QString&, const QString&)>
            replace;
    };
    iuiFindBar(cmcGTex& texts, Host host, QWidget* parent = nullptr);

    // Shows the bar with the find text selected (Ctrl+F).
    void open();
    // The next (direction 1) or previous (-1) match; false when there is none.
    bool step(int direction);
    bool replaceCurrent();
    int replaceAll();

    // The bar's state, as it shows it.
    QString findText() const;
    QString countText() const;
    int matchCount() const { return int(m_matches.size()); }
    const imcFindMatch* current() const;
    void setAllSheets(bool all);
    void setReplaceText(const QString& text);

  signals:
    // Escape or Close hid the bar.
    void closed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void closeBar();
    void search();
    void showCount();
    int positionOf(const imcFindMatch& m) const;

    cmcGTex& m_texts;
    Host m_host;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_all = nullptr;
    QLabel* m_count = nullptr;
    std::vector<imcFindMatch> m_matches;
    int m_current = -1;
    bool m_hasLast = false;
    imcFindMatch m_last; // the match shown last
};
