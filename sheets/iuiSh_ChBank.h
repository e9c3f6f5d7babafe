#pragma once
// The memory-channel bank sheet on screen: the bank layout (iuiSh_ChBankLayout), which
// adds and removes rows on events 38 and 39 without a rebuild, and answers question 35
// with its bank and first channel.

#include "cuiSheet.h"
#include "iuiSh_ChBankLayout.h"

class iuiSh_ChBank : public cuiSheet {
  public:
    static constexpr int MatrixRows = iuiSh_ChBankLayout::MatrixRows;
    static constexpr int ChannelsPerBank = iuiSh_ChBankLayout::ChannelsPerBank;

    iuiSh_ChBank(QWidget* owner, cmcGTex& table);

    void Build() override;

    int bank() const { return bankLayout().bank(); }
    int firstChannel() const { return bankLayout().firstChannel(); }
    int channelCount() const { return bankLayout().channelCount(); }
    int loopRow() const { return bankLayout().loopRow(); }

    static int bankChannels(int bank) { return iuiSh_ChBankLayout::bankChannels(bank); }
    static int bankFirstChannel(int bank) { return iuiSh_ChBankLayout::bankFirstChannel(bank); }

  protected:
    void onEvent(const cmcEvent* event) override;

  private:
    iuiSh_ChBankLayout& bankLayout() const { return static_cast<iuiSh_ChBankLayout&>(*m_layout); }
    void addRow();
    void removeRow();
};
