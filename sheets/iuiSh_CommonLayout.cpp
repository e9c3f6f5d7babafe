#include "iuiSh_CommonLayout.h"

#include "cuiSheetEnv.h"

void iuiSh_CommonLayout::ApplyDirective(const QString& directive) {
    const int space = directive.indexOf(' ');
    const QString word = space < 0 ? directive : directive.left(space);
    const QString arg = space < 0 ? QString() : directive.mid(space + 1).trimmed();
    const cuiSheetEnv& env = cuiSheetEnv::current();
    using C = cuiSheetEnv;
    bool keep = true;
    if (word == QLatin1String("Only_Pmr"))
        keep = env.hasCapability(C::CapPmr) || env.hasCapability(C::CapTarn);
    else if (word == QLatin1String("Only_Lmr"))
        keep = env.hasCapability(C::CapLmrSystem) || env.hasCapability(C::CapP25) ||
               env.hasCapability(C::CapLtr);
    else if (word == QLatin1String("Only_MDC"))
        keep = env.hasCapability(C::CapMdc);
    else if (word == QLatin1String("Only_TARN"))
        keep = env.hasCapability(C::CapTarn);
    else if (word == QLatin1String("Only_notTARN"))
        keep = !env.hasCapability(C::CapTarn);
    else if (word == QLatin1String("Only_Mob"))
        keep = env.isMobile();
    else if (word == QLatin1String("Only_Handy"))
        keep = env.isHandheld();
    else if (word == QLatin1String("Only_Repeater"))
        keep = env.hasCapability(C::CapRepeater);
    else if (word == QLatin1String("Only_P25"))
        keep = env.hasCapability(C::CapP25);
    else if (word == QLatin1String("Only_KCOOP"))
        keep = env.hasCapability(C::CapKcoop);
    else if (word == QLatin1String("Only_Analog"))
        keep = !env.hasCapability(C::CapP25);
    else if (word == QLatin1String("Only_Ltr"))
        keep = env.hasCapability(C::CapLtr);
    else if (word == QLatin1String("Only_Maker"))
        keep = env.makerMode();
    else if (word == QLatin1String("Never"))
        keep = false;
    else {
        cuiSheetLayout::ApplyDirective(directive);
        return;
    }
    bool ok = false;
    const int n = arg.toInt(&ok);
    if (ok && !keep) m_pass.skip = n > 0 ? n : 0;
}
