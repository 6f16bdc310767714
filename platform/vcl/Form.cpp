#include "platform/vcl/Form.h"

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Menus.h"

namespace {
const TTypeInfo& WindowStateType() {
    static const TTypeInfo t("TWindowState", TTypeKind::tkEnumeration, {"wsNormal", "wsMinimized", "wsMaximized"});
    return t;
}
const TTypeInfo& PositionType() {
    static const TTypeInfo t("TPosition", TTypeKind::tkEnumeration,
                             {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                              "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
    return t;
}
const TTypeInfo& BorderStyleType() {
    static const TTypeInfo t("TFormBorderStyle", TTypeKind::tkEnumeration,
                             {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    return t;
}
const TTypeInfo& BorderIconsType() {
    static const TTypeInfo t("TBorderIcons", TTypeKind::tkSet, {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    return t;
}
const TTypeInfo& FormStyleType() {
    static const TTypeInfo t("TFormStyle", TTypeKind::tkEnumeration,
                             {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    return t;
}

// The window controls from c up to, not including, the form (innermost first).
std::vector<TWinControl*> ChainUp(TWinControl* c, const TCustomForm* form) {
    std::vector<TWinControl*> chain;
    for (; c && c != form; c = c->Parent()) chain.push_back(c);
    return chain;
}
}  // namespace

const TClassInfo& TCustomForm::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomForm", &TWinControl::StaticClass());
        c.Add(Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview));
        c.Add(ObjectProperty("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl));
        c.Add(Property("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult));
        c.Add(TypedProperty("WindowState", WindowStateType(), &TCustomForm::WindowState, &TCustomForm::SetWindowState));
        c.Add(TypedProperty("Position", PositionType(), &TCustomForm::Position, &TCustomForm::SetPosition));
        c.Add(TypedProperty("BorderStyle", BorderStyleType(), &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle));
        c.Add(TypedProperty("BorderIcons", BorderIconsType(), &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons));
        c.Add(TypedProperty("FormStyle", FormStyleType(), &TCustomForm::FormStyle, &TCustomForm::SetFormStyle));
        c.Add(Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled));
        c.Add(ObjectProperty("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu));
        c.Add(EventProperty("OnCreate", &TCustomForm::OnCreate));
        c.Add(EventProperty("OnShow", &TCustomForm::OnShow));
        c.Add(EventProperty("OnHide", &TCustomForm::OnHide));
        c.Add(EventProperty("OnActivate", &TCustomForm::OnActivate));
        c.Add(EventProperty("OnDeactivate", &TCustomForm::OnDeactivate));
        c.Add(EventProperty("OnClose", &TCustomForm::OnClose));
        c.Add(EventProperty("OnCloseQuery", &TCustomForm::OnCloseQuery));
        c.Add(EventProperty("OnDestroy", &TCustomForm::OnDestroy));
        c.Add(EventProperty("OnPaint", &TCustomForm::OnPaint));
        return c;
    }();
    return info;
}

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info("TForm", &TCustomForm::StaticClass(),
                                 [](TComponent* owner) { return NewForm<TForm>(owner); });
    return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    BeginLoading();
    SetBoundsQuiet(0, 0, 320, 240);
    TControl::SetVisible(false);
    Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
    MarkDestroying();
    if (Screen()->ActiveForm() == this) Screen()->SetActiveForm(nullptr);
    Screen()->RemoveForm(this);
    if (Application()->MainForm() == this) Application()->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
    if (created_) return;
    created_ = true;
    EndLoading();
    if (OnCreate) OnCreate(this);
}

void TCustomForm::Free() {
    if (!destroyed_) {
        destroyed_ = true;
        MarkDestroying();
        if (OnDestroy) OnDestroy(this);
    }
    delete this;
}

void TCustomForm::Release() { Application()->PostMessage(this, CM_RELEASE); }

void TCustomForm::WndProc(TMessage& message) {
    if (message.Msg == CM_RELEASE) {
        Free();
        return;
    }
    TWinControl::WndProc(message);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == activeControl_) activeControl_ = nullptr;
    if (operation == TOperation::opRemove && component == menu_) menu_ = nullptr;
    TWinControl::Notification(component, operation);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu_) RemoveFreeNotification(menu_);
    menu_ = menu;
    if (menu) FreeNotification(menu);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control && GetParentForm(control) != this)
        throw EInvalidOperation("Invalid control: " + control->Name() + " is not on form " + Name());
    if (Showing()) {
        if (control && !control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
        FocusControl(control);
        return;
    }
    activeControl_ = control;
    if (control) FreeNotification(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (control == activeControl_) return;
    TWinControl* old = activeControl_;
    auto oldChain = ChainUp(old, this);
    auto newChain = ChainUp(control, this);
    // Exit from the old control up to (not including) the first container they share.
    size_t shared = 0;
    while (shared < oldChain.size() && shared < newChain.size() &&
           oldChain[oldChain.size() - 1 - shared] == newChain[newChain.size() - 1 - shared])
        ++shared;
    if (!Destroying())
        for (size_t i = 0; i + shared < oldChain.size(); ++i) {
            oldChain[i]->DoExit();
            if (activeControl_ != old) return;   // the handler moved the focus itself
        }
    activeControl_ = control;
    if (control) FreeNotification(control);
    if (Destroying()) return;
    for (size_t i = newChain.size() - shared; i-- > 0;) {
        newChain[i]->DoEnter();
        if (activeControl_ != control) return;
    }
}

void TCustomForm::SetVisible(bool visible) {
    if (visible == Visible()) return;
    if (visible) {
        PlaceOnScreen();
        TControl::SetVisible(true);
        if (OnShow) OnShow(this);
        Activate();
    } else {
        if (OnHide) OnHide(this);
        TControl::SetVisible(false);
        if (active_) Deactivate();
        // Another visible form becomes the active one.
        if (Screen()->ActiveForm() == this) {
            Screen()->SetActiveForm(nullptr);
            for (int i = Screen()->FormCount() - 1; i >= 0; --i)
                if (Screen()->Forms(i)->Visible()) {
                    Screen()->Forms(i)->Activate();
                    break;
                }
        }
    }
}

void TCustomForm::PlaceOnScreen() {
    if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter)
        SetBounds((Screen()->Width() - Width()) / 2, (Screen()->Height() - Height()) / 2, Width(), Height());
    else if (position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
        TCustomForm* center = position_ == TPosition::poMainFormCenter ? Application()->MainForm()
                                                                       : dynamic_cast<TCustomForm*>(Owner());
        if (center && center != this)
            SetBounds(center->Left() + (center->Width() - Width()) / 2,
                      center->Top() + (center->Height() - Height()) / 2, Width(), Height());
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (!active_) Activate();
}

void TCustomForm::Activate() {
    if (active_) return;
    TCustomForm* previous = Screen()->ActiveForm();
    if (previous && previous != this) previous->Deactivate();
    active_ = true;
    Screen()->SetActiveForm(this);
    // The remembered control, or the first one in tab order, gets the focus.
    TWinControl* target = activeControl_;
    activeControl_ = nullptr;
    if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
    if (target) FocusControl(target);
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (!active_) return;
    active_ = false;
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetWindowState(TWindowState s) {
    if (s == windowState_) return;
    windowState_ = s;
    if (s == TWindowState::wsMaximized) SetBounds(0, 0, Screen()->Width(), Screen()->Height());
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (modal_) {
        // The modal run does the closing once it sees the result.
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    switch (action) {
        case TCloseAction::caNone: break;
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
        case TCloseAction::caFree:
            Hide();
            Release();
            break;
    }
    if (Application()->MainForm() == this && action != TCloseAction::caNone && action != TCloseAction::caMinimize)
        Application()->Terminate();
}

int TCustomForm::ShowModal() {
    if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    TCustomForm* previous = Screen()->ActiveForm();
    modal_ = true;
    modalResult_ = mrNone;
    TCloseAction action = TCloseAction::caHide;
    try {
        Show();
        for (;;) {
            while (modalResult_ == mrNone) {
                if (!Application()->HandleMessage()) Application()->WaitForInput(this);
            }
            // Close query and close action decide whether the run really ends.
            if (!CloseQuery()) {
                modalResult_ = mrNone;
                continue;
            }
            action = TCloseAction::caHide;
            DoClose(action);
            if (action == TCloseAction::caNone) {
                modalResult_ = mrNone;
                continue;
            }
            break;
        }
    } catch (...) {
        modal_ = false;
        Hide();
        throw;
    }
    modal_ = false;
    const int result = modalResult_;
    Hide();
    if (previous && previous != this && previous->Visible()) previous->Activate();
    if (action == TCloseAction::caFree) Release();
    return result;
}

bool TCustomForm::DialogKey(uint16_t key, TShiftState shift) {
    for (TWinControl* c = activeControl_; c && c != this; c = c->Parent())
        if (c->ContainerDialogKey(key, shift)) return true;
    if (key == VK_TAB && !shift.Contains(TShiftStateItem::ssCtrl) && !shift.Contains(TShiftStateItem::ssAlt)) {
        SelectNext(activeControl_, !shift.Contains(TShiftStateItem::ssShift), true);
        return true;
    }
    if ((key == VK_RETURN || key == VK_ESCAPE) && shift.Empty()) {
        // A focused button answers Enter itself; otherwise the default (or cancel) button.
        if (key == VK_RETURN)
            if (auto* focused = dynamic_cast<TButton*>(activeControl_)) {
                focused->Click();
                return true;
            }
        std::vector<TWinControl*> list;
        GetTabOrderList(list);
        for (TWinControl* c : list) {
            auto* b = dynamic_cast<TButton*>(c);
            if (!b || !b->Showing() || !b->EffectivelyEnabled()) continue;
            if ((key == VK_RETURN && b->Default()) || (key == VK_ESCAPE && b->Cancel())) {
                b->Click();
                return true;
            }
        }
    }
    return false;
}

bool TCustomForm::Accelerator(char32_t hotkey, TShiftState shift) {
    if (DialogChar(hotkey)) return true;
    return shift.Contains(TShiftStateItem::ssAlt) && menu_ && menu_->Accelerate(hotkey);
}

void TCustomForm::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetColor(Color());
    try {
        if (OnPaint) OnPaint(this);
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}
