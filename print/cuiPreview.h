#pragma once
// The print preview: one window showing the rendered pages one at a time, with page
// navigation, a zoom toggle, the print font setting and the request to print.

#include <QDialog>
#include <QImage>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

// One page of the page store: the page image packed (pages are mostly white, so a packed
// page takes a small part of its pixels' memory).
struct dst_Preview {
    QSize size;
    qsizetype bytesPerLine = 0;
    QImage::Format format = QImage::Format_Invalid;
    QByteArray packed;
};

class cuiPreview : public QDialog {
    Q_OBJECT
  public:
    // render hands every page to the sink, in order (again after the font setting
    // changed); fontSize and setFontSize read and store the print font size in points.
    using PageSink = std::function<void(const QImage&)>;
    using Render = std::function<void(const PageSink&)>;
    cuiPreview(QWidget* parent, const QString& caption, Render render,
               std::function<int()> fontSize, std::function<void(int)> setFontSize);
    ~cuiPreview() override;

    // Renders every page again and shows the current page (clamped).
    void renderPages();
    int pageCount() const { return int(m_pages.size()); }
    int page() const { return m_page; }
    int lastPage() const { return m_last; }
    QImage pageImage(int index) const;
    // Memory of the page store.
    qint64 storeBytes() const;
    void goToPage(int index);
    bool printRequested() const { return m_print; }
    bool zoomed() const;
    QString statusText() const;

    // The "Setting" dialog (modal) and what its OK does with the chosen entry (0 = 8 pt).
    void openSetting();
    void applySetting(int entry);

    QToolButton* topButton() const { return m_top; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* lastButton() const { return m_lastButton; }
    QToolButton* zoomButton() const { return m_zoom; }
    QToolButton* settingButton() const { return m_setting; }
    QToolButton* printButton() const { return m_printButton; }
    QLineEdit* pageEdit() const { return m_edit; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showPage();
    void fitImage();

    std::vector<dst_Preview> m_pages;
    int m_page = 0;
    int m_last = 0;
    bool m_print = false;
    Render m_render;
    QImage m_shown; // the current page, unpacked
    std::function<int()> m_fontSize;
    std::function<void(int)> m_setFontSize;

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
