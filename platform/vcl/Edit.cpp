#include "platform/vcl/Edit.h"

#include <algorithm>

namespace {
const TTypeInfo& CharCaseType() {
    static const TTypeInfo t("TEditCharCase", TTypeKind::tkEnumeration, {"ecNormal", "ecUpperCase", "ecLowerCase"});
    return t;
}
const TTypeInfo& ScrollStyleType() {
    static const TTypeInfo t("TScrollStyle", TTypeKind::tkEnumeration, {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    return t;
}

std::u32string ApplyCase(std::u32string s, TEditCharCase c) {
    for (auto& ch : s) {
        if (c == TEditCharCase::ecUpperCase && ch >= U'a' && ch <= U'z') ch -= 32;
        if (c == TEditCharCase::ecLowerCase && ch >= U'A' && ch <= U'Z') ch += 32;
    }
    return s;
}
}  // namespace

const TClassInfo& TCustomEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomEdit", &TWinControl::StaticClass());
        c.Add(Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength));
        c.Add(Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly));
        c.Add(TypedProperty("CharCase", CharCaseType(), &TCustomEdit::CharCase, &TCustomEdit::SetCharCase));
        c.Add(Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect));
        c.Add(Property("EditMask", &TCustomEdit::EditMask, &TCustomEdit::SetEditMask));
        c.Add(Property("EditText", &TCustomEdit::EditText));
        c.Add(Property("Modified", &TCustomEdit::Modified, &TCustomEdit::SetModified));
        c.Add(Property("SelStart", &TCustomEdit::SelStart, &TCustomEdit::SetSelStart));
        c.Add(Property("SelLength", &TCustomEdit::SelLength, &TCustomEdit::SetSelLength));
        c.Add(Property("SelText", &TCustomEdit::SelText, &TCustomEdit::SetSelText));
        c.Add(EventProperty("OnChange", &TCustomEdit::OnChange));
        return c;
    }();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomEdit::~TCustomEdit() = default;

std::u32string TCustomEdit::Chars() const { return ToChars(IsMasked() ? EditText() : Text()); }

int TCustomEdit::CharCount() const { return IsMasked() ? mask_.Length() : static_cast<int>(ToChars(Text()).size()); }

std::string TCustomEdit::EditText() const { return IsMasked() ? mask_.Display(cells_) : Text(); }

void TCustomEdit::SetText(const std::string& text) {
    if (IsMasked()) {
        cells_ = mask_.Parse(text);
        TWinControl::SetText(mask_.Value(cells_));
    } else {
        TWinControl::SetText(charCase_ == TEditCharCase::ecNormal ? text : FromChars(ApplyCase(ToChars(text), charCase_)));
    }
    ClampSelection();
}

void TCustomEdit::SetChars(const std::u32string& chars) {
    modified_ = true;
    TWinControl::SetText(FromChars(chars));
}

void TCustomEdit::TextChanged() { Change(); }

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
    charCase_ = c;
    if (c != TEditCharCase::ecNormal && !IsMasked()) SetText(Text());
}

void TCustomEdit::SetEditMask(const std::string& mask) {
    const std::string value = Text();
    editMask_ = mask;
    mask_ = TEditMask(mask);
    cells_.clear();
    if (IsMasked()) {
        cells_ = mask_.Parse(value);
        TWinControl::SetText(mask_.Value(cells_));
    }
    ClampSelection();
}

void TCustomEdit::ValidateEdit() {
    if (IsMasked() && !mask_.Complete(cells_))
        throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomEdit::ClampSelection() {
    const int n = CharCount();
    selStart_ = std::clamp(selStart_, 0, n);
    selLength_ = std::clamp(selLength_, 0, n - selStart_);
    anchor_ = std::clamp(anchor_, 0, n);
}

void TCustomEdit::SetSelStart(int pos) {
    selStart_ = pos;
    selLength_ = 0;
    ClampSelection();
    anchor_ = selStart_;
}

void TCustomEdit::SetSelLength(int n) {
    selLength_ = n;
    ClampSelection();
}

std::string TCustomEdit::SelText() const {
    const std::u32string c = Chars();
    return FromChars(c.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)));
}

void TCustomEdit::SetSelText(const std::string& text) {
    if (text.empty())
        DeleteSelection();
    else
        InsertChars(ApplyCase(ToChars(text), charCase_));
}

void TCustomEdit::SelectAll() {
    selStart_ = 0;
    anchor_ = 0;
    selLength_ = CharCount();
}

void TCustomEdit::DeleteSelection() {
    if (selLength_ == 0) return;
    if (IsMasked()) {
        for (int i = selStart_; i < selStart_ + selLength_ && i < mask_.Length(); ++i)
            if (!mask_.IsLiteral(i)) cells_[static_cast<size_t>(i)] = 0;
        modified_ = true;
        TWinControl::SetText(mask_.Value(cells_));
    } else {
        std::u32string c = Chars();
        c.erase(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_));
        SetChars(c);
    }
    selLength_ = 0;
    anchor_ = selStart_;
}

