#pragma once
// The layout of the memory-channel bank sheet: one row per channel of a bank, built from a
// one-row loop body ("LoopFrom" without a count) so that each row addresses the next
// channel through its index and channel number 0. The matrix is padded to 510 rows so
// that rows can be added and removed without a rebuild. The columns of values the bank's
// type lacks have no width and nothing in them is selectable.

#include "cuiSheetLayout.h"

class iuiSh_ChBankLayout : public cuiSheetLayout {
  public:
    static constexpr int MatrixRows = 510;
    static constexpr int ChannelsPerBank = 500;

    using cuiSheetLayout::cuiSheetLayout;

    void SetArguments(const QString& arguments) override;
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

    // One more row (the next row of the padded matrix) or one less; false when the matrix
    // has no room or one row is left.
    bool addRow();
    bool removeRow();

    // Channel count of a bank: 500 for a valid bank number, 0 otherwise.
    static int bankChannels(int bank);
    // Sum of the channel counts of the valid banks below bank.
    static int bankFirstChannel(int bank);

  protected:
    int rowLimit() const override { return MatrixRows; }
    bool keepsRowSelect() const override { return true; }

  private:
    int m_bank = 0;
    int m_firstChannel = 0;
    int m_channelCount = 0;
    int m_loopRow = -1;
};
