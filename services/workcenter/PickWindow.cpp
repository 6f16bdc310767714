#include "services/workcenter/PickWindow.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/Strings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Panel.h"

namespace {

bool Contains(const std::string& text, const std::string& upperNeedle) {
    return UpperCase(text).find(upperNeedle) != std::string::npos;
}

int RowOf(const TListItem* item) { return static_cast<int>(reinterpret_cast<intptr_t>(item->Data())); }

}  // namespace

const TClassInfo& TfrmPick::StaticClass() {
    static const TClassInfo info("TfrmPick", &TForm::StaticClass());
    return info;
}

TfrmPick::TfrmPick(TComponent* owner, const std::string& caption, const std::vector<std::string>& titles,
                   std::vector<std::vector<Variant>> rows, bool multiple)
    : TForm(owner), rows_(std::move(rows)), marked_(rows_.size(), false), multiple_(multiple) {
    SetName("frmPick");
    SetCaption(caption);
    SetBounds(0, 0, 520, 400);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetKeyPreview(true);

    auto* top = new TPanel(this);
    top->SetName("pnlSearch");
    top->SetParent(this);
    top->SetAlign(TAlign::alTop);
    top->SetHeight(32);
    top->SetCaption("");
    edtSearch_ = new TEdit(this);
    edtSearch_->SetName("edtSearch");
    edtSearch_->SetParent(top);
    edtSearch_->SetBounds(8, 4, 300, 24);
    edtSearch_->SetText("");
    edtSearch_->OnChange = [this](TObject*) { Filter(); };

    // Created in tab order: search box, list, buttons.
    lvRows_ = new TListView(this);
    lvRows_->SetName("lvRows");
    lvRows_->SetParent(this);
    lvRows_->SetAlign(TAlign::alClient);
    lvRows_->SetViewStyle(TViewStyle::vsReport);
    lvRows_->SetRowSelect(true);
    lvRows_->SetReadOnly(true);
    lvRows_->SetCheckboxes(multiple_);
    for (const std::string& title : titles) {
        TListColumn* column = lvRows_->Columns()->Add();
        column->SetCaption(title);
        column->SetWidth(120);
    }
    lvRows_->OnDblClick = [this](TObject*) {
        if (lvRows_->Selected()) SetModalResult(mrOk);
    };

    auto* bottom = new TPanel(this);
    bottom->SetName("pnlButtons");
    bottom->SetParent(this);
    bottom->SetAlign(TAlign::alBottom);
    bottom->SetHeight(40);
    bottom->SetCaption("");
    auto* ok = new TButton(this);
    ok->SetName("btnOK");
    ok->SetParent(bottom);
    ok->SetBounds(340, 8, 80, 26);
    ok->SetCaption("确定");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(this);
    cancel->SetName("btnCancel");
    cancel->SetParent(bottom);
    cancel->SetBounds(428, 8, 80, 26);
    cancel->SetCaption("取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);

    OnKeyDown = [this](TObject*, uint16_t& key, TShiftState shift) {
        switch (key) {
            case VK_UP: MoveCurrent(-1); break;
            case VK_DOWN: MoveCurrent(1); break;
            case VK_PRIOR: MoveCurrent(-10); break;
            case VK_NEXT: MoveCurrent(10); break;
            case VK_HOME:
            case VK_END:
                // In the search box these keys move the caret.
                if (ActiveControl() != lvRows_) return;
                MoveCurrent(key == VK_HOME ? -lvRows_->ItemCount() : lvRows_->ItemCount());
                break;
            case VK_SPACE:
                if (ActiveControl() != lvRows_ || !multiple_ || !shift.Empty()) return;
                ToggleMark();
                break;
            default: return;
        }
        key = 0;
    };
    SetActiveControl(edtSearch_);
    Filter();
}

void TfrmPick::SetSearch(const std::string& text) {
    edtSearch_->SetText(text);
    edtSearch_->SelectAll();
}

void TfrmPick::LocateFirstValue(const std::string& text) {
    for (int i = 0; i < lvRows_->ItemCount(); ++i) {
        const auto& row = rows_[static_cast<size_t>(RowOf(lvRows_->Items(i)))];
        if (!row.empty() && row[0].AsString() == text) {
            lvRows_->SetItemIndex(i);
            return;
        }
    }
}

void TfrmPick::Filter() {
    const std::string needle = UpperCase(Trim(edtSearch_->Text()));
    lvRows_->ClearItems();
    for (size_t r = 0; r < rows_.size(); ++r) {
        const auto& row = rows_[r];
        if (!needle.empty() &&
            std::none_of(row.begin(), row.end(), [&](const Variant& v) { return Contains(v.AsString(), needle); }))
            continue;
        TListItem* item = lvRows_->AddItem();
        item->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(r)));
        item->SetCaption(row.empty() ? "" : row[0].AsString());
        for (size_t c = 1; c < row.size(); ++c) item->SubItems()->Add(row[c].AsString());
        item->SetChecked(marked_[r]);
    }
    if (lvRows_->ItemCount() > 0) lvRows_->SetItemIndex(0);
}

void TfrmPick::MoveCurrent(int delta) {
    if (lvRows_->ItemCount() == 0) return;
    const int to = std::clamp(lvRows_->ItemIndex() + delta, 0, lvRows_->ItemCount() - 1);
    lvRows_->SetItemIndex(to);
}

void TfrmPick::ToggleMark() {
    TListItem* item = lvRows_->Selected();
    if (!item) return;
    const size_t r = static_cast<size_t>(RowOf(item));
    marked_[r] = !marked_[r];
    item->SetChecked(marked_[r]);
}

std::vector<int> TfrmPick::Chosen() const {
    std::vector<int> chosen;
    if (multiple_)
        for (size_t r = 0; r < marked_.size(); ++r)
            if (marked_[r]) chosen.push_back(static_cast<int>(r));
    if (chosen.empty() && lvRows_->Selected()) chosen.push_back(RowOf(lvRows_->Selected()));
    return chosen;
}

std::vector<int> TfrmPick::Execute() {
    if (ShowModal() != mrOk) return {};
    return Chosen();
}
