#pragma once
// A form owned by a test: created with NewForm (so OnCreate runs) and freed with
// Free (so OnDestroy runs) when the pointer goes.
#include <memory>
#include <string>

#include "platform/vcl/Form.h"

template <typename T = TForm>
TFormPtr<T> MakeForm(const std::string& name, int width = 400, int height = 300) {
    TFormPtr<T> form(NewForm<T>(nullptr));
    form->SetName(name);
    form->SetBounds(0, 0, width, height);
    return form;
}
