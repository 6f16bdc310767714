#include "services/workcenter/CharacterWindow.h"

#include "platform/core/Strings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Grid.h"

namespace {

constexpr const char* Punctuation = "，。、；：？！…—·“”‘’《》〈〉（）【】〔〕「」『』～＿｜";
constexpr const char* Symbols =
    "±×÷≤≥≠≈∞√∑∏∫∠⊥∵∴°℃℉‰§№☆★○●◎◇◆□■△▲※→←↑↓¥€£¢"
    "ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ①②③④⑤⑥⑦⑧⑨⑩αβγδεζηθλμπσφω";
constexpr int Columns = 12;

std::vector<std::string> Characters(int set) {
    std::string text = set == 1 ? Punctuation : set == 2 ? Symbols : std::string(Punctuation) + Symbols;
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8CharLen(text, i);
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

}  // namespace

const TClassInfo& TfrmCharacters::StaticClass() {
    static const TClassInfo info("TfrmCharacters", &TForm::StaticClass());
    return info;
}

TfrmCharacters::TfrmCharacters(TComponent* owner, int set, bool several) : TForm(owner), several_(several) {
    SetName("frmCharacters");
    SetCaption("特殊字符");
    SetBounds(0, 0, 420, 300);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetKeyPreview(true);

    const std::vector<std::string> chars = Characters(set);
    sgChars_ = new TStringGrid(this);
    sgChars_->SetName("sgChars");
    sgChars_->SetParent(this);
    sgChars_->SetBounds(8, 8, 404, 210);
    sgChars_->SetFixedCols(0);
    sgChars_->SetFixedRows(0);
    sgChars_->SetDefaultColWidth(32);
    sgChars_->SetColCount(Columns);
    sgChars_->SetRowCount(static_cast<int>((chars.size() + Columns - 1) / Columns));
    for (size_t i = 0; i < chars.size(); ++i)
        sgChars_->SetCells(static_cast<int>(i % Columns), static_cast<int>(i / Columns), chars[i]);
    sgChars_->OnDblClick = [this](TObject*) {
        if (!Current().empty()) SetModalResult(mrOk);
    };

    edtChosen_ = new TEdit(this);
    edtChosen_->SetName("edtChosen");
    edtChosen_->SetParent(this);
    edtChosen_->SetBounds(8, 228, 220, 24);
    edtChosen_->SetVisible(several_);

    auto* ok = new TButton(this);
    ok->SetName("btnOK");
    ok->SetParent(this);
    ok->SetBounds(244, 262, 80, 26);
    ok->SetCaption("确定");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(this);
    cancel->SetName("btnCancel");
    cancel->SetParent(this);
    cancel->SetBounds(332, 262, 80, 26);
    cancel->SetCaption("取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);

    OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
        if (key == VK_SPACE && several_ && ActiveControl() == sgChars_) {
            edtChosen_->SetText(edtChosen_->Text() + Current());
            key = 0;
        }
    };
    sgChars_->MoveTo(0, 0);
    SetActiveControl(sgChars_);
}

std::string TfrmCharacters::Current() const { return sgChars_->Cells(sgChars_->Col(), sgChars_->Row()); }

bool TfrmCharacters::Execute(std::string& chosen) {
    if (ShowModal() != mrOk) return false;
    chosen = several_ && !edtChosen_->Text().empty() ? edtChosen_->Text() : Current();
    return !chosen.empty();
}
