#pragma once
// `TfrmRadical`: the base class of every program window. It takes the session
// from the host controller, derives its program id from the module file name,
// owns the broker, and keeps what the controller hands over: condition, open
// mode and value, command flags, and the results it hands back.
#include <bitset>
#include <cstdint>
#include <string>

#include "src/forms/QVForm.h"
#include "src/server/Brokers.h"

class TfrmRadical : public TQVForm, public IBrokersOwner {
    VELMORA_CLASS(TfrmRadical)
public:
    explicit TfrmRadical(TComponent* owner);
    ~TfrmRadical() override;

    // Members in the order the framework declares them.
    int DateFormatType = 1;
    std::string DateSeparator;
    std::string ResultText;        // returned by the controller's GetFormText
    std::bitset<64> Rights;        // the user's rights for this program, elements 0..63
    uint16_t CommandFlags = 511;   // 9 bits: 1 add, 2 edit, 4 query, 8 delete, 16 print; 256 never cleared
    uint8_t SqlType = 0;
    Variant HostContext;
    std::string Condition;
    Variant ConditionParam;
    uint8_t OpenMode = 0;
    std::string ReportSection;
    intptr_t HostWindow = 0;
    std::string GroupList;
    Variant OpenValue;
    Variant ReturnValue;
    int32_t ReturnCode = 0;

    TBrokers* Brokers() const noexcept { return brokers_; }

    const std::string& ModulePath() const noexcept { return modulePath_; }
    void SetModulePath(const std::string& path) { modulePath_ = path; }
    // Hosted: ModulePath names a library (not ".exe"); without ModulePath, the running
    // executable's name contains "KESTRIN" (otherwise ModulePath becomes that name).
    bool IsHosted();
    // The module file name up to the last digit before its first ".", upper-cased:
    // "TOVI58.dll" and "TOVI58A.dll" give "TOVI58"; no digit gives "".
    std::string ProgramId() const;

    // Opens the program with the session parameter array; true when it opened.
    virtual bool OpenProgram(const Variant& params);
    // Refreshes the enabled commands after CommandFlags changed.
    virtual void ApplyCommandFlags();

    // The rights every window starts with: elements 0..14 and 22..59.
    static std::bitset<64> InitialRights();

    // The lookup hand-over with the broker: 0 normal; 1 while a lookup combo box
    // asks for the lookup's parameters (the broker stores them in LookupParams);
    // 2 while it hands back the chosen row (LookupReturn answers the lookup).
    uint8_t LookupState() const override { return lookupState_; }
    void SetLookupState(uint8_t state) { lookupState_ = state; }
    const Variant& LookupParams() const noexcept { return lookupParams_; }
    void SetLookupParams(const Variant& params) override { lookupParams_ = params; }
    const Variant& LookupReturn() const override { return lookupReturn_; }
    void SetLookupReturn(const Variant& row) { lookupReturn_ = row; }
    bool HasRight(int element) const override;

    // The code-page settings of the window's converter.
    std::string UICodePage() const override;
    std::string SysCodePage() const override;
    uint8_t UIConvertMode() const override;
    std::string ProgramTextToUI(const std::string& text) const override;
    std::string WindowCaption() const override { return Caption(); }
    intptr_t WindowHandle() const override { return Handle(); }
    // Runs after every message the broker shows; nothing here.
    void AfterMessage() override {}

private:
    TBrokers* brokers_;
    std::string modulePath_;
    uint8_t lookupState_ = 0;
    Variant lookupParams_;
    Variant lookupReturn_;
};
