#pragma once
// The contract between the client shell and a program module: the controller the
// shell drives. The shell reads and writes the members directly and calls the
// operations in slot order, so both orders are part of the contract: the 18
// operations are the first 18 virtual functions (the destructor comes after them),
// and the members are declared in the order WorkCenter, ReturnCode, ReturnValue,
// OnNotify.
//
// Errors cross the boundary as C++ exceptions derived from `Exception`: the shell
// and the module share the platform libraries.
#include <cstdint>

#include "platform/core/Variant.h"
#include "platform/vcl/Form.h"

// Event codes passed to OnNotify.
constexpr int32_t NOTIFY_FORM_CREATED = 0x100;   // 256: window created, version check passed
constexpr int32_t NOTIFY_FORM_SHOW = 0x110;      // 272
constexpr int32_t NOTIFY_FORM_HIDE = 0x120;      // 288
constexpr int32_t NOTIFY_FORM_DESTROY = 0x130;   // 304: ReturnCode and ReturnValue are filled
constexpr int32_t NOTIFY_FORM_CLOSE = 0x140;     // 320

// Booleans of the contract: 32-bit with all bits set for true, 16-bit with any
// bit set for true.
using LongBool = int32_t;
using WordBool = int16_t;
constexpr LongBool LongTrue = -1;

class TDLLBaseController;

// The shell's callback: a code pointer and the context it was bound with.
struct TNotifyCallback {
    void (*Code)(void* context, int32_t code, TDLLBaseController* sender) = nullptr;
    void* Context = nullptr;
    bool Assigned() const noexcept { return Code != nullptr; }
};

class TDLLBaseController {
public:
    // Slots 0 to 10: the operations on the window. The base class has none.
    virtual std::string GetFormText() = 0;                                        // 0
    virtual LongBool GetVisible() = 0;                                            // 1
    virtual void SetVisible(WordBool visible) = 0;                                // 2
    virtual intptr_t GetHandle() = 0;                                             // 3
    virtual int32_t OpenForm(const Variant& params) = 0;                          // 4
    virtual int32_t SetCondition(const Variant& condition) = 0;                   // 5
    virtual int32_t SetOpenMode(int32_t mode, int32_t flags, const Variant& value) = 0;   // 6
    virtual void ShowModalForm(Variant& value) = 0;                               // 7
    virtual void FreeForm(int32_t silent) = 0;                                    // 8
    virtual int32_t GetSessionInfo(Variant& info) = 0;                            // 9
    virtual bool IsFormFree() = 0;                                                // 10
    // Slots 11 to 17: event reporting, implemented here.
    virtual void DoFormCreated();                                                 // 11: sends 256
    virtual void DoFormShow(TObject* sender);                                     // 12: sends 272
    virtual void DoFormHide(TObject* sender);                                     // 13: sends 288
    virtual void DoFormDestroy(TObject* sender);                                  // 14: sends 304
    virtual void DoFormClose(TObject* sender, TCloseAction& action);              // 15: sends 320
    virtual void Notify(int32_t code);                                            // 16: OnNotify(code, this) when set
    virtual void Reserved();                                                      // 17: does nothing

    virtual ~TDLLBaseController();

    Variant WorkCenter;            // the work-center automation object, set by the shell
    int32_t ReturnCode = 0;        // the window's results, copied when it is destroyed
    Variant ReturnValue;
    TNotifyCallback OnNotify;      // unset: no reporting

protected:
    TDLLBaseController() = default;
    TDLLBaseController(const TDLLBaseController&) = delete;
    TDLLBaseController& operator=(const TDLLBaseController&) = delete;
};
