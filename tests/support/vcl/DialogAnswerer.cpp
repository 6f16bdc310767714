#include "tests/support/vcl/DialogAnswerer.h"

#include "platform/vcl/Input.h"

TDialogAnswerer::TDialogAnswerer() {
    previous_ = Application()->SetInputSource([this](TCustomForm* waiting) { return Answer(waiting); });
}

TDialogAnswerer::~TDialogAnswerer() { Application()->SetInputSource(std::move(previous_)); }

TDialogAnswerer& TDialogAnswerer::Click(const std::string& buttonName) {
    return Then([buttonName](TCustomForm& form) {
        auto* control = dynamic_cast<TControl*>(form.FindComponent(buttonName));
        if (!control) throw EInvalidOperation("The window " + form.Name() + " has no button " + buttonName);
        ::Click(*control);
    });
}

TDialogAnswerer& TDialogAnswerer::Then(std::function<void(TCustomForm&)> action) {
    script_.push_back(std::move(action));
    return *this;
}

bool TDialogAnswerer::Answer(TCustomForm* waiting) {
    if (!waiting || script_.empty()) return false;
    TShownDialog shown{waiting->Name(), waiting->Caption(), {}};
    if (auto* message = dynamic_cast<TControl*>(waiting->FindComponent("Message"))) shown.Text = message->Caption();
    shown_.push_back(std::move(shown));
    auto action = std::move(script_.front());
    script_.pop_front();
    action(*waiting);
    return true;
}
