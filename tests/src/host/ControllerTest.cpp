// Drives the built module the way the shell does: dlopen, GetController, a work
// center and a recording callback, then the controller's operations.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/core/Automation.h"
#include "src/forms/RadicalCF.h"
#include "src/host/DLLFunc.h"
#include "src/host/DLLMTCtrller.h"
#include "src/server/Brokers.h"
#include "tests/support/vcl/DialogAnswerer.h"

namespace {

// A program window that records what the controller asks of it.
class TTestWindow : public TfrmRadical {
    VELMORA_CLASS(TTestWindow)
public:
    explicit TTestWindow(TComponent* owner) : TfrmRadical(owner) {
        OnShow = [this](TObject*) { Events.push_back("own show"); };
        OnClose = [this](TObject*, TCloseAction&) { Events.push_back("own close"); };
        OnDestroy = [this](TObject*) { Events.push_back("own destroy"); };
    }
    bool OpenProgram(const Variant& params) override {
        ++Opens;
        TfrmRadical::OpenProgram(params);
        Brokers()->ProgramName = "设置分录性质-费用调整单";
        ReturnCode = 2;
        return OpenResult;
    }
    void ApplyCommandFlags() override { ++FlagApplies; }

    static inline bool OpenResult = true;
    static inline std::vector<std::string> Events;
    int Opens = 0;
    int FlagApplies = 0;
};

const TClassInfo& TTestWindow::StaticClass() {
    static const TClassInfo info("TTestWindow", &TfrmRadical::StaticClass(),
                                 [](TComponent* owner) -> TComponent* { return NewForm<TTestWindow>(owner); });
    return info;
}

class TFakeWorkCenter : public AutoObject {
public:
    explicit TFakeWorkCenter(int64_t version) : AutoObject("KestrinWorkCenter.Manager"), version_(version) {
        Property("DependencyVersion", [this](OleArgs&) { return Variant(version_); });
    }

private:
    int64_t version_;
};

using GetControllerFn = TDLLBaseController* (*)();

class ControllerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = dlopen(TOVI58_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        getController_ = reinterpret_cast<GetControllerFn>(dlsym(module_, "GetController"));
        ASSERT_NE(getController_, nullptr) << dlerror();
    }
    static void TearDownTestSuite() { dlclose(module_); }

    void SetUp() override {
        savedFormClass_ = frmRadicalClass;
        frmRadicalClass = &TTestWindow::StaticClass();
        TTestWindow::OpenResult = true;
        TTestWindow::Events.clear();
    }
    void TearDown() override { frmRadicalClass = savedFormClass_; }

    // A controller as the shell sets it up: work center and recording callback.
    std::unique_ptr<TDLLBaseController> NewController(int64_t version = 8000) {
        std::unique_ptr<TDLLBaseController> c(getController_());
        c->WorkCenter = Variant(std::make_shared<TFakeWorkCenter>(version));
        c->OnNotify.Code = [](void* context, int32_t code, TDLLBaseController*) {
            static_cast<std::vector<int32_t>*>(context)->push_back(code);
        };
        c->OnNotify.Context = &codes;
        return c;
    }
    static Variant Session() { return Variant::ArrayOf({"DS", "DEMO", "DEMO", 4711, "ctx"}); }
    static TTestWindow* WindowOf(TDLLBaseController& c) {
        return dynamic_cast<TTestWindow*>(static_cast<TDLLMTCtrller&>(c).Form());
    }

    std::vector<int32_t> codes;
    static inline void* module_ = nullptr;
    static inline GetControllerFn getController_ = nullptr;
    const TClassInfo* savedFormClass_ = nullptr;
};

