#include "platform/vcl/DBComboBox.h"

#include <algorithm>

#include "platform/db/Field.h"

// ---- TwwDBCustomComboBox ----

const TClassInfo& TwwDBCustomComboBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TwwDBCustomComboBox", &TCustomComboBox::StaticClass());
        AddFieldLinkProperties<TwwDBCustomComboBox>(c);
        c.Add(Property("MapList", &TwwDBCustomComboBox::MapList, &TwwDBCustomComboBox::SetMapList));
        c.Add(Property("ReadOnly", &TwwDBCustomComboBox::ReadOnly, &TwwDBCustomComboBox::SetReadOnly));
        return c;
    }();
    return info;
}

TwwDBCustomComboBox::TwwDBCustomComboBox(TComponent* owner) : TFieldLinked<TCustomComboBox>(owner) {
    link_->OnDataChange = [this](TObject*) { DataChange(); };
    link_->OnActiveChange = [this](TObject*) { DataChange(); };
    link_->OnUpdateData = [this](TObject*) {
        TField* f = Field();
        if (!f) return;
        f->SetText(ItemIndex() >= 0 ? StoredValue(ItemIndex()) : Text());
    };
}

void TwwDBCustomComboBox::ItemsChanged() {
    TCustomComboBox::ItemsChanged();
    DataChange();
}

void TwwDBCustomComboBox::SetMapList(bool v) {
    mapList_ = v;
    DataChange();
}

void TwwDBCustomComboBox::SetReadOnly(bool v) {
    link_->SetReadOnly(v);
    TCustomComboBox::SetReadOnly(v);
}

std::string TwwDBCustomComboBox::ItemText(int index) const {
    const std::string& s = Items()->Strings(index);
    if (!mapList_) return s;
    const auto tab = s.find('\t');
    return tab == std::string::npos ? s : s.substr(0, tab);
}

std::string TwwDBCustomComboBox::StoredValue(int index) const {
    const std::string& s = Items()->Strings(index);
    if (!mapList_) return s;
    const auto tab = s.find('\t');
    return tab == std::string::npos ? s : s.substr(tab + 1);
}

int TwwDBCustomComboBox::IndexOfStored(const std::string& value) const {
    for (int i = 0; i < Items()->Count(); ++i)
        if (StoredValue(i) == value) return i;
    return -1;
}

std::string TwwDBCustomComboBox::DisplayValue(const std::string& value) const {
    const int i = IndexOfStored(value);
    return i >= 0 ? ItemText(i) : value;
}

void TwwDBCustomComboBox::DataChange() {
    redisplaying_ = true;
    try {
        TField* f = Field();
        const std::string value = f ? f->Text() : std::string();
        const int index = IndexOfStored(value);
        if (index >= 0)
            SetItemIndex(index);
        else {
            SetItemIndex(-1);
            SetText(value);
        }
        SetModified(false);
    } catch (...) {
        redisplaying_ = false;
        throw;
    }
    redisplaying_ = false;
}

void TwwDBCustomComboBox::Change() {
    if (!redisplaying_) link_->Modified();
    TCustomComboBox::Change();
}

void TwwDBCustomComboBox::KeyDown(uint16_t& key, TShiftState shift) {
    const bool changes = key == VK_UP || key == VK_DOWN || key == VK_DELETE;
    if (changes && !(key == VK_DOWN && shift.Contains(TShiftStateItem::ssAlt)) && !link_->Edit()) {
        key = 0;
        return;
    }
    TCustomComboBox::KeyDown(key, shift);
}

void TwwDBCustomComboBox::KeyPress(char32_t& key) {
    if ((key >= U' ' || key == U'\b') && !link_->Edit()) {
        key = 0;
        return;
    }
    TCustomComboBox::KeyPress(key);
}

void TwwDBCustomComboBox::DoExit() {
    link_->UpdateRecord();
    TCustomComboBox::DoExit();
}

const TClassInfo& TwwDBComboBox::StaticClass() {
    static const TClassInfo info("TwwDBComboBox", &TwwDBCustomComboBox::StaticClass(),
                                 [](TComponent* o) { return new TwwDBComboBox(o); });
    return info;
}

// ---- TwwDBComboDlg ----

const TClassInfo& TwwDBComboDlg::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TwwDBComboDlg", &TDBEdit::StaticClass(), [](TComponent* o) { return new TwwDBComboDlg(o); });
        c.Add(Property("ShowButton", &TwwDBComboDlg::ShowButton, &TwwDBComboDlg::SetShowButton));
        c.Add(EventProperty("OnCustomDlg", &TwwDBComboDlg::OnCustomDlg));
        return c;
    }();
    return info;
}

TwwDBComboDlg::TwwDBComboDlg(TComponent* owner) : TDBEdit(owner), button_(new TSpeedButton(this)) {
    button_->SetParent(this);
    button_->SetCaption("...");
    button_->OnClick = [this](TObject*) { DropDown(); };
    SetBounds(Left(), Top(), Width(), Height());
}

void TwwDBComboDlg::SetBounds(int left, int top, int width, int height) {
    TDBEdit::SetBounds(left, top, width, height);
    // The button is square and sits inside the right edge.
    button_->SetBounds(std::max(Width() - Height(), 0), 0, Height(), Height());
}

void TwwDBComboDlg::DropDown() {
    if (OnCustomDlg) OnCustomDlg(this);
}

void TwwDBComboDlg::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_DOWN && shift.Contains(TShiftStateItem::ssAlt)) {
        key = 0;
        DropDown();
        return;
    }
    TDBEdit::KeyDown(key, shift);
}
