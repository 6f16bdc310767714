#include "src/forms/QVForm.h"

#include "src/language/CodeConverter.h"
#include "src/language/LanguageController.h"

const TClassInfo& TQVForm::StaticClass() {
    static const TClassInfo info("TQVForm", &TForm::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return NewForm<TQVForm>(owner); });
    return info;
}

TQVForm::TQVForm(TComponent* owner)
    : TForm(owner), qvConverter_(new TCodeConverter(this)), langController_(new TQvLangController(this)) {
    qvConverter_->SetName("QvConverter");
    qvConverter_->SetDesignType(TDesignType::dtClient);
    langController_->SetName("LangController");
    langController_->SetActive(false);
    SetBounds(0, 0, 400, 191);
    Font()->SetName("宋体");
    Font()->SetHeight(-13);
    SetKeyPreview(true);
    SetPosition(TPosition::poScreenCenter);
    SetScaled(false);
    SetShowHint(true);
}
