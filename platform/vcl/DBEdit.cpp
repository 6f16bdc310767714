#include "platform/vcl/DBEdit.h"

#include "platform/db/Field.h"

namespace {
// Runs f with the flag set, so that a redisplay is not taken for the user's change.
template <typename F>
void Quietly(bool& flag, F&& f) {
    flag = true;
    try {
        f();
    } catch (...) {
        flag = false;
        throw;
    }
    flag = false;
}
}  // namespace

// ---- TDBEdit ----

const TClassInfo& TDBEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDBEdit", &TCustomEdit::StaticClass(), [](TComponent* o) { return new TDBEdit(o); });
        AddFieldLinkProperties<TDBEdit>(c);
        c.Add(Property("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly));
        return c;
    }();
    return info;
}

TDBEdit::TDBEdit(TComponent* owner) : TFieldLinked<TCustomEdit>(owner) {
    link_->OnDataChange = [this](TObject*) { DataChange(); };
    link_->OnActiveChange = [this](TObject*) { DataChange(); };
    link_->OnUpdateData = [this](TObject*) { UpdateData(); };
}

void TDBEdit::SetReadOnly(bool v) {
    link_->SetReadOnly(v);
    TCustomEdit::SetReadOnly(v);
}

void TDBEdit::DataChange() {
    TField* f = Field();
    Quietly(redisplaying_, [&] {
        if (!f) {
            SetEditMask("");
            SetText("");
        } else {
            if (EditMask() != f->EditMask()) SetEditMask(f->EditMask());
            if (f->DataType() == TFieldType::ftString)
                SetMaxLength(f->Size());
            SetText(Focused() && link_->CanModify() ? f->Text() : f->DisplayText());
        }
        SetModified(false);
    });
}

void TDBEdit::UpdateData() {
    if (TField* f = Field()) f->SetText(Text());
}

void TDBEdit::Change() {
    if (!redisplaying_) link_->Modified();
    TCustomEdit::Change();
}

bool TDBEdit::WantsKey(uint16_t key, TShiftState shift) const {
    // Escape first drops a pending change here, before it could cancel the window.
    return (key == VK_ESCAPE && link_->IsModified()) || TCustomEdit::WantsKey(key, shift);
}

void TDBEdit::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_DELETE && !link_->Edit()) {
        key = 0;
        return;
    }
    if (key == VK_ESCAPE && link_->IsModified()) {
        link_->Reset();
        SelectAll();
        key = 0;
        return;
    }
    TCustomEdit::KeyDown(key, shift);
}

void TDBEdit::KeyPress(char32_t& key) {
    if ((key >= U' ' || key == U'\b') && !link_->Edit()) {
        key = 0;
        return;
    }
    TCustomEdit::KeyPress(key);
}

void TDBEdit::DoEnter() {
    DataChange();   // the edit text instead of the display text
    TCustomEdit::DoEnter();
}

void TDBEdit::DoExit() {
    link_->UpdateRecord();
    TCustomEdit::DoExit();
    SelectAll();
    // Shown again as display text once the focus has gone (the form moves it after this).
    if (TField* f = Field(); f && !link_->IsModified())
        Quietly(redisplaying_, [&] { SetText(f->DisplayText()); });
}

// ---- TDBMemo ----

const TClassInfo& TDBMemo::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDBMemo", &TMemo::StaticClass(), [](TComponent* o) { return new TDBMemo(o); });
        AddFieldLinkProperties<TDBMemo>(c);
        c.Add(Property("ReadOnly", &TDBMemo::ReadOnly, &TDBMemo::SetReadOnly));
        return c;
    }();
    return info;
}

TDBMemo::TDBMemo(TComponent* owner) : TFieldLinked<TMemo>(owner) {
    auto show = [this](TObject*) {
        Quietly(redisplaying_, [&] { SetText(Field() ? Field()->AsString() : std::string()); });
    };
    link_->OnDataChange = show;
    link_->OnActiveChange = show;
    link_->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetAsString(Text());
    };
}

void TDBMemo::SetReadOnly(bool v) {
    link_->SetReadOnly(v);
    TMemo::SetReadOnly(v);
}

void TDBMemo::Change() {
    if (!redisplaying_) link_->Modified();
    TMemo::Change();
}

void TDBMemo::KeyPress(char32_t& key) {
    if ((key >= U' ' || key == U'\b' || key == U'\r') && !link_->Edit()) {
        key = 0;
        return;
    }
    TMemo::KeyPress(key);
}

void TDBMemo::DoExit() {
    link_->UpdateRecord();
    TMemo::DoExit();
}

// ---- TDBText ----

const TClassInfo& TDBText::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDBText", &TLabel::StaticClass(), [](TComponent* o) { return new TDBText(o); });
        AddFieldLinkProperties<TDBText>(c);
        return c;
    }();
    return info;
}

TDBText::TDBText(TComponent* owner) : TFieldLinked<TLabel>(owner) {
    SetAutoSize(false);
    auto show = [this](TObject*) { SetCaption(Field() ? Field()->DisplayText() : std::string()); };
    link_->OnDataChange = show;
    link_->OnActiveChange = show;
}
