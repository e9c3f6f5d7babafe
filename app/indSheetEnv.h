#pragma once
// The sheets' view of this application: the maker mode, the user's font scale, the
// repeater site table of the working image and the settings store's generic operations
// for the column widths that sheets keep.

#include "cuiSheetEnv.h"

class indEnviron;
class indMain;

class indSheetEnv : public cuiSheetEnv {
  public:
    indSheetEnv(indMain& controller, indEnviron& settings);
    bool makerMode() const override;
    int sheetFontScale() const override;
    void cellHelp(int32_t label) override;
    int repeaterRows(int site) const override;
    int repeaterFirstRow(int site) const override;
    int repeaterFreeRows(int site) const override;
    bool readInt(const QString& path, const QString& name, int& value) override;
    void writeInt(const QString& path, const QString& name, int value) override;
    void deleteKey(const QString& path) override;

  private:
    indMain& m_controller;
    indEnviron& m_env;
};
