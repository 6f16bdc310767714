#include "platform/vcl/Dialogs.h"

#include <algorithm>
#include <memory>

#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Label.h"

namespace {
struct ButtonInfo {
    const char* name;
    const char* caption;
    int result;
};
const ButtonInfo& Info(TMsgDlgBtn b) {
    static const ButtonInfo table[] = {
        {"Yes", "&Yes", mrYes},         {"No", "&No", mrNo},           {"OK", "OK", mrOk},
        {"Cancel", "Cancel", mrCancel}, {"Abort", "&Abort", mrAbort},   {"Retry", "&Retry", mrRetry},
        {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},        {"NoToAll", "N&o to All", mrNoToAll},
        {"YesToAll", "Yes to &All", mrYesToAll}, {"Help", "&Help", mrNone},
    };
    return table[static_cast<int>(b)];
}

bool Has(const TMsgDlgButtons& buttons, TMsgDlgBtn b) {
    return std::find(buttons.begin(), buttons.end(), b) != buttons.end();
}
}  // namespace

std::string MsgDlgCaption(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::mtWarning: return "Warning";
        case TMsgDlgType::mtError: return "Error";
        case TMsgDlgType::mtInformation: return "Information";
        case TMsgDlgType::mtConfirmation: return "Confirm";
        case TMsgDlgType::mtCustom: break;
    }
    return Application()->Title();
}

const char* MsgDlgButtonName(TMsgDlgBtn button) { return Info(button).name; }

int MsgDlgButtonResult(TMsgDlgBtn button) { return Info(button).result; }

TForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    TForm* form = NewForm<TForm>(Application());
    try {
        form->SetName("MessageDlg");
        form->SetCaption(MsgDlgCaption(type));
        form->SetBorderStyle(TFormBorderStyle::bsDialog);
        form->SetPosition(TPosition::poScreenCenter);
        auto* label = new TLabel(form);
        label->SetName("Message");
        label->SetParent(form);
        label->SetBounds(16, 16, 0, 0);
        label->SetCaption(text);

        // Buttons in the fixed order of the kinds, centred under the text.
        std::vector<TMsgDlgBtn> order;
        for (int k = 0; k <= static_cast<int>(TMsgDlgBtn::mbHelp); ++k)
            if (Has(buttons, static_cast<TMsgDlgBtn>(k))) order.push_back(static_cast<TMsgDlgBtn>(k));
        if (order.empty()) order.push_back(TMsgDlgBtn::mbOK);
        const TMsgDlgBtn defaultKind = Has(order, TMsgDlgBtn::mbOK) ? TMsgDlgBtn::mbOK
                                       : Has(order, TMsgDlgBtn::mbYes) ? TMsgDlgBtn::mbYes
                                                                       : order.front();
        const TMsgDlgBtn cancelKind = Has(order, TMsgDlgBtn::mbCancel) ? TMsgDlgBtn::mbCancel
                                      : Has(order, TMsgDlgBtn::mbNo)   ? TMsgDlgBtn::mbNo
                                                                       : TMsgDlgBtn::mbOK;
        const int buttonWidth = 75, gap = 8, n = static_cast<int>(order.size());
        const int width = std::max(label->Width() + 32, n * buttonWidth + (n - 1) * gap + 32);
        form->SetBounds(0, 0, width, label->Height() + 80);
        int x = (width - (n * buttonWidth + (n - 1) * gap)) / 2;
        for (TMsgDlgBtn kind : order) {
            auto* b = new TButton(form);
            b->SetName(Info(kind).name);
            b->SetParent(form);
            b->SetCaption(Info(kind).caption);
            b->SetModalResult(Info(kind).result);
            b->SetBounds(x, label->Height() + 40, buttonWidth, 25);
            b->SetDefault(kind == defaultKind);
            b->SetCancel(kind == cancelKind && Has(order, cancelKind));
            if (kind == defaultKind) form->SetActiveControl(b);
            x += buttonWidth + gap;
        }
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

int MessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int) {
    TForm* form = CreateMessageDialog(text, type, buttons);
    try {
        const int result = form->ShowModal();
        form->Free();
        return result;
    } catch (...) {
        form->Free();
        throw;
    }
}

void ShowMessage(const std::string& text) {
    TForm* form = CreateMessageDialog(text, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK});
    try {
        form->ShowModal();
    } catch (...) {
        form->Free();
        throw;
    }
    form->Free();
}
