#include "platform/vcl/WinControl.h"

#include <algorithm>

#include "platform/classes/Collection.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"

const TClassInfo& TWinControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TWinControl", &TControl::StaticClass());
        c.Add(Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
        c.Add(Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop));
        c.Add(EventProperty("OnEnter", &TWinControl::OnEnter));
        c.Add(EventProperty("OnExit", &TWinControl::OnExit));
        c.Add(EventProperty("OnKeyDown", &TWinControl::OnKeyDown));
        c.Add(EventProperty("OnKeyPress", &TWinControl::OnKeyPress));
        c.Add(EventProperty("OnKeyUp", &TWinControl::OnKeyUp));
        return c;
    }();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    MarkDestroying();
    // Child controls go with their parent, whoever owns them.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return controls_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c->Parent() == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
    if (control->Align() != TAlign::alNone) RequestAlign(control);
    ControlListChanged();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    // The form lets go of a focused control that leaves it.
    if (TCustomForm* form = GetParentForm(this); form && !form->Destroying()) {
        if (auto* w = dynamic_cast<TWinControl*>(control);
            w && form->ActiveControl() && (form->ActiveControl() == w || w->ContainsControl(form->ActiveControl())))
            form->FocusControl(nullptr);
    }
    controls_.erase(it);
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    control->parent_ = nullptr;
    if (control->Align() != TAlign::alNone) RequestAlign();
    if (!Destroying()) ControlListChanged();
}

int TWinControl::TabOrder() const {
    const TWinControl* p = Parent();
    if (!p) return -1;
    return static_cast<int>(std::find(p->tabList_.begin(), p->tabList_.end(), this) - p->tabList_.begin());
}

void TWinControl::SetTabOrder(int order) {
    TWinControl* p = Parent();
    if (!p) return;
    auto& list = p->tabList_;
    list.erase(std::find(list.begin(), list.end(), this));
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form || !form->Showing()) return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) throw EInvalidOperation("Cannot focus a control without a form");
    if (form == this) {
        form->FocusControl(nullptr);
        return;
    }
    form->SetActiveControl(this);
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(this);
    return form && form->Showing() && form->ActiveControl() == this;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
    if (start == n) start = forward ? n - 1 : 0;
    int i = start;
    do {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, false)) next->SetFocus();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::RequestAlign(TControl* trigger) {
    if (alignDisabled_ == 0 && !aligning_ && !Destroying()) Realign(trigger);
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::Resize() {
    RequestAlign();
    TControl::Resize();
}

void TWinControl::Realign(TControl* trigger) {
    if (aligning_) return;
    aligning_ = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    std::vector<TControl*> group;
    try {
        for (TAlign align : order) {
            group.clear();
            for (TControl* c : controls_)
                if (c->Align() == align && c->Visible()) group.push_back(c);
            auto key = [align](const TControl* c) {
                switch (align) {
                    case TAlign::alTop: return c->Top();
                    case TAlign::alBottom: return -(c->Top() + c->Height());
                    case TAlign::alLeft: return c->Left();
                    case TAlign::alRight: return -(c->Left() + c->Width());
                    default: return 0;
                }
            };
            std::stable_sort(group.begin(), group.end(), [&](const TControl* a, const TControl* b) {
                if (key(a) != key(b)) return key(a) < key(b);
                return a == trigger && b != trigger;
            });
            for (TControl* c : group) {
                const int w = c->Width(), h = c->Height();
                switch (align) {
                    case TAlign::alTop:
                        c->SetBoundsQuiet(r.Left, r.Top, r.Width(), h);
                        r.Top = std::min(r.Top + h, r.Bottom);
                        break;
                    case TAlign::alBottom:
                        c->SetBoundsQuiet(r.Left, r.Bottom - h, r.Width(), h);
                        r.Bottom = std::max(r.Bottom - h, r.Top);
                        break;
                    case TAlign::alLeft:
                        c->SetBoundsQuiet(r.Left, r.Top, w, r.Height());
                        r.Left = std::min(r.Left + w, r.Right);
                        break;
                    case TAlign::alRight:
                        c->SetBoundsQuiet(r.Right - w, r.Top, w, r.Height());
                        r.Right = std::max(r.Right - w, r.Left);
                        break;
                    default: c->SetBoundsQuiet(r.Left, r.Top, r.Width(), r.Height()); break;
                }
            }
        }
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

namespace {
// Alt with a letter or digit, or the plain (or shifted) letter or digit when the
// focused control does not take characters.
bool IsAccelerator(uint16_t key, TShiftState shift, bool controlWantsChars) {
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return false;
    if (shift.Contains(TShiftStateItem::ssCtrl)) return false;
    return shift.Contains(TShiftStateItem::ssAlt) || !controlWantsChars;
}
}  // namespace

bool TWinControl::KeyDownInput(uint16_t& key, TShiftState shift) {
    TCustomForm* form = GetParentForm(this);
    // An open menu takes every key until it closes.
    if (TMenu* open = TMenu::OpenMenu()) {
        open->MenuKey(key);
        key = 0;
        return true;
    }
    // Menu shortcuts: the popup menus from this control outwards, then the main menu.
    const TShortCut shortCut = ShortCut(key, shift);
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu() && c->PopupMenu()->IsShortCut(shortCut)) {
            key = 0;
            return true;
        }
    if (form && form->Menu() && form->Menu()->IsShortCut(shortCut)) {
        key = 0;
        return true;
    }
    if (form && (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) && !WantsKey(key, shift) &&
        form->DialogKey(key, shift)) {
        key = 0;
        return true;
    }
    if (form && form != this && form->KeyPreview()) {
        if (form->OnKeyDown) form->OnKeyDown(form, key, shift);
        if (key == 0) return false;
    }
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (key == 0) return false;
    if (form && IsAccelerator(key, shift, WantsChars()) && form->Accelerator(static_cast<char32_t>(key), shift)) {
        key = 0;
        return true;
    }
    KeyDown(key, shift);
    return false;
}

bool TWinControl::DialogChar(char32_t hotkey) {
    if (ClicksOnAccelerator()) {
        if (GetHotkey(Caption()) != hotkey || !CanFocus()) return false;
        SetFocus();
        UserClick();
        return true;
    }
    for (TControl* c : controls_)
        if (c->Showing() && c->EffectivelyEnabled() && c->DialogChar(hotkey)) return true;
    return false;
}

void TWinControl::KeyPressInput(char32_t& key) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview()) {
        if (form->OnKeyPress) form->OnKeyPress(form, key);
        if (key == 0) return;
    }
    if (OnKeyPress) OnKeyPress(this, key);
    if (key == 0) return;
    KeyPress(key);
}

void TWinControl::ForwardKeyPress(char32_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    if (key != 0) KeyPress(key);
}

void TWinControl::KeyUpInput(uint16_t& key, TShiftState shift) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview()) {
        if (form->OnKeyUp) form->OnKeyUp(form, key, shift);
        if (key == 0) return;
    }
    if (OnKeyUp) OnKeyUp(this, key, shift);
    if (key == 0) return;
    KeyUp(key, shift);
}

void TWinControl::KeyDown(uint16_t&, TShiftState) {}
void TWinControl::KeyPress(char32_t&) {}
void TWinControl::KeyUp(uint16_t&, TShiftState) {}

bool TWinControl::ContainerDialogKey(uint16_t, TShiftState) { return false; }

bool TWinControl::WantsKey(uint16_t, TShiftState) const { return false; }

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

intptr_t TWinControl::Handle() const {
    static intptr_t lastHandle = 0;
    if (handle_ == 0) handle_ = ++lastHandle;
    return handle_;
}
