#pragma once
// Connects sheets to the model's cell dispatcher: display texts come from a read request,
// typed keys, double clicks, menu commands and the in-place editor's text become edit
// requests, and the dispatcher's edit status tells the sheet to open the editor. The
// application installs one over its working image as the global cell source.
//
// The source also answers for the user: it installs its edit user (cuiEditUser) on a
// dispatcher that has none, and takes it off again when it goes.

#include "cuiCellSource.h"
#include "cuiEditUser.h"

class cmcCellDispatch;

class cuiDispatchSource : public cuiCellSource {
  public:
    explicit cuiDispatchSource(cmcCellDispatch* dispatch);
    ~cuiDispatchSource() override;
    cuiDispatchSource(const cuiDispatchSource&) = delete;
    cuiDispatchSource& operator=(const cuiDispatchSource&) = delete;

    // The command of F1 on a cell (the key code times 256): the cell's help.
    static constexpr int HelpKeyCode = 0x7000;

    cuiCellView view(const cuiCell& cell, bool selected, bool printing) override;
    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override;
    void menuState(cuiCell& cell, const cuiCell* owner) override;
    bool choose(const cuiCell& cell, int kind, int64_t value) override;
    bool rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) override;
    void activate(const cuiCell& cell, const cuiCell* owner) override;

    cmcCellDispatch* dispatch() const { return m_dispatch; }

  private:
    cmcCellDispatch* m_dispatch;
    cuiEditUser m_user; // on the dispatcher only while it had no user of its own
};
