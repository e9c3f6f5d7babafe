#pragma once
// The print preview: one window showing the pages one at a time, with page navigation, a
// zoom toggle, the print font setting and the request to print. A page is drawn when it is
// shown, at the size it is shown at (the window's page area, or the zoomed size) in the
// screen's device pixels, so that it is sharp; the few pages drawn last are kept.

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QSizeF>
#include <deque>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

// The pages a preview shows: laid out by the printing side, drawn on demand.
class cuiPreviewPages {
  public:
    virtual ~cuiPreviewPages() = default;
    // Lays the pages out (again after the print font changed); returns their count.
    virtual int layOut() = 0;
    // The paper's width and height in inches.
    virtual QSizeF paperInches() const = 0;
    // Page index drawn on white paper filling size (device pixels).
    virtual QImage draw(int index, const QSize& size) = 0;
};

class cuiPreview : public QDialog {
    Q_OBJECT
  public:
    // Pages are shown zoomed at this many pixels (of the layout, before the screen's
    // device pixel ratio) per inch of paper.
    static constexpr int ZoomDpi = 150;
    // Pages kept once drawn: the one on show and the ones just left.
    static constexpr int KeptPages = 3;

    // pages is not owned and outlives the preview; fontSize and setFontSize read and store
    // the print font size in points.
    cuiPreview(QWidget* parent, const QString& caption, cuiPreviewPages& pages,
               std::function<int()> fontSize, std::function<void(int)> setFontSize);
    ~cuiPreview() override;

    // Lays the pages out again and shows the current page (clamped).
    void renderPages();
    int pageCount() const { return m_count; }
    int page() const { return m_page; }
    int lastPage() const { return m_last; }
    // The page on show as drawn (device pixels), null when there is none.
    QImage shownImage() const { return m_shown.toImage(); }
    // The size in device pixels the page on show is drawn at: fitted to the page area, or
    // the paper at ZoomDpi when zoomed.
    QSize pageSize() const;
    // Memory of the drawn pages kept (the label shows one of them).
    qint64 keptBytes() const;
    void goToPage(int index);
    bool printRequested() const { return m_print; }
    bool zoomed() const;
    QString statusText() const;

    // The "Setting" dialog (modal) and what its OK does with the chosen entry (0 = 8 pt).
    void openSetting();
    void applySetting(int entry);
    // Offers "only the rows in use" in the Setting dialog: read and store the choice.
    void setUsedRowsOption(std::function<bool()> get, std::function<void(bool)> set) {
        m_usedRows = std::move(get);
        m_setUsedRows = std::move(set);
    }

    QToolButton* topButton() const { return m_top; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* lastButton() const { return m_lastButton; }
    QToolButton* zoomButton() const { return m_zoom; }
    QToolButton* settingButton() const { return m_setting; }
    QToolButton* printButton() const { return m_printButton; }
    QLineEdit* pageEdit() const { return m_edit; }
    QLabel* pageLabel() const { return m_image; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Drawn {
        int index;
        QSize size;
        QPixmap pixmap;
    };
    // The page at size: kept or drawn now (then kept, the oldest dropped).
    QPixmap drawn(int index, const QSize& size);
    void showPage();

    cuiPreviewPages& m_pages;
    int m_count = 0;
    int m_page = 0;
    int m_last = 0;
    bool m_print = false;
    std::deque<Drawn> m_kept; // most recent first; the label shows one of them
    QPixmap m_shown;
    std::function<int()> m_fontSize;
    std::function<void(int)> m_setFontSize;
    std::function<bool()> m_usedRows;
    std::function<void(bool)> m_setUsedRows;

    QToolButton* m_top = nullptr;
    QToolButton* m_previous = nullptr;
    QLineEdit* m_edit = nullptr;
    QLabel* m_countLabel = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_lastButton = nullptr;
    QToolButton* m_zoom = nullptr;
    QToolButton* m_setting = nullptr;
    QToolButton* m_printButton = nullptr;
    QScrollArea* m_area = nullptr;
    QLabel* m_image = nullptr;
    QLabel* m_status = nullptr;
};
