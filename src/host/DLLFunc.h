#pragma once
// The module's entry: the one export the shell calls, and the two module-wide
// class references that decide which controller and which window it produces.
#include <string>

#include "platform/classes/TypeInfo.h"
#include "src/host/DLLBaseCtrller.h"

// Creates a controller; the module sets it in its initialisation.
using TDLLControllerClass = TDLLBaseController* (*)();
extern TDLLControllerClass DLLControllerClass;
// The program window class the controller creates on its first OpenForm; must
// derive from TfrmRadical. The module's start-up step sets it.
extern const TClassInfo* frmRadicalClass;

// Full path of the module file, recorded by the module's start-up step; the
// controller hands it to the window as its ModulePath.
const std::string& ModuleFileName();
void SetModuleFileName(std::string path);

// The internal errors of a module whose class references are not set.
extern const char* const ErrNoControllerClass;
extern const char* const ErrNoFormClass;

// Returns a new, independent controller owned by the caller. Raises Exception
// (ErrNoControllerClass) when no controller class is set. Each module exports it
// as `GetController` (C linkage) from its own start-up unit.
TDLLBaseController* CreateController();
