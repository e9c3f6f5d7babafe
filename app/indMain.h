#pragma once
// The application controller of the QX-T5200: the model's parameters and the document
// operations (New, Open, Save, Save As and the save-changes prompt), the initial data, the
// identity checks of images and clone files, the maker-mode switch of the command line,
// the hidden version display and help-context lookups.

#include "cmcIcfFile.h"
#include "cuiMain.h"

#include <QString>
#include <QStringList>

class indMain : public cuiMain {
    Q_OBJECT
public:
    // Model parameters.
    static constexpr const char* ModelShortName = "QXT5200";
    static constexpr int ImageSize = 65520;
    static constexpr uint32_t ModelCode = 0x7041;
    static constexpr int ModelRevision = 1;
    static constexpr int32_t MapEnd = 0xAA5F;
    // The command-line switch that turns the maker mode on (compared lower-cased).
    static constexpr const char* MakerSwitch = "/factory";

    explicit indMain(indEnviron& environ, const QString& dataDir = QString());
    ~indMain() override;

    // Document operations.
    void New();
    // From the Open dialog (empty path) or with a path; false when cancelled or failed.
    bool Open(const QString& path = QString());
    bool Save(const QString& path);
    bool SaveAs();
    // 6 proceed (saved or not modified), 7 proceed without saving, 2 cancel.
    int SaveChangesPrompt(bool writeAnother = false);
    // The main form asks before it closes: false keeps it open. Stores the placement.
    bool CloseQuery();

    QString documentFile() const { return m_docFile; }
    // The document's path: its file, or the current directory + "Untitled".
    QString documentPath() const;
    QString documentTitle() const override;

    // Identity of images and files.
    int CheckImageIdentity(const cmcEeprom& image, bool checkMakerText) const override;
    bool ModelIdentityCompare(uint32_t modelCode, uint32_t revision, int* error) const;
    static bool AcceptMapRevision(int32_t value) { return value == 2 || value == 1; }
    // The address ranges of a purpose (ended by {1, 0}).
    static const cmcAdrRange* Range(int purpose);

    void PrepareImage(cmcEeprom& image, bool forSaving) override;
    bool LoadInitialData(int modelIndex) override;

    // Command line: every argument equal to the maker switch (lower-cased) asks to turn the
    // maker mode on.
    void CheckCommandLine(const QStringList& arguments);
    bool makerMode() const { return m_makerMode; }
    void ActivateMakerMode();

    // The hidden version display: fed with the characters typed in the About box.
    void KeyTyped(QChar c) override;
    static QString VersionText();

    // Help context number of a cell label name (0 when none).
    int HelpContext(const QString& labelName);

signals:
    // The hidden version display was triggered (tests watch it; the box is shown too).
    void versionShown();

private:
    void takeOpenedImage(const cmcEeprom& image, const QString& path);
    void rememberFile(const QString& path);
    QString appTitle() const;

    QString m_docFile;
    bool m_makerMode = false;
    QString m_typed;
};
