// The host side of the device's power (power.h).
#include "host/power.h"

#include <winbase.h>

#include "kernel/power/power_manager.h"

namespace tovarin::kernel::power {

void SetExternalPower(bool online) {
    CurrentPowerManager()->SetExternalPower(online);
}

bool ExternalPower() {
    return CurrentPowerManager()->Status().ACLineStatus == AC_LINE_ONLINE;
}

bool SetSystemPowerState(std::wstring_view name) {
    return CurrentPowerManager()->EnterState(name);
}

SystemPowerState CurrentSystemPowerState() {
    return CurrentPowerManager()->State();
}

}  // namespace tovarin::kernel::power
