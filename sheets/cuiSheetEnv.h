#pragma once
// What the sheets need from the layers above and beside them: the product's answers
// (radio kind, list sizes, capabilities, maker mode), the controller's print permission,
// the user's sheet font scale, the name tables of cells, and the settings store's three
// generic operations for stored column widths. The application installs its own
// environment; without one the defaults of this product apply and nothing is stored.

#include <QString>
#include <cstdint>

class cuiSheetEnv {
  public:
    enum Capability {
        CapPmr,
        CapTarn,
        CapLmrSystem,
        CapMdc,
        CapRepeater,
        CapP25,
        CapKcoop,
        CapLtr,
    };

    virtual ~cuiSheetEnv() = default;

    // Product answers. In this product the radio is not mobile, both lists are empty and
    // every capability is off.
    virtual bool isMobile() const { return false; }
    virtual bool isHandheld() const { return false; }
    virtual int talkgroupCount() const { return 0; }
    virtual int individualIdCount() const { return 0; }
    virtual bool hasCapability(Capability) const { return false; }
    virtual bool makerMode() const { return false; }
    // Bank-type capabilities A and B of a bank, and the product's bank count.
    virtual bool bankCapabilityA(int /*bank*/) const { return false; }
    virtual bool bankCapabilityB(int /*bank*/) const { return false; }
    virtual int bankCount() const { return 1; }
    // The repeater site table of a site: its rows in use, the list row of its first row,
    // and the rows still free for new entries.
    virtual int repeaterRows(int /*site*/) const { return 0; }
    virtual int repeaterFirstRow(int /*site*/) const { return 0; }
    virtual int repeaterFreeRows(int /*site*/) const { return 0; }

    // Whether the controller allows printing a sheet command.
    virtual bool mayPrint(const QString& /*command*/) const { return true; }
    // The user's sheet font scale in percent.
    virtual int sheetFontScale() const { return 100; }
    // Help for a cell (F1): the application opens the topic of the cell's label.
    virtual void cellHelp(int32_t /*label*/) {}

    // Cell name tables: the empty name gives "none" (49, 2011); an unknown name is fatal.
    virtual int32_t categoryByName(const QString& name) const;
    virtual int32_t labelByName(const QString& name) const;

    // Settings store, below the per-user key of the program. path like
    // "Display\Channel\colwidth".
    virtual bool readInt(const QString& /*path*/, const QString& /*name*/, int& /*value*/) {
        return false;
    }
    virtual void writeInt(const QString& /*path*/, const QString& /*name*/, int /*value*/) {}
    virtual void deleteKey(const QString& /*path*/) {}

    // The environment in use (a default one when none is installed).
    static cuiSheetEnv& current();
    // Installs env (not owned); nullptr restores the default.
    static void install(cuiSheetEnv* env);
};