TEST(ModuleLoad, RegistersTheFieldClassesUntilUnloaded) {
    ASSERT_EQ(GetClass("TStringField"), nullptr);
    void* module = dlopen(TOVI58_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    for (const char* name : {"TADTField", "TAggregateField", "TDataSetField", "TStringField", "TVarBytesField", "TWordField"})
        EXPECT_NE(GetClass(name), nullptr) << name;
    dlclose(module);
    EXPECT_EQ(GetClass("TStringField"), nullptr);
}

TEST_F(ControllerTest, ControllersAreIndependentAndSilentUntilOpened) {
    auto a = NewController();
    auto b = NewController();
    EXPECT_NE(a.get(), b.get());
    EXPECT_TRUE(a->IsFormFree());
    EXPECT_EQ(a->OpenForm(Session()), 0);
    EXPECT_EQ(codes, (std::vector<int32_t>{256}));
    b.reset();   // created and destroyed without a window: nothing sent
    EXPECT_EQ(codes, (std::vector<int32_t>{256}));
    EXPECT_FALSE(a->IsFormFree());
    EXPECT_EQ(a->GetFormText(), "");
    EXPECT_EQ(a->GetVisible(), 0);
    a->SetVisible(1);
    EXPECT_EQ(a->GetVisible(), LongTrue);
    EXPECT_NE(a->GetHandle(), 0);
}

TEST_F(ControllerTest, MissingClassReferencesRaiseTheInternalErrors) {
    const TDLLControllerClass saved = DLLControllerClass;
    DLLControllerClass = nullptr;
    try {
        getController_();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "QVN DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    DLLControllerClass = saved;

    frmRadicalClass = nullptr;
    auto c = NewController();
    try {
        c->OpenForm(Session());
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "QVN DLL Internal Error :\rNot Assign \"frmRadicalClass\" varible");
    }
    EXPECT_TRUE(c->IsFormFree());
}

TEST_F(ControllerTest, OnlyWorkCenterVersion8000IsAccepted) {
    const std::string finalText = "KestrinWorkCenter version too old,please update!";
    struct Case {
        int64_t version;
        std::string firstMessage;
    } cases[] = {
        {7999, "KestrinWorkCenter version too old,please update."},
        {8001, "This program's version is too old, please update."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        codes.clear();
        auto controller = NewController(c.version);
        TDialogAnswerer answers;
        answers.Click("OK").Click("OK");
        try {
            controller->OpenForm(Session());
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), finalText + c.firstMessage);
        }
        ASSERT_EQ(answers.Shown().size(), 2u);
        EXPECT_EQ(answers.Shown()[0].Text, c.firstMessage);
        EXPECT_EQ(answers.Shown()[1].Text, finalText);
        EXPECT_TRUE(codes.empty());
        // The window stays with the controller, created but not opened.
        ASSERT_NE(WindowOf(*controller), nullptr);
        EXPECT_EQ(WindowOf(*controller)->Opens, 0);
    }

    // No work-center object at all: the automation failure itself is caught.
    auto controller = NewController();
    controller->WorkCenter = Variant();
    TDialogAnswerer answers;
    answers.Click("OK");
    EXPECT_THROW(controller->OpenForm(Session()), Exception);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].Text, finalText);
}

TEST_F(ControllerTest, WindowGetsModulePathSessionAndWorkCenter) {
    auto c = NewController();
    ASSERT_EQ(c->OpenForm(Session()), 0);
    TTestWindow* w = WindowOf(*c);
    EXPECT_EQ(w->ModulePath(), ModuleFileName());
    EXPECT_EQ(w->ProgramId(), "TOVI58");
    EXPECT_TRUE(w->IsHosted());
    EXPECT_TRUE(w->Brokers()->WorkCenter.IsDispatch());
    EXPECT_EQ(w->HostWindow, 4711);
    EXPECT_EQ(w->HostContext.AsString(), "ctx");

    Variant info;
    EXPECT_EQ(c->GetSessionInfo(info), 0);
    EXPECT_EQ(info, Variant::ArrayOf({"DS", "DEMO", "TOVI58", "设置分录性质-费用调整单"}));

    TTestWindow::OpenResult = false;
    EXPECT_EQ(c->OpenForm(Session()), -1);   // OpenProgram refused: no message, result -1
}

TEST_F(ControllerTest, OperationsWithoutWindow) {
    auto c = NewController();
    Variant info;
    EXPECT_EQ(c->GetSessionInfo(info), -1);
    EXPECT_EQ(c->SetOpenMode(1, 255, Variant()), -1);
    EXPECT_EQ(c->SetCondition(Variant::ArrayOf({0, "x"})), -1);
    EXPECT_EQ(c->GetHandle(), 0);
    EXPECT_EQ(c->GetFormText(), "");
    c->FreeForm(0);
    c->ShowModalForm(info);
    c->SetVisible(1);
    EXPECT_TRUE(codes.empty());
}

TEST_F(ControllerTest, HostFlagsCanOnlyClearWindowBits) {
    struct Case {
        int32_t hostFlags;
        uint16_t windowFlags;
    } cases[] = {
        {0, 256},
        {255, 511},
        {255 & ~2, 511 & ~8},   // host delete bit gates window bit 8
        {255 & ~8, 511 & ~2},   // host edit bit gates window bit 2
        {255 & ~(1 | 4 | 16), 511 & ~(1 | 4 | 16)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.hostFlags);
        auto c = NewController();
        ASSERT_EQ(c->OpenForm(Session()), 0);
        EXPECT_EQ(c->SetOpenMode(2, k.hostFlags, Variant()), 0);
        EXPECT_EQ(WindowOf(*c)->CommandFlags, k.windowFlags);
        EXPECT_EQ(WindowOf(*c)->FlagApplies, 1);
        c->SetOpenMode(2, 255, Variant());   // set bits never come back
        EXPECT_EQ(WindowOf(*c)->CommandFlags, k.windowFlags);
    }
}

