#pragma once
// `TfrmCalculator`: shows an expression in `edtExpression`, evaluates it as
// the user corrects it and shows the value, or why it does not evaluate, in
// `lblResult`. OK (`btnOK`, Enter) is taken only when the expression
// evaluates; Cancel (`btnCancel`, Escape) leaves it.
#include <string>

#include "platform/vcl/Form.h"

class TEdit;
class TLabel;

class TfrmCalculator : public TForm {
    VELMORA_CLASS(TfrmCalculator)
public:
    TfrmCalculator(TComponent* owner, const std::string& expression);

    // Runs the window; true and the value as text after OK, false after Cancel.
    bool Execute(std::string& value);

private:
    // Evaluates the edit's text into lblResult; true when it evaluates.
    bool Evaluate();

    TEdit* edtExpression_;
    TLabel* lblResult_;
    std::string value_;
};