bool TCustomEdit::InsertChars(std::u32string chars) {
    if (IsMasked()) {
        // Characters go into the editable positions from the caret on; the first
        // one the mask refuses ends the insertion.
        std::vector<char32_t> cells = cells_;
        int pos = selStart_;
        bool any = false;
        for (char32_t ch : chars) {
            pos = mask_.NextEditable(pos);
            const char32_t accepted = mask_.Accept(pos, ch);
            if (!accepted) break;
            cells[static_cast<size_t>(pos)] = accepted;
            ++pos;
            any = true;
        }
        if (!any) return false;
        cells_ = std::move(cells);
        modified_ = true;
        selStart_ = mask_.NextEditable(pos) < mask_.Length() ? mask_.NextEditable(pos) : pos;
        selLength_ = 0;
        anchor_ = selStart_;
        TWinControl::SetText(mask_.Value(cells_));
        return true;
    }
    std::u32string c = Chars();
    if (maxLength_ > 0) {
        const int room = maxLength_ - (static_cast<int>(c.size()) - selLength_);
        if (room <= 0) return false;
        if (static_cast<int>(chars.size()) > room) chars.resize(static_cast<size_t>(room));
    }
    c.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), chars);
    selStart_ += static_cast<int>(chars.size());
    selLength_ = 0;
    anchor_ = selStart_;
    SetChars(c);
    return true;
}

void TCustomEdit::KeyPress(char32_t& key) {
    if (key == U'\b') {
        if (readOnly_) return;
        if (selLength_ == 0 && selStart_ > 0) {
            const int prev = IsMasked() ? mask_.PreviousEditable(selStart_ - 1) : selStart_ - 1;
            if (prev < 0) return;
            selStart_ = prev;
            selLength_ = 1;
        }
        DeleteSelection();
        return;
    }
    if (key < U' ' || readOnly_) return;
    InsertChars(ApplyCase(std::u32string(1, key), charCase_));
}

void TCustomEdit::KeyDown(uint16_t& key, TShiftState shift) {
    const int n = CharCount();
    const int caret = selStart_ == anchor_ ? selStart_ + selLength_ : selStart_;
    int to = -1;
    switch (key) {
        case VK_DELETE:
            if (readOnly_) return;
            if (selLength_ == 0 && selStart_ < n) selLength_ = 1;
            DeleteSelection();
            return;
        case VK_LEFT: to = std::max(caret - 1, 0); break;
        case VK_RIGHT: to = std::min(caret + 1, n); break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n; break;
        default: return;
    }
    if (shift.Contains(TShiftStateItem::ssShift)) {
        selStart_ = std::min(anchor_, to);
        selLength_ = std::abs(to - anchor_);
    } else {
        selStart_ = anchor_ = to;
        selLength_ = 0;
    }
}

void TCustomEdit::DoEnter() {
    if (autoSelect_) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::DoExit() {
    if (modified_) ValidateEdit();
    TWinControl::DoExit();
}

const TClassInfo& TEdit::StaticClass() {
    static const TClassInfo info("TEdit", &TCustomEdit::StaticClass(), [](TComponent* o) { return new TEdit(o); });
    return info;
}

const TClassInfo& TMaskEdit::StaticClass() {
    static const TClassInfo info("TMaskEdit", &TCustomEdit::StaticClass(),
                                 [](TComponent* o) { return new TMaskEdit(o); });
    return info;
}

// ---- TMemo ----

const TClassInfo& TMemo::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TMemo", &TCustomEdit::StaticClass(), [](TComponent* o) { return new TMemo(o); });
        c.Add(ObjectProperty("Lines", &TMemo::Lines));
        c.Add(Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns));
        c.Add(Property("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs));
        c.Add(Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap));
        c.Add(TypedProperty("ScrollBars", ScrollStyleType(), &TMemo::ScrollBars, &TMemo::SetScrollBars));
        return c;
    }();
    return info;
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TStringList>()) {
    SetBoundsQuiet(0, 0, 185, 89);
    SetAutoSelect(false);
    lines_->OnChange = [this](TObject*) {
        if (syncing_) return;
        syncing_ = true;
        std::string text = lines_->Text();
        if (text.size() >= 2) text.resize(text.size() - 2);   // no break after the last line
        try {
            SetText(text);
        } catch (...) {
            syncing_ = false;
            throw;
        }
        syncing_ = false;
    };
}

TMemo::~TMemo() { lines_->OnChange = nullptr; }

void TMemo::TextChanged() {
    if (!syncing_) {
        syncing_ = true;
        lines_->SetText(Text());
        syncing_ = false;
    }
    TCustomEdit::TextChanged();
}

void TMemo::KeyPress(char32_t& key) {
    if (key == U'\r') {
        if (wantReturns_ && !ReadOnly()) InsertChars(U"\r\n");
        return;
    }
    if (key == U'\t') {
        if (wantTabs_ && !ReadOnly()) InsertChars(U"\t");
        return;
    }
    TCustomEdit::KeyPress(key);
}

bool TMemo::WantsKey(uint16_t key, TShiftState) const {
    return (key == VK_RETURN && wantReturns_) || (key == VK_TAB && wantTabs_);
}
