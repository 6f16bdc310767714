#include "src/language/FixWideCharCodepage.h"

#include "platform/core/Registry.h"
#include "platform/text/CodePage.h"

bool WideCharFixWanted(int systemCodePage) {
    if (systemCodePage != cpBig5) return false;
    const auto useKBig5 = VelmoraRegistryValue("UseKBIG5");
    return !useKBig5 || *useKBig5 != "0";
}

bool SwitchWideCharFixOn(int systemCodePage) {
    if (!WideCharFixWanted(systemCodePage)) return false;
    SetExtendedBig5Mapping(true);
    return true;
}

void SwitchWideCharFixOff() { SetExtendedBig5Mapping(false); }
