#include "src/forms/QVForm.h"

const TClassInfo& TQVForm::StaticClass() {
    static const TClassInfo info("TQVForm", &TForm::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return NewForm<TQVForm>(owner); });
    return info;
}

TQVForm::TQVForm(TComponent* owner) : TForm(owner) {
    SetBounds(0, 0, 400, 191);
    Font()->SetName("宋体");
    Font()->SetHeight(-13);
    SetKeyPreview(true);
    SetPosition(TPosition::poScreenCenter);
    SetScaled(false);
    SetShowHint(true);
}
