#pragma once
// `TQVForm`: the root of every window and dialog of the module. It fixes the
// window definition every window inherits: "宋体" at height -13, key preview on,
// centred on the screen, unscaled, hints shown. Every window owns the code-page
// converter "QvConverter" (client settings) and the language controller
// "LangController" (inactive until a package is applied).
#include "platform/vcl/Form.h"

class TCodeConverter;
class TQvLangController;

class TQVForm : public TForm {
    VELMORA_CLASS(TQVForm)
public:
    // Raises the converter's ETranslatorError when the interface needs a conversion
    // library that cannot be loaded; no window is made then.
    explicit TQVForm(TComponent* owner);

    TCodeConverter* QvConverter() const noexcept { return qvConverter_; }
    TQvLangController* LangController() const noexcept { return langController_; }

    bool Converted = false;         // the texts have been converted for the code page
    bool TranslateOnShow = false;   // the show event translates the window

private:
    TCodeConverter* qvConverter_;
    TQvLangController* langController_;
};
