#pragma once
// `TApplication`: the message queue, the main form, hint settings and the error
// display of the running program. `TScreen`: the forms, the active form and
// control, the cursor, the screen size and the system fonts.
//
// Messages: PostMessage queues a message that runs after the current event, in
// the order posted; SendMessage runs it at once. Messages for a control that is
// destroyed before they run are dropped.
//
// Waiting for input: a modal run processes the queue; when the queue is empty it
// asks the input source (the screen's event loop, or a test's scripted answerer)
// for more. Without one, nothing could ever close the modal form, so the run
// raises EInvalidOperation instead of hanging.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

class TTimer;

class TApplication : public TComponent {
    VELMORA_CLASS(TApplication)
public:
    TApplication();
    ~TApplication() override;

    void PostMessage(TControl* target, unsigned msg, intptr_t wParam = 0, intptr_t lParam = 0);
    intptr_t SendMessage(TControl* target, unsigned msg, intptr_t wParam = 0, intptr_t lParam = 0);
    // Runs one queued message; false when the queue was empty.
    bool HandleMessage();
    // Runs queued messages until the queue is empty (messages posted meanwhile included).
    void ProcessMessages();
    size_t PendingMessages() const noexcept { return queue_.size(); }
    // Drops the queued messages of a control (called when it is destroyed).
    void PurgeMessages(const TControl* target);

    // An error that escaped an event handler: EAbort is ignored; otherwise
    // OnException runs, or the error is shown in an error message dialog.
    void HandleException(const std::exception& error);
    std::function<void(TObject* sender, const std::exception& error)> OnException;

    // The source of input for modal runs: called with the waiting form when the
    // queue is empty; returns false when it has no input to give. Returns the old one.
    using TInputSource = std::function<bool(TCustomForm* waiting)>;
    TInputSource SetInputSource(TInputSource source);
    // Called by modal runs: asks the input source; raises EInvalidOperation without input.
    void WaitForInput(TCustomForm* waiting);

    TCustomForm* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(TCustomForm* form);
    // Shows the main form and serves input until Terminate or the main form closes.
    void Run();
    void Terminate() { terminated_ = true; }
    bool Terminated() const noexcept { return terminated_; }

    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& t) { title_ = t; }

    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    TColor HintColor() const noexcept { return hintColor_; }
    void SetHintColor(TColor c) { hintColor_ = c; }
    int HintPause() const noexcept { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    int HintShortPause() const noexcept { return hintShortPause_; }
    void SetHintShortPause(int ms) { hintShortPause_ = ms; }
    int HintHidePause() const noexcept { return hintHidePause_; }
    void SetHintHidePause(int ms) { hintHidePause_ = ms; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& hint);
    TNotifyEvent OnHint;

    // Timers: the application's clock in milliseconds, advanced by the screen (or
    // tests); due timers fire in order of their due time.
    int64_t Milliseconds() const noexcept { return clock_; }
    void AdvanceTime(int64_t ms);

    // Sounds the system default beep (see Beep()); the screen makes it audible,
    // tests count it. Nothing happens while it is empty.
    std::function<void()> OnBeep;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TTimer;
    void AddTimer(TTimer* t);
    void RemoveTimer(TTimer* t);

    struct Posted {
        TControl* target;
        TMessage message;
    };
    std::deque<Posted> queue_;
    TInputSource input_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::string title_;
    bool showHint_ = true;
    TColor hintColor_ = clInfoBk;
    int hintPause_ = 500, hintShortPause_ = 50, hintHidePause_ = 2500;
    std::string hint_;
    int64_t clock_ = 0;
    std::vector<TTimer*> timers_;
};

class TScreen : public TComponent {
    VELMORA_CLASS(TScreen)
public:
    TScreen();
    ~TScreen() override;

    int FormCount() const noexcept { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const noexcept { return activeForm_; }
    TWinControl* ActiveControl() const;
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor c) { cursor_ = c; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // The screen sets its real size; headless it is 1024 x 768.
    void SetSize(int width, int height);
    TFont* IconFont() const noexcept { return iconFont_.get(); }
    TFont* HintFont() const noexcept { return hintFont_.get(); }
    TFont* MenuFont() const noexcept { return menuFont_.get(); }

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void SetActiveForm(TCustomForm* f) { activeForm_ = f; }
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TCursor cursor_ = crDefault;
    int width_ = 1024, height_ = 768;
    std::unique_ptr<TFont> iconFont_, hintFont_, menuFont_;
};

// The program's application and screen objects (created on first use; the
// application registers the standard component classes by name).
TApplication* Application();
TScreen* Screen();

// The system default beep: runs Application()->OnBeep.
void Beep();

// Shorthands for Application()->PostMessage/SendMessage.
void PostMessage(TControl* target, unsigned msg, intptr_t wParam = 0, intptr_t lParam = 0);
intptr_t SendMessage(TControl* target, unsigned msg, intptr_t wParam = 0, intptr_t lParam = 0);
