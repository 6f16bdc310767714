#include "src/host/DLLFunc.h"

TDLLControllerClass DLLControllerClass = nullptr;
const TClassInfo* frmRadicalClass = nullptr;

namespace {
std::string& ModulePathStore() {
    static std::string path;
    return path;
}
}  // namespace

const std::string& ModuleFileName() { return ModulePathStore(); }
void SetModuleFileName(std::string path) { ModulePathStore() = std::move(path); }

const char* const ErrNoControllerClass = "QVN DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible";
const char* const ErrNoFormClass = "QVN DLL Internal Error :\rNot Assign \"frmRadicalClass\" varible";

TDLLBaseController* CreateController() {
    if (!DLLControllerClass) throw Exception(ErrNoControllerClass);
    return DLLControllerClass();
}
