#pragma once
// `TDLLMTCtrller`: the controller of this framework's program windows. It owns at
// most one window of the class in `frmRadicalClass`, relays the window's show,
// hide, close and destroy events to the shell, and translates the shell's open
// modes, command flags and conditions into the window's terms.
#include "src/host/DLLBaseCtrller.h"

class TfrmRadical;

class TDLLMTCtrller : public TDLLBaseController {
public:
    TDLLMTCtrller() = default;
    // A window still held is freed first (the shell hears 320, then 304).
    ~TDLLMTCtrller() override;

    std::string GetFormText() override;
    LongBool GetVisible() override;
    void SetVisible(WordBool visible) override;
    intptr_t GetHandle() override;
    // Creates the window on the first call (version check, 256), installs the relays
    // and opens the program. 0 when it opened, -1 otherwise; errors reach the caller.
    int32_t OpenForm(const Variant& params) override;
    int32_t SetCondition(const Variant& condition) override;
    int32_t SetOpenMode(int32_t mode, int32_t flags, const Variant& value) override;
    void ShowModalForm(Variant& value) override;
    void FreeForm(int32_t silent) override;
    int32_t GetSessionInfo(Variant& info) override;
    bool IsFormFree() override;

    void DoFormShow(TObject* sender) override;
    void DoFormHide(TObject* sender) override;
    void DoFormDestroy(TObject* sender) override;
    void DoFormClose(TObject* sender, TCloseAction& action) override;

    TfrmRadical* Form() const noexcept { return form_; }

    // The window's own handlers, kept while the relays stand in their place.
    TNotifyEvent SavedOnShow;
    TNotifyEvent SavedOnHide;
    TNotifyEvent SavedOnDestroy;
    TCloseEvent SavedOnClose;

    // Window command bits per host bit (host bit 1 << i clears window bit HostFlagBits[i]).
    static constexpr uint16_t HostFlagBits[8] = {1, 8, 4, 2, 16, 32, 64, 128};
    // The window's OpenMode for a host mode code, and whether the mode value is kept.
    static uint8_t OpenModeOf(int32_t hostMode, bool& keepsValue) noexcept;

    // Creates a controller (the module's controller class reference).
    static TDLLBaseController* Create();

private:
    void CheckVersion();
    void InstallRelays();
    TfrmRadical* form_ = nullptr;
    bool relaysInstalled_ = false;
};
