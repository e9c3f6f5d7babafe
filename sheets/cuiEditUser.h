#pragma once
// The edit user of the editor's sheets: a row command's question (OK/Cancel) and a refused
// edit's error go to the user through the prompt service, with the program's title as
// caption; what the edit did shows on the status line (in the window-text colour on the
// button face), and the rows it changed are repainted, both through the event bus. The sheets' cell
// source installs it on its dispatcher (cuiDispatchSource).

#include "cmcEditUser.h"

class cuiEditUser : public cmcEditUser {
  public:
    bool confirm(const QString& key) override;
    void tell(const QString& key, const QStringList& details = {}) override;
    void report(const cmcEditReport& report) override;
};
