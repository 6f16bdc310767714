// The module's start-up and its export. Loading the library runs the units'
// initialisation (the controller class is set by the controller unit), then this
// start-up step; unloading runs the clean-up in reverse.
#include <dlfcn.h>

#include "platform/db/Fields.h"
#include "src/host/DLLFunc.h"
#include "src/language/FixWideCharCodepage.h"
#include "src/lib/LibSys.h"

namespace {

__attribute__((constructor)) void ModuleStartUp() {
    // Stored window and data-module definitions name these field classes.
    RegisterFieldClasses();
    // Big5 pairs outside the standard table must survive conversions on a 950 system.
    SwitchWideCharFixOn(SystemCodePage());
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleStartUp), &info) && info.dli_fname) SetModuleFileName(info.dli_fname);
}

__attribute__((destructor)) void ModuleShutDown() {
    SwitchWideCharFixOff();
    UnregisterFieldClasses();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TDLLBaseController* GetController() { return CreateController(); }
