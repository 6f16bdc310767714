#pragma once
// `TCustomForm`/`TForm`: a top-level window. It sees keys first when `KeyPreview`
// is on, keeps the focused control (`ActiveControl`), runs modally until
// `ModalResult` is set, asks before it closes and then hides, frees or minimises
// itself as its close action says.
//
// Headless forms have no frame: the client area is the whole form.
//
// Life cycle: create a form with NewForm<T>(owner, ...) so that OnCreate runs once
// the whole constructor chain has run, and let it go with Free() (or through its
// owner, or Release() from inside its own handlers) so that OnDestroy runs while
// the form is still whole.
#include <memory>
#include <utility>

#include "platform/vcl/WinControl.h"

class TButton;
class TMainMenu;

constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
              mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// Internal message that frees a released form once the current event is over.
constexpr unsigned CM_RELEASE = 0xB000 + 33;

class TCustomForm : public TWinControl {
    VELMORA_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Ends loading (Loaded runs for the form's components, then the form), then
    // runs OnCreate; NewForm calls it once construction is complete.
    void AfterConstruction();
    // Runs OnDestroy and destroys the form.
    void Free();
    // Frees the form after the current event (posted).
    void Release();

    bool KeyPreview() const noexcept { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    // Focuses the control when the form is showing (exit and enter events run),
    // otherwise remembers it for the next show. Raises EInvalidOperation for a
    // control of another form or one that cannot take the focus while showing.
    void SetActiveControl(TWinControl* control);
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    void SetVisible(bool visible) override;
    bool Showing() const override { return Visible(); }
    // Shows the form and makes it the active form.
    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery; when allowed runs OnClose and performs its action. A modal
    // form only sets ModalResult to mrCancel and lets the modal run finish.
    void Close();
    bool CloseQuery();
    // Shows the form and processes messages until ModalResult is set, then closes
    // it (close query and close action) and returns the result. Raises
    // EInvalidOperation for a form that is already visible.
    int ShowModal();
    bool Modal() const noexcept { return modal_; }
    bool Active() const noexcept { return active_; }

    TWindowState WindowState() const noexcept { return windowState_; }
    void SetWindowState(TWindowState s);
    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s) { borderStyle_ = s; }
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons) { borderIcons_ = icons; }
    TFormStyle FormStyle() const noexcept { return formStyle_; }
    void SetFormStyle(TFormStyle s) { formStyle_ = s; }
    // The main menu, whose shortcuts the form's keys reach (cleared when it goes).
    TMainMenu* Menu() const noexcept { return menu_; }
    void SetMenu(TMainMenu* menu);
    bool Scaled() const noexcept { return scaled_; }
    void SetScaled(bool v) { scaled_ = v; }

    // The focus road used by TWinControl::SetFocus.
    void FocusControl(TWinControl* control);
    // Tab, Enter (default button) and Escape (cancel button); true when handled.
    virtual bool DialogKey(uint16_t key, TShiftState shift);
    // An accelerator key (letter or digit): the controls of the form first, then,
    // with Alt, the top-level items of the main menu. True when something acted on it.
    bool Accelerator(char32_t hotkey, TShiftState shift);
    // Raised by the screen (or tests) when the form becomes or stops being the active one.
    void Activate();
    void Deactivate();

    void WndProc(TMessage& message) override;
    void PaintOn(TCanvas& canvas) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;

    // The canvas being painted on, valid inside OnPaint only.
    TCanvas* Canvas() const noexcept { return canvas_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void DoClose(TCloseAction& action);
    void PlaceOnScreen();
    bool keyPreview_ = false;
    TWinControl* activeControl_ = nullptr;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool active_ = false;
    bool created_ = false;
    bool destroyed_ = false;
    TWindowState windowState_ = TWindowState::wsNormal;
    TPosition position_ = TPosition::poDesigned;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize};
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    bool scaled_ = true;
    TCanvas* canvas_ = nullptr;
    TMainMenu* menu_ = nullptr;
};

class TForm : public TCustomForm {
    VELMORA_CLASS(TForm)
public:
    using TCustomForm::TCustomForm;
};

// Frees a form through Free (so OnDestroy runs while it is whole) when the pointer goes.
struct TFormFree {
    void operator()(TCustomForm* form) const { form->Free(); }
};
template <typename T>
using TFormPtr = std::unique_ptr<T, TFormFree>;

// Creates a form of class T and runs its OnCreate after the whole constructor chain.
template <typename T, typename... Args>
T* NewForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}