TEST_F(ControllerTest, HostModeCodesBecomeOpenModes) {
    struct Case {
        int32_t host;
        uint8_t mode;
        bool keepsValue;
    } cases[] = {{1, 1, false}, {5, 5, false}, {6, 0, false}, {7, 7, true}, {8, 8, true},  {9, 0, false},
                 {10, 9, true}, {11, 0, false}, {12, 10, false}, {13, 11, false}, {14, 0, false}, {0, 0, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.host);
        auto c = NewController();
        ASSERT_EQ(c->OpenForm(Session()), 0);
        EXPECT_EQ(c->SetOpenMode(k.host, 255, "preset"), 0);
        EXPECT_EQ(WindowOf(*c)->OpenMode, k.mode);
        EXPECT_EQ(WindowOf(*c)->OpenValue.AsString(), k.keepsValue ? "preset" : "");
    }
}

TEST_F(ControllerTest, ConditionsAsArrayTextAndNull) {
    auto c = NewController();
    ASSERT_EQ(c->OpenForm(Session()), 0);
    TTestWindow* w = WindowOf(*c);
    EXPECT_EQ(c->SetCondition(Variant::ArrayOf({"ignored", Variant::ArrayOf({"MB001='K501'", 7})})), 0);
    EXPECT_EQ(w->Condition, "MB001='K501'");
    EXPECT_EQ(w->ConditionParam.AsInteger(), 7);
    EXPECT_EQ(c->SetCondition(Variant::ArrayOf({"ignored", "MB002='91'"})), 0);
    EXPECT_EQ(w->Condition, "MB002='91'");
    EXPECT_EQ(w->ConditionParam.AsInteger(), 7);   // untouched
    EXPECT_EQ(c->SetCondition(Variant::Null()), -1);
    EXPECT_EQ(c->SetCondition(Variant::ArrayOf({"only one"})), -1);   // reading element 1 fails
    EXPECT_EQ(w->Condition, "MB002='91'");
}

TEST_F(ControllerTest, ClosedModalRunReportsCloseTwiceThenDestroy) {
    auto c = NewController();
    ASSERT_EQ(c->OpenForm(Session()), 0);
    codes.clear();
    TDialogAnswerer answers;
    answers.Then([](TCustomForm& form) { form.Close(); });
    Variant value = "untouched";
    c->ShowModalForm(value);
    EXPECT_EQ(codes, (std::vector<int32_t>{272, 320, 288, 320, 304}));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_TRUE(c->IsFormFree());
    EXPECT_EQ(c->ReturnCode, 2);
}

TEST_F(ControllerTest, FreeFormSilentlyOrWithTheCloseRelay) {
    struct Case {
        int32_t silent;
        std::vector<int32_t> codes;
        std::vector<std::string> windowEvents;
    } cases[] = {
        {1, {304}, {"own destroy"}},
        {0, {320, 304}, {"own close", "own destroy"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.silent);
        auto c = NewController();
        ASSERT_EQ(c->OpenForm(Session()), 0);
        codes.clear();
        TTestWindow::Events.clear();
        c->FreeForm(k.silent);
        EXPECT_EQ(codes, k.codes);
        EXPECT_EQ(TTestWindow::Events, k.windowEvents);
        EXPECT_TRUE(c->IsFormFree());
        EXPECT_EQ(c->ReturnCode, 2);
        c->FreeForm(0);   // nothing left to free
        EXPECT_EQ(codes, k.codes);
    }
}

TEST_F(ControllerTest, DestroyingTheControllerFreesItsWindow) {
    auto c = NewController();
    ASSERT_EQ(c->OpenForm(Session()), 0);
    codes.clear();
    c.reset();
    EXPECT_EQ(codes, (std::vector<int32_t>{320, 304}));
}

TEST_F(ControllerTest, SecondOpenFormDoesNotMakeRelaysCallThemselves) {
    auto c = NewController();
    ASSERT_EQ(c->OpenForm(Session()), 0);
    ASSERT_EQ(c->OpenForm(Session()), 0);
    EXPECT_EQ(WindowOf(*c)->Opens, 2);
    codes.clear();
    TTestWindow::Events.clear();
    c->SetVisible(1);
    EXPECT_EQ(codes, (std::vector<int32_t>{272}));
    EXPECT_EQ(TTestWindow::Events, (std::vector<std::string>{"own show"}));
    c->SetVisible(0);
    EXPECT_EQ(codes, (std::vector<int32_t>{272, 288}));
}

}  // namespace
