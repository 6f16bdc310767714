#include <gtest/gtest.h>

#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Timer.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
// A form with private messages of its own, as the framework's windows post their
// deferred lookups (1034 to 1037) to themselves.
class TLookupForm : public TForm {
public:
    using TForm::TForm;
    std::vector<std::string> log;

    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_USER + 10 && m.Msg <= WM_USER + 13) {
            log.push_back("msg " + std::to_string(m.Msg) + " " + std::to_string(m.WParam));
            m.Result = 1;
            return;
        }
        TForm::WndProc(m);
    }
};
}  // namespace

TEST(Messages, PostedRunAfterTheCurrentHandlerInOrderSentRunAtOnce) {
    auto form = MakeForm<TLookupForm>("frmLookup");
    auto* button = new TButton(form.get());
    button->SetName("btnGo");
    button->SetParent(form.get());
    button->OnClick = [&](TObject*) {
        PostMessage(form.get(), 1034, 1);
        PostMessage(form.get(), 1035, 2);
        form->log.push_back("sent " + std::to_string(SendMessage(form.get(), 1036, 3)));
        form->log.push_back("handler done");
    };
    form->Show();
    ClickNamed(*form, "btnGo");
    EXPECT_EQ(form->log, (std::vector<std::string>{"msg 1036 3", "sent 1", "handler done", "msg 1034 1", "msg 1035 2"}));
    EXPECT_EQ(Application()->PendingMessages(), 0u);
}

TEST(Messages, MessagesForADestroyedControlAreDropped) {
    auto form = MakeForm<TLookupForm>("frmGone");
    auto other = MakeForm<TLookupForm>("frmStays");
    PostMessage(form.get(), 1034);
    PostMessage(other.get(), 1037);
    form.reset();
    Application()->ProcessMessages();
    EXPECT_EQ(other->log, (std::vector<std::string>{"msg 1037 0"}));
}

TEST(Messages, AnErrorInAPostedMessageGoesToTheApplicationsHandler) {
    struct TThrowing : TForm {
        using TForm::TForm;
        void WndProc(TMessage& m) override {
            if (m.Msg == 1034) throw EConvertError("bad");
            if (m.Msg == 1035) Abort();
            TForm::WndProc(m);
        }
    };
    auto form = MakeForm<TThrowing>("frmThrows");
    std::vector<std::string> errors;
    Application()->OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    PostMessage(form.get(), 1034);
    PostMessage(form.get(), 1035);   // the silent abort is never shown
    Application()->ProcessMessages();
    Application()->OnException = nullptr;
    EXPECT_EQ(errors, (std::vector<std::string>{"bad"}));
}

TEST(Timers, FireWhenTheClockPassesTheirInterval) {
    TComponent owner(nullptr);
    auto* fast = new TTimer(&owner);
    fast->SetInterval(100);
    auto* slow = new TTimer(&owner);
    slow->SetInterval(250);
    std::vector<std::string> log;
    fast->OnTimer = [&](TObject*) { log.push_back("fast"); };
    slow->OnTimer = [&](TObject*) {
        log.push_back("slow");
        slow->SetEnabled(false);
    };
    Application()->AdvanceTime(300);
    EXPECT_EQ(log, (std::vector<std::string>{"fast", "fast", "slow", "fast"}));
    delete fast;
    Application()->AdvanceTime(1000);
    EXPECT_EQ(log.size(), 4u);
}

TEST(Hints, MovingOverAControlMakesItsLongHintTheApplicationsHint) {
    auto form = MakeForm("frmHints");
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetHint("Save|Saves the record");
    auto* plain = new TButton(form.get());
    plain->SetParent(form.get());
    plain->SetHint("Query");
    form->Show();
    std::vector<std::string> shown;
    Application()->OnHint = [&](TObject*) { shown.push_back(Application()->Hint()); };
    MouseMove(*button, 3, 3);
    MouseMove(*button, 4, 4);   // the same hint is not reported again
    MouseMove(*plain, 3, 3);
    Application()->OnHint = nullptr;
    Application()->SetHint("");
    EXPECT_EQ(shown, (std::vector<std::string>{"Saves the record", "Query"}));
}
