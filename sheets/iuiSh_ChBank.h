#pragma once
// The memory-channel bank sheet: one row per channel of a bank, built from a one-row loop
// body ("LoopFrom" without a count) so that each row addresses the next channel through
// its index and channel number 0. The matrix is padded to 510 rows so that rows can be
// added and removed (events 38 and 39) without a rebuild.

#include "cuiSheet.h"

class iuiSh_ChBank : public cuiSheet {
  public:
    static constexpr int MatrixRows = 510;
    static constexpr int ChannelsPerBank = 500;

    iuiSh_ChBank(QWidget* owner, cmcGTex& table);

    void SetArguments(const QString& arguments) override;
    void Build() override;
    void ApplyDirective(const QString& directive) override;
    void BuildCells() override;
    void FillCells(const QString& key) override;
    void OnRowBuilt(int row) override;
    QString GetTitle() override;
    bool IsPrintable() override;

    int bank() const { return m_bank; }
    int firstChannel() const { return m_firstChannel; }
    int channelCount() const { return m_channelCount; }
    int loopRow() const { return m_loopRow; }

    // Channel count of a bank: 500 for a valid bank number, 0 otherwise.
    static int bankChannels(int bank);
    // Sum of the channel counts of the valid banks below bank.
    static int bankFirstChannel(int bank);

  protected:
    bool keepsRowSelect() const override { return true; }
    void onEvent(const cmcEvent* event) override;

  private:
    void addRow();
    void removeRow();

    int m_bank = 0;
    int m_firstChannel = 0;
    int m_channelCount = 0;
    int m_loopRow = -1;
};
