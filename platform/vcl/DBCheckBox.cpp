#include "platform/vcl/DBCheckBox.h"

#include "platform/core/Strings.h"
#include "platform/db/Field.h"

namespace {
bool MatchesCode(const std::string& codes, const std::string& text) {
    for (const auto& code : SplitString(codes, ';'))
        if (SameText(code, text)) return true;
    return false;
}

std::string FirstCode(const std::string& codes) { return SplitString(codes, ';').front(); }
}  // namespace

// ---- TDBCheckBox ----

const TClassInfo& TDBCheckBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDBCheckBox", &TCheckBox::StaticClass(), [](TComponent* o) { return new TDBCheckBox(o); });
        AddFieldLinkProperties<TDBCheckBox>(c);
        c.Add(Property("ValueChecked", &TDBCheckBox::ValueChecked, &TDBCheckBox::SetValueChecked));
        c.Add(Property("ValueUnchecked", &TDBCheckBox::ValueUnchecked, &TDBCheckBox::SetValueUnchecked));
        c.Add(Property("ReadOnly", &TDBCheckBox::ReadOnly, &TDBCheckBox::SetReadOnly));
        return c;
    }();
    return info;
}

TDBCheckBox::TDBCheckBox(TComponent* owner) : TFieldLinked<TCheckBox>(owner) {
    link_->OnDataChange = [this](TObject*) { DataChange(); };
    link_->OnActiveChange = [this](TObject*) { DataChange(); };
    link_->OnUpdateData = [this](TObject*) {
        TField* f = Field();
        if (!f) return;
        if (State() == TCheckBoxState::cbGrayed)
            f->Clear();
        else if (f->DataType() == TFieldType::ftBoolean)
            f->SetAsBoolean(Checked());
        else
            f->SetText(FirstCode(Checked() ? valueChecked_ : valueUnchecked_));
    };
}

void TDBCheckBox::SetValueChecked(const std::string& v) {
    valueChecked_ = v;
    DataChange();
}

void TDBCheckBox::SetValueUnchecked(const std::string& v) {
    valueUnchecked_ = v;
    DataChange();
}

TCheckBoxState TDBCheckBox::StateOf(const TField* f) const {
    if (!f || f->IsNull()) return TCheckBoxState::cbGrayed;
    if (f->DataType() == TFieldType::ftBoolean)
        return f->AsBoolean() ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked;
    const std::string text = f->Text();
    if (MatchesCode(valueChecked_, text)) return TCheckBoxState::cbChecked;
    if (MatchesCode(valueUnchecked_, text)) return TCheckBoxState::cbUnchecked;
    return TCheckBoxState::cbGrayed;
}

void TDBCheckBox::DataChange() {
    const TCheckBoxState s = Field() ? StateOf(Field()) : TCheckBoxState::cbUnchecked;
    redisplaying_ = true;
    try {
        SetState(s);
    } catch (...) {
        redisplaying_ = false;
        throw;
    }
    redisplaying_ = false;
}

void TDBCheckBox::Click() {
    // A redisplay of the field is not a click.
    if (!redisplaying_) TCheckBox::Click();
}

void TDBCheckBox::Toggle() {
    if (!link_->Edit()) return;
    TCheckBox::Toggle();
    link_->Modified();
}

void TDBCheckBox::DoExit() {
    link_->UpdateRecord();
    TCheckBox::DoExit();
}

// ---- TDBRadioGroup ----

const TClassInfo& TDBRadioGroup::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDBRadioGroup", &TCustomRadioGroup::StaticClass(),
                     [](TComponent* o) { return new TDBRadioGroup(o); });
        AddFieldLinkProperties<TDBRadioGroup>(c);
        c.Add(ObjectProperty("Values", &TDBRadioGroup::Values));
        c.Add(Property("ReadOnly", &TDBRadioGroup::ReadOnly, &TDBRadioGroup::SetReadOnly));
        return c;
    }();
    return info;
}

TDBRadioGroup::TDBRadioGroup(TComponent* owner)
    : TFieldLinked<TCustomRadioGroup>(owner), values_(std::make_unique<TStringList>()) {
    link_->OnDataChange = [this](TObject*) { DataChange(); };
    link_->OnActiveChange = [this](TObject*) { DataChange(); };
    link_->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(ItemIndex() >= 0 ? ValueOf(ItemIndex()) : std::string());
    };
    values_->OnChange = [this](TObject*) { DataChange(); };
}

TDBRadioGroup::~TDBRadioGroup() { values_->OnChange = nullptr; }

std::string TDBRadioGroup::ValueOf(int index) const {
    if (index < values_->Count()) return values_->Strings(index);
    return index < Items()->Count() ? Items()->Strings(index) : std::string();
}

void TDBRadioGroup::DataChange() {
    int index = -1;
    if (TField* f = Field(); f && !f->IsNull()) {
        const std::string text = f->Text();
        for (int i = 0; i < Items()->Count() && index < 0; ++i)
            if (ValueOf(i) == text) index = i;
    }
    redisplaying_ = true;
    try {
        SetItemIndex(index);
    } catch (...) {
        redisplaying_ = false;
        throw;
    }
    redisplaying_ = false;
}

bool TDBRadioGroup::CanModify() const { return link_->Edit(); }

void TDBRadioGroup::Changed() {
    if (!redisplaying_) link_->Modified();
    TCustomRadioGroup::Changed();
}

void TDBRadioGroup::DoExit() {
    link_->UpdateRecord();
    TCustomRadioGroup::DoExit();
}
