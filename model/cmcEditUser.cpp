#include "cmcEditUser.h"

namespace {

class UnattendedUser : public cmcEditUser {
  public:
    bool confirm(const QString&) override { return false; }
    void tell(const QString&, const QStringList&) override {}
    void report(const cmcEditReport&) override {}
};

} // namespace

cmcEditUser& cmcEditUser::unattended() {
    static UnattendedUser user;
    return user;
}
