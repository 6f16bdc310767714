#include "src/host/DLLMTCtrller.h"

#include "platform/core/Strings.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "src/forms/RadicalCF.h"
#include "src/host/DLLFunc.h"
#include "src/server/Brokers.h"

namespace {
// The only work-center version this module works with.
constexpr int64_t kDependencyVersion = 8000;
constexpr const char* kProgramTooOld = "This program's version is too old, please update.";
constexpr const char* kWorkCenterTooOld = "KestrinWorkCenter version too old,please update.";
constexpr const char* kWorkCenterCheckFailed = "KestrinWorkCenter version too old,please update!";

// The controller unit's initialisation: this module's controllers are TDLLMTCtrller.
const bool controllerClassSet = [] {
    DLLControllerClass = &TDLLMTCtrller::Create;
    return true;
}();
}  // namespace

TDLLBaseController* TDLLMTCtrller::Create() { return new TDLLMTCtrller(); }

TDLLMTCtrller::~TDLLMTCtrller() {
    if (form_) FreeForm(0);
}

std::string TDLLMTCtrller::GetFormText() { return form_ ? form_->ResultText : std::string(); }

LongBool TDLLMTCtrller::GetVisible() { return form_ && form_->Visible() ? LongTrue : 0; }

void TDLLMTCtrller::SetVisible(WordBool visible) {
    if (!form_) return;
    if (visible) {
        if (form_->WindowState() == TWindowState::wsMinimized) form_->SetWindowState(TWindowState::wsNormal);
        form_->Show();   // showing activates it: the top of the window order
    } else {
        form_->Hide();
    }
}

intptr_t TDLLMTCtrller::GetHandle() { return form_ ? form_->Handle() : 0; }

void TDLLMTCtrller::CheckVersion() {
    try {
        if (kDependencyVersion < WorkCenter.Get("DependencyVersion").AsInteger()) {
            ShowMessage(kProgramTooOld);
            throw Exception(kProgramTooOld);
        }
        if (kDependencyVersion > WorkCenter.Get("DependencyVersion").AsInteger()) {
            ShowMessage(kWorkCenterTooOld);
            throw Exception(kWorkCenterTooOld);
        }
    } catch (const std::exception& e) {
        ShowMessage(kWorkCenterCheckFailed);
        throw Exception(std::string(kWorkCenterCheckFailed) + e.what());
    }
}

void TDLLMTCtrller::InstallRelays() {
    // A second OpenForm must not keep the relays themselves as the "own" handlers:
    // each relay would then call itself. Keep the window's handlers only once.
    if (!relaysInstalled_) {
        SavedOnShow = form_->OnShow;
        SavedOnHide = form_->OnHide;
        SavedOnDestroy = form_->OnDestroy;
        SavedOnClose = form_->OnClose;
        relaysInstalled_ = true;
    }
    form_->OnShow = [this](TObject* sender) { DoFormShow(sender); };
    form_->OnHide = [this](TObject* sender) { DoFormHide(sender); };
    form_->OnDestroy = [this](TObject* sender) { DoFormDestroy(sender); };
    form_->OnClose = [this](TObject* sender, TCloseAction& action) { DoFormClose(sender, action); };
}

int32_t TDLLMTCtrller::OpenForm(const Variant& params) {
    int32_t result = -1;
    if (!form_) {
        if (!frmRadicalClass) throw Exception(ErrNoFormClass);
        TComponent* created = frmRadicalClass->Create(nullptr);
        form_ = dynamic_cast<TfrmRadical*>(created);
        if (!form_) {
            delete created;
            throw Exception(std::string(ErrNoFormClass) + " (" + frmRadicalClass->Name() + ")");
        }
        relaysInstalled_ = false;
        form_->SetModulePath(ModuleFileName());
        CheckVersion();
        form_->Brokers()->WorkCenter = WorkCenter;
        DoFormCreated();
    }
    InstallRelays();
    if (form_->OpenProgram(params)) result = 0;
    return result;
}

int32_t TDLLMTCtrller::SetCondition(const Variant& condition) {
    if (!form_ || !condition.IsArray()) return -1;
    try {
        const Variant& item = condition[1];
        if (item.IsArray() && item.Count() > 0) {
            form_->Condition = item[item.LowBound()].AsString();
            form_->ConditionParam = item[item.LowBound() + 1];
        } else {
            form_->Condition = item.AsString();
        }
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

uint8_t TDLLMTCtrller::OpenModeOf(int32_t hostMode, bool& keepsValue) noexcept {
    keepsValue = hostMode == 7 || hostMode == 8 || hostMode == 10;
    switch (hostMode) {
        case 1: case 2: case 3: case 4: case 5: case 7: case 8: return static_cast<uint8_t>(hostMode);
        case 10: return 9;
        case 12: return 10;
        case 13: return 11;
        default: return 0;
    }
}

int32_t TDLLMTCtrller::SetOpenMode(int32_t mode, int32_t flags, const Variant& value) {
    if (!form_) return -1;
    for (int i = 0; i < 8; ++i)
        if ((flags & (1 << i)) == 0) form_->CommandFlags &= static_cast<uint16_t>(~HostFlagBits[i]);
    form_->ApplyCommandFlags();
    bool keepsValue;
    form_->OpenMode = OpenModeOf(mode, keepsValue);
    if (keepsValue) form_->OpenValue = value;
    return 0;
}

void TDLLMTCtrller::ShowModalForm(Variant& value) {
    if (!form_) return;
    form_->ShowModal();
    if (form_) value = form_->ReturnValue;
    FreeForm(0);
}

void TDLLMTCtrller::FreeForm(int32_t silent) {
    if (!form_ || form_->Destroying()) return;
    if (silent == 0) {
        TCloseAction action = TCloseAction::caHide;
        DoFormClose(form_, action);
    }
    if (form_) form_->Free();
}

int32_t TDLLMTCtrller::GetSessionInfo(Variant& info) {
    if (!form_) return -1;
    TBrokers* b = form_->Brokers();
    info = Variant::ArrayOf({b->UserID, b->CompanyID, UpperCase(b->ProgramID), b->ProgramName});
    return 0;
}

bool TDLLMTCtrller::IsFormFree() { return form_ == nullptr; }

void TDLLMTCtrller::DoFormShow(TObject* sender) {
    if (SavedOnShow) SavedOnShow(sender);
    TDLLBaseController::DoFormShow(sender);
}

void TDLLMTCtrller::DoFormHide(TObject* sender) {
    if (SavedOnHide) SavedOnHide(sender);
    TDLLBaseController::DoFormHide(sender);
}

void TDLLMTCtrller::DoFormDestroy(TObject* sender) {
    if (form_) {
        ReturnCode = form_->ReturnCode;
        ReturnValue = form_->ReturnValue;
        if (SavedOnDestroy) SavedOnDestroy(sender);
        TDLLBaseController::DoFormDestroy(sender);
    }
    form_ = nullptr;
}

void TDLLMTCtrller::DoFormClose(TObject* sender, TCloseAction& action) {
    if (SavedOnClose) SavedOnClose(sender, action);
    TDLLBaseController::DoFormClose(sender, action);
}
