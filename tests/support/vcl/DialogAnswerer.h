#pragma once
// Answers modal windows in headless tests: while it lives it is the application's
// input source, so each modal run that waits for input gets the next scripted
// answer (a click on a named button, or any action on the form). Every window it
// answers is recorded with its name, caption and message text.
//
// A modal window that waits when no answer is left makes the modal run raise
// EInvalidOperation, so a test never hangs on an unexpected dialog.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/Application.h"

struct TShownDialog {
    std::string FormName;
    std::string Caption;
    std::string Text;   // the "Message" label of a message dialog, else ""
};

class TDialogAnswerer {
public:
    TDialogAnswerer();
    ~TDialogAnswerer();
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;

    // The next waiting window gets a click on its component named `buttonName`.
    TDialogAnswerer& Click(const std::string& buttonName);
    // The next waiting window is handed to `action` (type into it, press keys...).
    TDialogAnswerer& Then(std::function<void(TCustomForm&)> action);

    const std::vector<TShownDialog>& Shown() const noexcept { return shown_; }
    size_t Pending() const noexcept { return script_.size(); }

private:
    bool Answer(TCustomForm* waiting);
    std::deque<std::function<void(TCustomForm&)>> script_;
    std::vector<TShownDialog> shown_;
    TApplication::TInputSource previous_;
};
