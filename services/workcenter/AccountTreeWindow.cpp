#include "services/workcenter/AccountTreeWindow.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/core/Strings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/TreeView.h"

namespace {

const TAccount& AccountOf(const std::vector<TAccount>& accounts, const TTreeNode* node) {
    return accounts[static_cast<size_t>(reinterpret_cast<intptr_t>(node->Data()))];
}

}  // namespace

const TClassInfo& TfrmAccountTree::StaticClass() {
    static const TClassInfo info("TfrmAccountTree", &TForm::StaticClass());
    return info;
}

TfrmAccountTree::TfrmAccountTree(TComponent* owner, std::vector<TAccount> accounts, const std::string& current)
    : TForm(owner), accounts_(std::move(accounts)) {
    SetName("frmAccountTree");
    SetCaption("会计科目");
    SetBounds(0, 0, 420, 460);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetKeyPreview(true);
    OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
        if (key != VK_F3) return;
        if (!SelectMatch(tvAccounts_->Selected())) SelectMatch(nullptr);
        key = 0;
    };

    edtSearch_ = new TEdit(this);
    edtSearch_->SetName("edtSearch");
    edtSearch_->SetParent(this);
    edtSearch_->SetBounds(8, 8, 404, 24);
    edtSearch_->OnChange = [this](TObject*) { SelectMatch(nullptr); };

    tvAccounts_ = new TTreeView(this);
    tvAccounts_->SetName("tvAccounts");
    tvAccounts_->SetParent(this);
    tvAccounts_->SetBounds(8, 40, 404, 370);
    tvAccounts_->SetReadOnly(true);
    tvAccounts_->OnDblClick = [this](TObject*) {
        if (tvAccounts_->Selected()) SetModalResult(mrOk);
    };

    auto* ok = new TButton(this);
    ok->SetName("btnOK");
    ok->SetParent(this);
    ok->SetBounds(244, 422, 80, 26);
    ok->SetCaption("确定");
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) {
        if (tvAccounts_->Selected()) SetModalResult(mrOk);
    };
    auto* cancel = new TButton(this);
    cancel->SetName("btnCancel");
    cancel->SetParent(this);
    cancel->SetBounds(332, 422, 80, 26);
    cancel->SetCaption("取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);

    // In code order a parent comes before its children, so each account's
    // parent node exists when the account is added.
    std::sort(accounts_.begin(), accounts_.end(), [](const TAccount& a, const TAccount& b) { return a.Code < b.Code; });
    std::map<std::string, TTreeNode*> nodes;
    TTreeNodes* items = tvAccounts_->Items();
    items->BeginUpdate();
    for (size_t i = 0; i < accounts_.size(); ++i) {
        const std::string& code = accounts_[i].Code;
        TTreeNode* parent = nullptr;
        for (size_t len = code.size(); len-- > 1 && !parent;) {
            auto it = nodes.find(code.substr(0, len));
            if (it != nodes.end()) parent = it->second;
        }
        TTreeNode* node = items->AddChild(parent, code + " " + accounts_[i].Name);
        node->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(i)));
        nodes[code] = node;
    }
    items->EndUpdate();
    if (auto it = nodes.find(Trim(current)); it != nodes.end()) SelectNode(it->second);
    SetActiveControl(edtSearch_);
}

void TfrmAccountTree::SelectNode(TTreeNode* node) {
    for (TTreeNode* p = node->Parent(); p; p = p->Parent()) p->Expand();
    tvAccounts_->SetSelected(node);
}

bool TfrmAccountTree::SelectMatch(const TTreeNode* after) {
    const std::string text = Trim(edtSearch_->Text());
    if (text.empty()) return false;
    const std::string upper = UpperCase(text);
    TTreeNode* node = after ? after->GetNext() : tvAccounts_->Items()->GetFirstNode();
    for (; node; node = node->GetNext()) {
        const TAccount& account = AccountOf(accounts_, node);
        if (account.Code.rfind(text, 0) == 0 || UpperCase(account.Name).find(upper) != std::string::npos) {
            SelectNode(node);
            return true;
        }
    }
    return false;
}

std::string TfrmAccountTree::Execute() {
    if (ShowModal() != mrOk || !tvAccounts_->Selected()) return {};
    return AccountOf(accounts_, tvAccounts_->Selected()).Code;
}
