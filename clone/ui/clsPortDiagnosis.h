#pragma once
// Why a serial device did not open, in plain words: missing device, no permission (with
// the hint about the dialout group), in use by another program. Shown below the clone
// error message when a serial link fails to open.

#include <QString>

class clsPortDiagnosis {
  public:
    enum Reason { Unknown = 0, NoDevice = 1, Missing, Permission, Busy, Other };

    // The reason the port's device does not open now (Unknown when it opens).
    static Reason reason(int port, QString* device = nullptr, QString* detail = nullptr);
    // The sentence for a port, from the text table's "GI_Mess_CloneErr_Device" items.
    static QString explain(int port);
};
