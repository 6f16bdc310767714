#include "platform/vcl/Application.h"

#include <algorithm>

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StandardClasses.h"
#include "platform/vcl/Timer.h"

const TClassInfo& TApplication::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TApplication", &TComponent::StaticClass());
        c.Add(Property("Title", &TApplication::Title, &TApplication::SetTitle));
        c.Add(Property("ShowHint", &TApplication::ShowHint, &TApplication::SetShowHint));
        c.Add(TypedProperty("HintColor", ColorType(), &TApplication::HintColor, &TApplication::SetHintColor));
        c.Add(Property("HintPause", &TApplication::HintPause, &TApplication::SetHintPause));
        c.Add(Property("HintShortPause", &TApplication::HintShortPause, &TApplication::SetHintShortPause));
        c.Add(Property("HintHidePause", &TApplication::HintHidePause, &TApplication::SetHintHidePause));
        c.Add(Property("Hint", &TApplication::Hint, &TApplication::SetHint));
        c.Add(EventProperty("OnHint", &TApplication::OnHint));
        return c;
    }();
    return info;
}

TApplication::TApplication() : TComponent(nullptr) {
    // The screen outlives the application, whose forms still use it while they go.
    Screen();
    RegisterStandardClasses();
}

TApplication::~TApplication() = default;

void TApplication::PostMessage(TControl* target, unsigned msg, intptr_t wParam, intptr_t lParam) {
    queue_.push_back({target, TMessage{msg, wParam, lParam, 0}});
}

intptr_t TApplication::SendMessage(TControl* target, unsigned msg, intptr_t wParam, intptr_t lParam) {
    return target ? target->Perform(msg, wParam, lParam) : 0;
}

bool TApplication::HandleMessage() {
    if (queue_.empty()) return false;
    Posted p = queue_.front();
    queue_.pop_front();
    try {
        if (p.target) p.target->WndProc(p.message);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (HandleMessage()) {
    }
}

void TApplication::PurgeMessages(const TControl* target) {
    if (queue_.empty()) return;
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [&](const Posted& p) { return p.target == target; }),
                 queue_.end());
}

void TApplication::HandleException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error)) return;
    if (OnException) {
        OnException(this, error);
        return;
    }
    MessageDlg(error.what(), TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

TApplication::TInputSource TApplication::SetInputSource(TInputSource source) {
    std::swap(input_, source);
    return source;
}

void TApplication::WaitForInput(TCustomForm* waiting) {
    if (input_ && input_(waiting)) return;
    throw EInvalidOperation("Modal window " + (waiting ? waiting->Name() : std::string()) +
                            " waits for input that no one can give");
}

void TApplication::SetMainForm(TCustomForm* form) {
    if (mainForm_) RemoveFreeNotification(mainForm_);
    mainForm_ = form;
    if (form) FreeNotification(form);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == mainForm_) mainForm_ = nullptr;
    TComponent::Notification(component, operation);
}

void TApplication::Run() {
    terminated_ = false;
    if (mainForm_) mainForm_->Show();
    while (!terminated_ && mainForm_ && mainForm_->Visible()) {
        if (HandleMessage()) continue;
        if (!input_ || !input_(mainForm_)) break;
    }
    ProcessMessages();
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
}

void TApplication::AddTimer(TTimer* t) { timers_.push_back(t); }

void TApplication::RemoveTimer(TTimer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

void TApplication::AdvanceTime(int64_t ms) {
    const int64_t end = clock_ + ms;
    for (;;) {
        // The earliest due timer fires next; a timer may stop or free timers.
        TTimer* next = nullptr;
        for (TTimer* t : timers_)
            if (t->Active() && t->DueAt() <= end && (!next || t->DueAt() < next->DueAt())) next = t;
        if (!next) break;
        clock_ = std::max(clock_, next->DueAt());
        next->Fire();
        ProcessMessages();
    }
    clock_ = end;
}

// ---- TScreen ----

const TClassInfo& TScreen::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TScreen", &TComponent::StaticClass());
        c.Add(TypedProperty("Cursor", CursorType(), &TScreen::Cursor, &TScreen::SetCursor));
        c.Add(Property("Width", &TScreen::Width));
        c.Add(Property("Height", &TScreen::Height));
        c.Add(ObjectProperty("IconFont", &TScreen::IconFont));
        c.Add(ObjectProperty("HintFont", &TScreen::HintFont));
        c.Add(ObjectProperty("MenuFont", &TScreen::MenuFont));
        return c;
    }();
    return info;
}

TScreen::TScreen()
    : TComponent(nullptr),
      iconFont_(std::make_unique<TFont>()),
      hintFont_(std::make_unique<TFont>()),
      menuFont_(std::make_unique<TFont>()) {
    for (TFont* f : {iconFont_.get(), hintFont_.get(), menuFont_.get()}) {
        f->SetName("Tahoma");
        f->SetHeight(-11);
    }
    hintFont_->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount()) throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return forms_[static_cast<size_t>(index)];
}

TWinControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

void TScreen::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void TScreen::AddForm(TCustomForm* f) { forms_.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    if (activeForm_ == f) activeForm_ = nullptr;
}

// ---- globals ----

TApplication* Application() {
    static TApplication app;
    return &app;
}

TScreen* Screen() {
    static TScreen screen;
    return &screen;
}

void Beep() {
    if (Application()->OnBeep) Application()->OnBeep();
}

void PostMessage(TControl* target, unsigned msg, intptr_t wParam, intptr_t lParam) {
    Application()->PostMessage(target, msg, wParam, lParam);
}

intptr_t SendMessage(TControl* target, unsigned msg, intptr_t wParam, intptr_t lParam) {
    return Application()->SendMessage(target, msg, wParam, lParam);
}
