#pragma once
// The small modal dialogs that choose the link: COM port, TCP address and TCP port. Each
// holds a notice, one edit box and OK / Cancel; its texts come from the text table under a
// key stem ("GI_AppInd_Opt_ComSel" and so on). OK keeps the dialog open with an error box
// until the text passes the dialog's acceptance rule. Off Windows the COM port dialog also
// lists the serial devices by their port numbers ("COM2 (/dev/ttyUSB0)"); choosing one
// fills the box.

#include <QDialog>
#include <QString>

class QLineEdit;
class QListWidget;
class QPushButton;

class cuiLinkDialog : public QDialog {
  public:
    enum Kind { ComPort, TcpAddress, TcpPort };

    cuiLinkDialog(Kind kind, const QString& current, QWidget* owner);

    Kind kind() const { return m_kind; }
    QLineEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The list of serial devices (COM port dialog off Windows), else null.
    QListWidget* portList() const { return m_ports; }
    // The accepted value: the port number (COM, TCP) or the address text.
    int acceptedNumber() const { return m_number; }
    QString acceptedText() const { return m_text; }

    // The text-table key stem of a kind.
    static QString keyStem(Kind kind);

  private:
    void tryAccept();

    Kind m_kind;
    QLineEdit* m_edit = nullptr;
    QListWidget* m_ports = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_number = 0;
    QString m_text;
};
