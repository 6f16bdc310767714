#include "services/workcenter/PhraseWindow.h"

#include "platform/core/Strings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ListBox.h"
#include "services/workcenter/ServerLink.h"

const TClassInfo& TfrmPhrase::StaticClass() {
    static const TClassInfo info("TfrmPhrase", &TForm::StaticClass());
    return info;
}

TfrmPhrase::TfrmPhrase(TComponent* owner, TServerLink& link, const std::string& user, const std::string& text)
    : TForm(owner), link_(link), user_(user) {
    SetName("frmPhrase");
    SetCaption("常用语");
    SetBounds(0, 0, 420, 320);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsDialog);

    lbPhrases_ = new TListBox(this);
    lbPhrases_->SetName("lbPhrases");
    lbPhrases_->SetParent(this);
    lbPhrases_->SetBounds(8, 8, 312, 232);
    lbPhrases_->OnDblClick = [this](TObject*) {
        if (lbPhrases_->ItemIndex() >= 0) SetModalResult(mrOk);
    };

    edtPhrase_ = new TEdit(this);
    edtPhrase_->SetName("edtPhrase");
    edtPhrase_->SetParent(this);
    edtPhrase_->SetBounds(8, 248, 312, 24);
    edtPhrase_->SetText(text);

    auto button = [this](const char* name, const char* caption, int top) {
        auto* b = new TButton(this);
        b->SetName(name);
        b->SetParent(this);
        b->SetBounds(328, top, 84, 26);
        b->SetCaption(caption);
        return b;
    };
    TButton* ok = button("btnOK", "确定", 8);
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) {
        if (lbPhrases_->ItemIndex() >= 0) SetModalResult(mrOk);
    };
    TButton* cancel = button("btnCancel", "取消", 40);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    button("btnDelete", "删除", 180)->OnClick = [this](TObject*) { DeletePhrase(); };
    button("btnAdd", "新增", 248)->OnClick = [this](TObject*) { AddPhrase(); };

    Reload(0);
    SetActiveControl(lbPhrases_);
}

void TfrmPhrase::Reload(long long select) {
    lbPhrases_->Items()->Clear();
    numbers_.clear();
    const Variant rows = link_.Server().Call("GetPhrases", user_);
    if (rows.IsArray())
        for (const Variant& row : rows.Elements()) {
            numbers_.push_back(row[0].AsInteger());
            lbPhrases_->Items()->Add(row[1].AsString());
        }
    int index = numbers_.empty() ? -1 : 0;
    for (size_t i = 0; i < numbers_.size(); ++i)
        if (numbers_[i] == select) index = static_cast<int>(i);
    lbPhrases_->SetItemIndex(index);
    // After adding or deleting, Enter takes the current phrase.
    if (lbPhrases_->Showing()) lbPhrases_->SetFocus();
}

void TfrmPhrase::AddPhrase() {
    const std::string text = Trim(edtPhrase_->Text());
    if (text.empty()) return;
    Reload(link_.Server().Call("AddPhrase", user_, text).AsInteger());
}

void TfrmPhrase::DeletePhrase() {
    const int index = lbPhrases_->ItemIndex();
    if (index < 0) return;
    const size_t i = static_cast<size_t>(index);
    link_.Server().Call("DeletePhrase", user_, numbers_[i]);
    // The phrase after the deleted one stays current, else the one before it.
    Reload(i + 1 < numbers_.size() ? numbers_[i + 1] : i > 0 ? numbers_[i - 1] : 0);
}

int TfrmPhrase::Execute(std::string& text) {
    if (ShowModal() != mrOk || lbPhrases_->ItemIndex() < 0) return -1;
    text = lbPhrases_->Items()->Strings(lbPhrases_->ItemIndex());
    return lbPhrases_->ItemIndex();
}
