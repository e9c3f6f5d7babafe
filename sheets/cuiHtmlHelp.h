#pragma once
// The help: HTML topics in a folder beside the program, shown by a browser window of the
// program's own. The whole help file opens from the menu; one topic opens by its context
// number (help for a cell, F1) in a small pop-up window placed at the mouse pointer.
// Context numbers map to topics (the topic is the page's file name) through the help
// table's "GI_AppItem_Context_ID" list. Failures are reported in the words of
// "GI_Sys_HtmlHelp_Error": line 0 (with the file name) when the file is missing, line 1
// when the file has no topic of that number.
// Help in another language lies in a folder below the English help (help/de/ beside
// help/): a page that folder lacks is taken from the folder above it, so a language's help
// may be incomplete.

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTextBrowser>

class QWidget;

class cuiHtmlHelp {
  public:
    enum Result { Shown = 0, NoFile = 1, NoTopic = 2, NoViewer = 3 };

    explicit cuiHtmlHelp(QWidget* owner = nullptr) : m_owner(owner) {}
    ~cuiHtmlHelp();

    // Opens the help file in the help window; reports and returns NoFile when it is missing.
    int ShowHelpFile(const QString& file);
    // Opens the topic of a context number in the pop-up window at the pointer.
    int ShowHelpContext(const QString& file, int context);

    // The page to show for file: file itself, or, when it is missing, the page of that name
    // in the folder above (the English help); empty when neither exists.
    static QString resolvePage(const QString& file);

    // The topic page (file name relative to the help file's folder) of a context number;
    // empty when the help table names none.
    static QString topicOf(int context);
    // Where the pop-up of size goes for the pointer at cursor in the work area: centred on
    // the pointer with its top there, above the pointer when it would pass the bottom (or
    // against the bottom when it does not fit above), against the right edge when it
    // would pass it, never left of the work area.
    static QRect popupPlace(const QSize& size, const QPoint& cursor, const QRect& workArea);

    QTextBrowser* helpWindow() const { return m_window.data(); }
    QTextBrowser* popupWindow() const { return m_popup.data(); }

  private:
    void report(int result, const QString& file);

    QWidget* m_owner;
    QPointer<QTextBrowser> m_window;
    QPointer<QTextBrowser> m_popup;
};
