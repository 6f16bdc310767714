#pragma once
// `TQVForm`: the root of every window and dialog of the module. It fixes the
// window definition every window inherits: "宋体" at height -13, key preview on,
// centred on the screen, unscaled, hints shown.
#include "platform/vcl/Form.h"

class TQVForm : public TForm {
    VELMORA_CLASS(TQVForm)
public:
    explicit TQVForm(TComponent* owner);

    bool Converted = false;         // the texts have been converted for the code page
    bool TranslateOnShow = false;   // the show event translates the window
};
