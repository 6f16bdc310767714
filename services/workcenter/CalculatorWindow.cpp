#include "services/workcenter/CalculatorWindow.h"

#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "services/workcenter/Calculator.h"

const TClassInfo& TfrmCalculator::StaticClass() {
    static const TClassInfo info("TfrmCalculator", &TForm::StaticClass());
    return info;
}

TfrmCalculator::TfrmCalculator(TComponent* owner, const std::string& expression) : TForm(owner) {
    SetName("frmCalculator");
    SetCaption("计算器");
    SetBounds(0, 0, 360, 140);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsDialog);

    edtExpression_ = new TEdit(this);
    edtExpression_->SetName("edtExpression");
    edtExpression_->SetParent(this);
    edtExpression_->SetBounds(8, 8, 344, 24);
    edtExpression_->SetText(expression);
    edtExpression_->OnChange = [this](TObject*) { Evaluate(); };

    lblResult_ = new TLabel(this);
    lblResult_->SetName("lblResult");
    lblResult_->SetParent(this);
    lblResult_->SetBounds(8, 40, 344, 40);
    lblResult_->SetWordWrap(true);

    auto* ok = new TButton(this);
    ok->SetName("btnOK");
    ok->SetParent(this);
    ok->SetBounds(184, 100, 80, 26);
    ok->SetCaption("确定");
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) {
        if (Evaluate()) SetModalResult(mrOk);
    };
    auto* cancel = new TButton(this);
    cancel->SetName("btnCancel");
    cancel->SetParent(this);
    cancel->SetBounds(272, 100, 80, 26);
    cancel->SetCaption("取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);

    SetActiveControl(edtExpression_);
    Evaluate();
}

bool TfrmCalculator::Evaluate() {
    try {
        value_ = FormatCalcValue(EvaluateExpression(edtExpression_->Text()));
        lblResult_->SetCaption("= " + value_);
        return true;
    } catch (const ECalcError& e) {
        value_.clear();
        lblResult_->SetCaption(e.Message());
        return false;
    }
}

bool TfrmCalculator::Execute(std::string& value) {
    if (ShowModal() != mrOk) return false;
    value = value_;
    return true;
}
