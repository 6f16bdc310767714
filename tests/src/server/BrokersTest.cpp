// The broker against recording stand-ins of the work center and its services,
// owned by a test window whose code-page settings, lookup state and rights each
// test sets.
#include <gtest/gtest.h>

#include <map>

#include "platform/db/ClientDataSet.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Input.h"
#include "src/language/LangCommon.h"
#include "src/server/Brokers.h"
#include "tests/src/server/BrokersFakes.h"
#include "tests/support/TempDir.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/TestForm.h"

namespace {

// What one shown message dialog looked like.
struct TSeenDialog {
    std::string Caption, Text, FontName;
    int Charset = 0;
    std::vector<std::string> Buttons;          // names, in creation order
    std::vector<std::string> ButtonCaptions;
    std::vector<std::string> DefaultButtons;   // names of buttons marked default
    std::string FirstInTabOrder;
};

TSeenDialog Inspect(TCustomForm& form) {
    TSeenDialog seen;
    seen.Caption = form.Caption();
    seen.FontName = form.Font()->Name();
    seen.Charset = form.Font()->Charset();
    if (auto* label = dynamic_cast<TControl*>(form.FindComponent("Message"))) seen.Text = label->Caption();
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* b = dynamic_cast<TButton*>(form.Components(i));
        if (!b) continue;
        seen.Buttons.push_back(b->Name());
        seen.ButtonCaptions.push_back(b->Caption());
        if (b->Default()) seen.DefaultButtons.push_back(b->Name());
        if (b->TabOrder() == 0) seen.FirstInTabOrder = b->Name();
    }
    return seen;
}

class BrokersTest : public ::testing::Test {
protected:
    // A 936 system without an installation, so that nothing pads the texts.
    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv lcAll{"LC_ALL", "zh_CN.UTF-8"};

    TFormPtr<TTestWindow> window = MakeForm<TTestWindow>("frmTest");
    TBrokers* brokers = new TBrokers(window.get());
    std::shared_ptr<TFakeService> workCenter = std::make_shared<TFakeService>("KestrinWorkCenter.Manager");
    std::shared_ptr<TFakeService> validator = std::make_shared<TFakeService>("Validator");
    std::shared_ptr<TFakeService> pikvalo = std::make_shared<TFakeService>("Pikvalo");
    std::shared_ptr<TFakeService> counter = std::make_shared<TFakeService>("Counter");
    std::map<std::string, std::string> messages{
        {"E/000032", "%s"},
        {"E/000001", "栏位[%s]的资料不存在"},
        {"W/000004", "栏位[%s]的资料可能有误"},
        {"I/000010", "完成"},
    };
    std::map<std::string, Variant> programs;   // ADMMB rows by program id: MB002, MB011, MB012, MB013
    int beeps = 0;

    void SetUp() override {
        window->SetCaption("设置分录性质-费用调整单[演示公司]");
        Application()->OnBeep = [this] { ++beeps; };
        workCenter->On("GetMessage", [this](OleArgs& a) {
            auto it = messages.find(a[0].AsString() + "/" + a[1].AsString());
            return it == messages.end() ? Variant("") : Variant(it->second);
        });
        workCenter->On("Com_Validator", [this](OleArgs&) { return validator->AsVariant(); });
        workCenter->On("Com_Pikvalo", [this](OleArgs&) { return pikvalo->AsVariant(); });
        workCenter->On("Com_Counter", [this](OleArgs&) { return counter->AsVariant(); });
        validator->OnSet("BaseLimited", [](const Variant&) {});
        validator->On("CheckValue", [](OleArgs&) { return Variant(false); });
        counter->On("GETCOUNTER", [this](OleArgs& a) -> Variant {
            const std::string sql = a[1][0].AsString();
            const std::string prefix = "SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001=";
            if (sql.rfind(prefix, 0) != 0) return {};
            for (const auto& [id, row] : programs)
                if (sql == prefix + "'" + id + "'") return Variant::ArrayOf({row});
            return {};
        });
        brokers->UserID = "DS";
        brokers->CompanyID = "DEMO";
        brokers->DatabaseName = "DEMODB";
        brokers->ProgramID = "TOVI58";
    }
    void TearDown() override { Application()->OnBeep = nullptr; }

    // The services as ConnectServices would have fetched them.
    void Attach() {
        brokers->WorkCenter = workCenter->AsVariant();
        brokers->Validator = validator->AsVariant();
        brokers->Pikvalo = pikvalo->AsVariant();
        brokers->Counter = counter->AsVariant();
    }
};

// ---- session and parameters ----

TEST_F(BrokersTest, MaxRecordIsCappedAtForty) {
    const struct {
        const char* value;   // nullptr: no MAX_RECORD line
        int expected;
    } cases[] = {{"100", 40}, {"41", 40}, {"40", 40}, {"25", 25}, {"0", 0}, {"-1", -1}, {nullptr, 0}, {"abc", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        brokers->ServerData.Clear();
        brokers->ServerData.Add("M11_TABLE=AJSMB");
        if (c.value) brokers->ServerData.Add(std::string("MAX_RECORD=") + c.value);
        EXPECT_EQ(brokers->GetMaxRecord(), c.expected);
    }
}

TEST_F(BrokersTest, SystemParametersIgnoreCaseAndEmptyNames) {
    brokers->SetSysParam("sys003", "Y");
    brokers->SetSysParam("SYS003", "N");
    brokers->SetSysParam("", "lost");
    EXPECT_EQ(brokers->GetSysParam("Sys003"), "N");
    EXPECT_EQ(brokers->SysParams.Count(), 1);
    EXPECT_EQ(brokers->GetSysParam(""), "");
    EXPECT_EQ(brokers->GetSysParam("SYS999"), "");
}

// ---- attaching ----

TEST_F(BrokersTest, ConnectServicesFetchesEachServiceOnce) {
    brokers->WorkCenter = workCenter->AsVariant();
    EXPECT_TRUE(brokers->ConnectServices());
    EXPECT_TRUE(brokers->ConnectServices());
    for (const char* member : {"Com_Validator", "Com_Pikvalo", "Com_Counter"}) {
        SCOPED_TRACE(member);
        EXPECT_EQ(workCenter->Count(member), 1);
    }
    EXPECT_TRUE(brokers->Validator.IsDispatch());
    EXPECT_TRUE(brokers->Pikvalo.IsDispatch());
    EXPECT_TRUE(brokers->Counter.IsDispatch());
    EXPECT_EQ(validator->Count("CheckValue"), 2) << "the program record is read on every connect";
    EXPECT_EQ(beeps, 0);
}

TEST_F(BrokersTest, ConnectServicesFetchesOnlyTheMaskedServices) {
    brokers->WorkCenter = workCenter->AsVariant();
    brokers->ServiceMask = 1 | 4;
    EXPECT_TRUE(brokers->ConnectServices());
    EXPECT_TRUE(brokers->Validator.IsDispatch());
    EXPECT_TRUE(brokers->Pikvalo.IsEmpty());
    EXPECT_TRUE(brokers->Counter.IsDispatch());
}

TEST_F(BrokersTest, ConnectServicesWithoutWorkCenterDoesNothing) {
    EXPECT_FALSE(brokers->ConnectServices());
    EXPECT_TRUE(brokers->Validator.IsEmpty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(BrokersTest, ConnectServicesFailureBeepsThreeTimesAndKeepsWhatItFetched) {
    workCenter->On("Com_Counter", [](OleArgs&) -> Variant { throw EOleError("counter not installed"); });
    brokers->WorkCenter = workCenter->AsVariant();
    EXPECT_FALSE(brokers->ConnectServices());
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(brokers->Validator.IsDispatch());
    EXPECT_TRUE(brokers->Pikvalo.IsDispatch());
    EXPECT_TRUE(brokers->Counter.IsEmpty());
    EXPECT_EQ(validator->Count("CheckValue"), 0) << "the program record is not read after a failure";
}

TEST_F(BrokersTest, LoadProgramInfoReadsTheProgramRecord) {
    const Variant tenElements = Variant::ArrayOf({"设置分录性质-费用调整单", "TOVI58R", "", "", "", "", "", "Y", "",
                                                  "Entry properties of expense adjustments"});
    const Variant eightElements = Variant::ArrayOf({"设置分录性质", "", "", "", "", "", "", "N"});
    const struct {
        const char* name;
        Variant record;
        bool found;
        std::string codePage;
        std::string programName, printProgram;
        bool flag;
    } cases[] = {
        {"Chinese interface", tenElements, true, "936", "设置分录性质-费用调整单", "TOVI58R", true},
        {"English interface prefers element 9", tenElements, true, "437", "Entry properties of expense adjustments",
         "TOVI58R", true},
        {"English interface without element 9", eightElements, true, "437", "设置分录性质", "", false},
        {"short record", Variant::ArrayOf({"只有名称"}), true, "936", "只有名称", "", false},
        {"not found", Variant(), false, "936", "", "old", false},
        {"found but empty", Variant::CreateArray({VarBounds{0, -1}}), true, "936", "", "old", false},
    };
    Attach();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->UICode = c.codePage;
        brokers->ProgramName = "old";
        brokers->PrintProgram = "old";
        brokers->ProgramFlag = false;
        validator->On("CheckValue", [&c](OleArgs& a) {
            a[4] = c.record;
            return Variant(c.found);
        });
        brokers->LoadProgramInfo();
        EXPECT_EQ(brokers->ProgramName, c.programName);
        EXPECT_EQ(brokers->PrintProgram, c.printProgram);
        EXPECT_EQ(brokers->ProgramFlag, c.flag);
        const OleArgs sent = validator->Last("CheckValue");
        ASSERT_EQ(sent.size(), 5u);
        EXPECT_EQ(sent[0], Variant("ADMMB"));
        EXPECT_EQ(sent[1], Variant("06"));
        EXPECT_EQ(sent[3], Variant::ArrayOf({"TOVI58", "DEMODB"}));
    }
}

TEST_F(BrokersTest, LoadSysParamsStoresEveryPair) {
    EXPECT_FALSE(brokers->LoadSysParams()) << "no counter";
    Attach();
    Variant pairs = Variant::CreateArray({VarBounds{0, 1}, VarBounds{0, 2}});
    const char* names[] = {"SYS001", "SYS002", "QVN002"};
    const char* values[] = {"3", "/", "演示公司"};
    for (int i = 0; i < 3; ++i) pairs.At(0, i) = names[i], pairs.At(1, i) = values[i];
    counter->On("GetSysInfo", [&pairs](OleArgs&) { return pairs; });
    EXPECT_TRUE(brokers->LoadSysParams());
    EXPECT_EQ(counter->Last("GetSysInfo")[0], Variant("DEMO"));
    EXPECT_EQ(brokers->GetSysParam("sys001"), "3");
    EXPECT_EQ(brokers->GetSysParam("SYS002"), "/");
    EXPECT_EQ(brokers->GetSysParam("QVN002"), "演示公司");

    for (const Variant& nothing : {Variant(), Variant(""), Variant::CreateArray({VarBounds{0, 1}, VarBounds{0, -1}})}) {
        SCOPED_TRACE(VarTypeName(nothing.Type()));
        counter->On("GetSysInfo", [&nothing](OleArgs&) { return nothing; });
        EXPECT_FALSE(brokers->LoadSysParams());
    }
}

TEST_F(BrokersTest, GetSysInfoErrorsReachTheCaller) {
    Attach();
    counter->On("GetSysInfo", [](OleArgs&) -> Variant { throw EOleError("database down"); });
    EXPECT_THROW(brokers->LoadSysParams(), EOleError);
}

// ---- validator ----

TEST_F(BrokersTest, CheckValueSetsBaseLimitedFirstAndPassesItsArguments) {
    Attach();
    brokers->ServerData.Add("BaseLimited=H11:Y");
    validator->On("CheckValue", [](OleArgs& a) {
        a[4] = Variant::ArrayOf({"现金"});
        return Variant(true);
    });
    Variant result;
    EXPECT_TRUE(brokers->CheckValue("ACTMA", "01", Variant::ArrayOf({"1001"}), result));
    EXPECT_EQ(result, Variant::ArrayOf({"现金"}));
    ASSERT_EQ(validator->Calls.size(), 2u);
    EXPECT_EQ(validator->Calls[0].Member, "set BaseLimited");
    EXPECT_EQ(validator->Calls[0].Args[0], Variant("H11:Y"));
    const OleArgs& sent = validator->Calls[1].Args;
    EXPECT_EQ(sent[0], Variant("ACTMA"));
    EXPECT_EQ(sent[1], Variant("01"));
    EXPECT_EQ(sent[2], Variant("DEMODB"));
    EXPECT_EQ(sent[3], Variant::ArrayOf({"1001"}));
}

TEST_F(BrokersTest, ValidatorErrorsAreSwallowed) {
    Variant result;
    EXPECT_FALSE(brokers->CheckValue("ACTMA", "01", Variant::ArrayOf({"1001"}), result)) << "no validator";
    EXPECT_FALSE(brokers->QueryData("ADMMD", "03", Variant::ArrayOf({"1001"}), result)) << "no validator";

    Attach();
    validator->OnSet("BaseLimited", [](const Variant&) { throw EOleError("no such property"); });
    validator->On("QueryData", [](OleArgs&) { return Variant(true); });
    EXPECT_TRUE(brokers->QueryData("ADMMD", "03", Variant::ArrayOf({"1001"}), result))
        << "a failing BaseLimited does not stop the lookup";

    validator->On("CheckValue", [](OleArgs&) -> Variant { throw EOleError("lookup kind unknown"); });
    validator->On("QueryData", [](OleArgs&) -> Variant { throw Exception("SQL error"); });
    EXPECT_FALSE(brokers->CheckValue("ACTMA", "99", Variant::ArrayOf({"1001"}), result));
    EXPECT_FALSE(brokers->QueryData("ADMMD", "99", Variant::ArrayOf({"1001"}), result));
}

class BrokersSequenceTest : public BrokersTest {
protected:
    TComponent owner{nullptr};
    TClientDataSet* data = new TClientDataSet(&owner);

    void SetUp() override {
        BrokersTest::SetUp();
        data->FieldDefs().Add("TA001", TFieldType::ftString, 4);
        data->FieldDefs().Add("TA002", TFieldType::ftString, 8);
        data->FieldDefs().Add("TA003", TFieldType::ftString, 4);
        data->CreateDataSet();
        data->Append();
        data->FieldByName("TA001")->SetAsString("A01");
        data->FieldByName("TA002")->SetAsString("20240131");
    }
};

TEST_F(BrokersSequenceTest, QueryMaxSeqSendsTheValuesOfAllKeysButTheLast) {
    Attach();
    validator->On("QueryMaxSeq", [](OleArgs& a) {
        a[6] = "0007";
        return Variant(true);
    });
    std::string number;
    brokers->QueryMaxSeq(*data, "AJSTA", number, "20240131", "TA001,TA002,TA003");
    EXPECT_EQ(number, "0007");
    const OleArgs sent = validator->Last("QueryMaxSeq");
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[0], Variant("AJSTA"));
    EXPECT_EQ(sent[1], Variant("TA001,TA002,TA003"));
    EXPECT_EQ(sent[2], Variant::ArrayOf({"A01", "20240131"}));
    EXPECT_EQ(sent[3], Variant("20240131"));
    EXPECT_EQ(sent[4], Variant("TOVI58"));
    EXPECT_EQ(sent[5], Variant("DEMODB"));
    EXPECT_EQ(validator->Calls.front().Member, "set BaseLimited");

    brokers->QueryMaxSeq(*data, "AJSTA", number, "20240131", "TA003");
    EXPECT_EQ(validator->Last("QueryMaxSeq")[2].Count(), 0) << "a single key field sends no values";
}

TEST_F(BrokersSequenceTest, QueryMaxSeqGivesUnknownWhenNothingComesBack) {
    std::string number = "1";
    brokers->QueryMaxSeq(*data, "AJSTA", number, "20240131", "TA001,TA003");
    EXPECT_EQ(number, "unKnow") << "no validator";

    Attach();
    const std::function<Variant(OleArgs&)> answers[] = {
        [](OleArgs& a) {
            a[6] = "0009";
            return Variant(false);
        },
        [](OleArgs&) -> Variant { throw EOleError("table locked"); },
    };
    for (const auto& answer : answers) {
        validator->On("QueryMaxSeq", answer);
        number = "1";
        brokers->QueryMaxSeq(*data, "AJSTA", number, "20240131", "TA001,TA003");
        EXPECT_EQ(number, "unKnow");
    }
    number = "1";
    brokers->QueryMaxSeq(*data, "AJSTA", number, "20240131", "NOSUCH,TA003");
    EXPECT_EQ(number, "unKnow") << "a key field the dataset lacks";
}

// ---- counter ----

TEST_F(BrokersTest, CallCounterSendsTheSessionAlong) {
    EXPECT_TRUE(brokers->CallCounter("SimpleSQL", Variant::ArrayOf({"SELECT 1", "X"})).IsEmpty()) << "no counter";
    Attach();
    counter->On("GETCOUNTER", [](OleArgs&) { return Variant(42); });
    EXPECT_EQ(brokers->CallCounter("TransactionSQL", Variant::ArrayOf({Variant::ArrayOf({"DELETE"}), ""})),
              Variant(42));
    const OleArgs sent = counter->Last("GETCOUNTER");
    EXPECT_EQ(sent[0], Variant("TransactionSQL"));
    EXPECT_EQ(sent[1], Variant::ArrayOf({Variant::ArrayOf({"DELETE"}), ""}));
    EXPECT_EQ(sent[2], Variant::ArrayOf({"DEMO", "DEMODB"}));

    counter->On("GETCOUNTER", [](OleArgs&) -> Variant { throw EOleError("bad SQL"); });
    EXPECT_THROW(brokers->CallCounter("SimpleSQL", Variant::ArrayOf({"SELEC", "X"})), EOleError);
}

TEST_F(BrokersTest, ProgramTitleComesFromTheProgramTable) {
    Attach();
    programs["AJSI01"] = Variant::ArrayOf({"费用调整单建立作业", "Expense adjustments", "", ""});
    programs["O''BRIEN"] = Variant::ArrayOf({"引号程序", "Quoted", "", ""});
    const struct {
        const char* id;
        const char* codePage;
        const char* title;
    } cases[] = {
        {"AJSI01", "936", "费用调整单建立作业"},
        {"AJSI01", "437", "Expense adjustments"},
        {"AJSI99", "936", "AJSI99"},
        {"O'BRIEN", "950", "引号程序"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.codePage);
        window->UICode = c.codePage;
        EXPECT_EQ(brokers->GetProgramTitle(c.id), c.title);
    }
    const OleArgs sent = counter->Last("GETCOUNTER");
    EXPECT_EQ(sent[0], Variant("SimpleSQL"));
    EXPECT_EQ(sent[1][1], Variant("MB002,MB011,MB012,MB013"));
    EXPECT_EQ(sent[1][2], Variant("DEMODB"));
    EXPECT_EQ(sent[1][3], Variant("N"));

    brokers->Counter = Variant();
    EXPECT_EQ(brokers->GetProgramTitle("AJSI01"), "AJSI01") << "no counter";
}

// ---- lookup window ----

TEST_F(BrokersTest, OpenPikvaloSendsNineteenElements) {
    Attach();
    brokers->ServerData.Add("BaseLimited=N");
    window->Rights.set(35);   // second guarded group, read-only
    const Variant rows = Variant::ArrayOf({Variant::ArrayOf({"1001", "现金"})});
    pikvalo->On("F2GetData", [&rows](OleArgs&) { return rows; });

    EXPECT_EQ(brokers->OpenPikvalo("ACTMA", "01", Variant::ArrayOf({"DEMO"}), "10", true, false, 0, "F2Field",
                                   "F2FieldID", "RefFieldID"),
              rows);
    const Variant sent = pikvalo->Last("F2GetData")[0];
    ASSERT_EQ(sent.LowBound(), 0);
    ASSERT_EQ(sent.HighBound(), 18);
    const Variant expected[] = {"ACTMA", "01", Variant::ArrayOf({"DEMO"}), false, "10", "DEMO", "DEMODB",
                                Variant(window->Handle()), 1, true};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i], expected[i]);
    }
    EXPECT_TRUE(sent[10].IsNumeric());
    EXPECT_EQ(sent[11], Variant("RefFieldID"));
    EXPECT_EQ(sent[12], Variant("F2FieldID"));
    EXPECT_EQ(sent[13], Variant("F2Field"));
    EXPECT_EQ(sent[14], Variant("N"));
    EXPECT_EQ(sent[15], Variant(true));
    EXPECT_EQ(sent[16], Variant(false));
    EXPECT_TRUE(sent[17].IsDispatch());
    EXPECT_EQ(sent[18], Variant("DS"));

    brokers->OpenPikvalo("ACTMA", "01", Variant::ArrayOf({"DEMO"}), "", false, false, 4711);
    EXPECT_EQ(pikvalo->Last("F2GetData")[0][7], Variant(4711)) << "the caller's handle wins";
}

TEST_F(BrokersTest, OpenPikvaloTellsTheGuardedGroupsFromTheRights) {
    Attach();
    pikvalo->On("F2GetData", [](OleArgs&) { return Variant(); });
    const struct {
        int right;   // -1: none
        bool second, first;
    } cases[] = {{-1, false, false}, {32, false, true}, {34, false, true}, {33, true, false}, {35, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.right);
        window->Rights.reset();
        if (c.right >= 0) window->Rights.set(static_cast<size_t>(c.right));
        brokers->OpenPikvalo("INVMB", "01", Variant::ArrayOf({""}));
        const Variant sent = pikvalo->Last("F2GetData")[0];
        EXPECT_EQ(sent[15], Variant(c.second));
        EXPECT_EQ(sent[16], Variant(c.first));
    }
}

TEST_F(BrokersTest, OpenPikvaloCapturesItsParametersInStateOne) {
    Attach();
    brokers->ServerData.Add("BaseLimited=Y");
    window->State = 1;
    const struct {
        const char* name;
        std::string link1, link2, link3;
        std::vector<std::string> sentLinks;
    } cases[] = {
        {"linked", "F2Field", "F2FieldID", "RefFieldID", {"RefFieldID", "F2FieldID", "F2Field"}},
        {"without link text 3", "F2Field", "F2FieldID", "", {"", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->Params = Variant();
        EXPECT_TRUE(brokers->OpenPikvalo("INVMB", "63", Variant::ArrayOf({"A"}), "P1", true, true, 0, c.link1, c.link2,
                                         c.link3)
                        .IsEmpty());
        const Variant& p = window->Params;
        ASSERT_TRUE(p.IsArray());
        ASSERT_EQ(p.LowBound(), 0);
        ASSERT_EQ(p.HighBound(), 13);
        EXPECT_EQ(p[0], Variant("INVMB"));
        EXPECT_EQ(p[1], Variant("63"));
        EXPECT_EQ(p[2], Variant::ArrayOf({"A"}));
        EXPECT_EQ(p[3], Variant(1));
        EXPECT_EQ(p[4], Variant("P1"));
        EXPECT_EQ(p[5], Variant("DEMODB"));
        EXPECT_TRUE(p[6].IsNumeric());
        for (int i = 0; i < 3; ++i) EXPECT_EQ(p[7 + i], Variant(c.sentLinks[static_cast<size_t>(i)]));
        EXPECT_EQ(p[10], Variant("Y"));
        EXPECT_EQ(p[11], Variant(""));
        EXPECT_EQ(p[12], Variant(""));
        EXPECT_EQ(p[13], Variant("9"));
    }
    EXPECT_EQ(pikvalo->Count("F2GetData"), 0);
}

TEST_F(BrokersTest, OpenPikvaloReplaysTheChosenRowInStateTwo) {
    Attach();
    window->State = 2;
    window->Return = Variant::ArrayOf({Variant::ArrayOf({"P001", "螺丝"})});
    EXPECT_EQ(brokers->OpenPikvalo("INVMB", "01", Variant::ArrayOf({""})), window->Return);
    EXPECT_EQ(pikvalo->Count("F2GetData"), 0);
}

TEST_F(BrokersTest, OpenPikvaloWithoutLookupWindowChoosesNothing) {
    EXPECT_TRUE(brokers->OpenPikvalo("INVMB", "01", Variant::ArrayOf({""})).IsEmpty());
}

TEST_F(BrokersTest, PhrasesCharactersAndCalculator) {
    EXPECT_EQ(brokers->GetPhrase("备"), "") << "no lookup window";
    EXPECT_EQ(brokers->GetCalcValue("1+1"), "") << "no lookup window";
    Attach();

    int phraseAnswer = 0;
    pikvalo->On("GetPhrase2", [&phraseAnswer](OleArgs& a) {
        a[3] = a[3].AsString() + "注：本月调整";
        return Variant(phraseAnswer);
    });
    EXPECT_EQ(brokers->GetPhrase("备"), "备注：本月调整");
    const OleArgs sent = pikvalo->Last("GetPhrase2");
    EXPECT_EQ(sent[0], Variant("DS"));
    EXPECT_EQ(sent[1], Variant("DEMO"));
    EXPECT_EQ(sent[2], Variant(window->Handle()));
    phraseAnswer = -1;
    EXPECT_EQ(brokers->GetPhrase("备"), "");

    pikvalo->On("ShowCharaters", [](OleArgs&) { return Variant::ArrayOf({"㎡"}); });
    Variant chosen;
    brokers->ShowCharaters(2, false, chosen);
    EXPECT_EQ(chosen, Variant::ArrayOf({"㎡"}));
    OleArgs chars = pikvalo->Last("ShowCharaters");
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[0], Variant("DS"));
    EXPECT_EQ(chars[1], Variant("DEMO"));
    EXPECT_EQ(chars[2], Variant(2));
    EXPECT_EQ(chars[3], Variant(false));
    EXPECT_EQ(chars[4], Variant(std::to_string(window->Handle())));
    brokers->ShowCharaters(1, true, chosen, 99, "OTHER", "ME");
    chars = pikvalo->Last("ShowCharaters");
    EXPECT_EQ(chars[0], Variant("ME"));
    EXPECT_EQ(chars[1], Variant("OTHER"));
    EXPECT_EQ(chars[4], Variant("99"));

    pikvalo->On("GetCalcValue", [](OleArgs& a) {
        a[0] = "2";
        return Variant();
    });
    EXPECT_EQ(brokers->GetCalcValue("1+1"), "2");
    EXPECT_EQ(pikvalo->Last("GetCalcValue")[1], Variant(window->Handle()));
}

TEST_F(BrokersTest, CalculatorFailureAsksForAnUpdate) {
    Attach();
    pikvalo->On("GetCalcValue", [](OleArgs&) -> Variant { throw EOleError("Unknown name: GetCalcValue"); });
    TDialogAnswerer answerer;
    answerer.Click("OK");
    EXPECT_EQ(brokers->GetCalcValue("1+1"), "");
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].Text, "<ui>请更新PikvaloC.dll ");
}

// ---- starting programs ----

TEST_F(BrokersTest, ExecWorkWithoutWorkCenterGivesMinusOne) {
    Variant result = "stale";
    EXPECT_EQ(brokers->ExecWork("AJSI01", "", true, result), -1);
}

TEST_F(BrokersTest, ExecWorkPassesTheSessionAndDefaultOptions) {
    Attach();
    workCenter->On("ExecWork", [](OleArgs& a) {
        a[4] = "done";
        return Variant(0);
    });
    Variant result = "stale";
    EXPECT_EQ(brokers->ExecWork("AJSI01", "MB001='A'", true, result), 0);
    EXPECT_EQ(result, Variant("done"));
    OleArgs sent = workCenter->Last("ExecWork");
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0], Variant::ArrayOf({"DS", "DEMO", "AJSI01", Variant(window->Handle())}));
    EXPECT_EQ(sent[1], Variant("MB001='A'"));
    EXPECT_EQ(sent[2], Variant::ArrayOf({0, 4, Variant()}));
    EXPECT_EQ(sent[3], Variant(2));
    EXPECT_TRUE(sent[4].IsEmpty()) << "the out result is cleared before the call";

    brokers->ExecWork("AJSI01", "", false, result, Variant::ArrayOf({0, 0, Variant()}));
    EXPECT_EQ(workCenter->Last("ExecWork")[2], Variant::ArrayOf({0, 0, Variant()}));
    brokers->ExecWork("AJSI01", "", false, result, Variant::Null());
    EXPECT_EQ(workCenter->Last("ExecWork")[2], Variant::ArrayOf({0, 4, Variant()}));
}

TEST_F(BrokersTest, ExecWorkFailuresShowTheirTextWithTheProgramName) {
    Attach();
    programs["AJSI01"] = Variant::ArrayOf({"费用调整单建立作业", "Expense adjustments", "", ""});
    int code = 0;
    workCenter->On("ExecWork", [&code](OleArgs&) { return Variant(code); });
    const struct {
        int code;
        const char* program;
        const char* text;   // nullptr: nothing shown
    } cases[] = {
        {-1, "AJSI01", "[费用调整单建立作业]作业程序文档不存在! "},
        {-5, "AJSI01", "[费用调整单建立作业]作业程序无运行作业权限! "},
        {-5, "AJSI77", "[AJSI77]作业程序无运行作业权限! "},
        {-7, "AJSI01", "[费用调整单建立作业]作业程序发生不可预知的错误! "},
        {-9, "AJSI01", " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        code = c.code;
        TDialogAnswerer answerer;
        answerer.Click("OK");
        Variant result;
        EXPECT_EQ(brokers->ExecWork(c.program, "", true, result), c.code);
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].Text, c.text);
    }
    code = -5;
    TDialogAnswerer silent;
    Variant result;
    EXPECT_EQ(brokers->ExecWork("AJSI01", "", false, result), -5);
    EXPECT_TRUE(silent.Shown().empty());
}

// ---- messages ----

TEST_F(BrokersTest, MessageKindsChooseButtonsAndDefault) {
    Attach();
    messages["T/000100"] = "unused";
    messages["E/000100"] = "科目不存在";
    for (const char* kind : {"C", "D", "I", "Q", "W", "X"}) messages[std::string(kind) + "/000100"] = "科目不存在";
    using Names = std::vector<std::string>;
    const struct {
        const char* kind;
        Names buttons;
        const char* answer;
        int result;
        Names defaults;
    } cases[] = {
        {"T", {"Yes", "No", "Cancel", "YesToAll"}, "YesToAll", mrYesToAll, {}},
        {"C", {"OK", "Cancel"}, "Cancel", mrCancel, {"OK"}},
        {"D", {"Yes", "No", "Cancel"}, "No", mrNo, {}},
        {"E", {"OK"}, "OK", mrOk, {"OK"}},
        {"I", {"OK"}, "OK", mrOk, {"OK"}},
        {"Q", {"OK", "Cancel"}, "Cancel", mrCancel, {"OK"}},
        {"W", {"OK", "Cancel"}, "OK", mrOk, {"OK"}},
        {"X", {"OK"}, "OK", mrOk, {"OK"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TSeenDialog seen;
        TDialogAnswerer answerer;
        answerer.Then([&](TCustomForm& form) {
            seen = Inspect(form);
            Click(*dynamic_cast<TControl*>(form.FindComponent(c.answer)));
        });
        EXPECT_EQ(brokers->ShowMessageByCode(c.kind, "000100"), c.result);
        EXPECT_EQ(seen.Buttons, c.buttons);
        EXPECT_EQ(seen.DefaultButtons, c.defaults);
        if (!c.defaults.empty()) {
            EXPECT_EQ(seen.FirstInTabOrder, c.defaults[0]);
        }
        EXPECT_EQ(seen.Caption, "设置分录性质-费用调整单[演示公司]");
        EXPECT_EQ(seen.FontName, "SimSun");
        EXPECT_EQ(seen.Charset, GB2312_CHARSET);
    }
    EXPECT_EQ(window->AfterMessages, 8);
}

TEST_F(BrokersTest, TMessagesReadTheErrorTextAndAskToGoOn) {
    Attach();
    messages["T/000100"] = "不该读到";
    messages["E/000100"] = "单号[%s]已存在";
    TDialogAnswerer answerer;
    answerer.Click("Yes");
    EXPECT_EQ(brokers->ShowMessageByCode("T", "000100", {"A001"}), mrYes);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].Text, "单号[A001]已存在 \r\n是否继续?");
    for (const auto& call : workCenter->Calls)
        if (call.Member == "GetMessage") {
            EXPECT_EQ(call.Args[0], Variant("E"));
        }
}

TEST_F(BrokersTest, WarningNotAnsweredOkAbortsSilently) {
    Attach();
    {
        TDialogAnswerer answerer;
        answerer.Click("Cancel");
        EXPECT_THROW(brokers->ShowMessageByCode("W", "000004", {"科目编号"}), EAbort);
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].Text, "栏位[科目编号]的资料可能有误 ");
        EXPECT_EQ(window->AfterMessages, 0) << "the abort skips the after-message hook";
    }
    {
        TDialogAnswerer answerer;
        answerer.Click("OK");
        EXPECT_EQ(brokers->ShowMessageByCode("W", "000004", {"科目编号"}), mrOk);
        EXPECT_EQ(window->AfterMessages, 1);
    }
    {
        TDialogAnswerer answerer;
        answerer.Click("Cancel");
        EXPECT_EQ(brokers->ShowMessageByCode("W", "000004", {"科目编号"}, false), mrCancel)
            << "no abort when the caller does not ask for it";
    }
    {
        TDialogAnswerer answerer;
        answerer.Click("Cancel");
        EXPECT_EQ(brokers->ShowMessageByCode("C", "000004", {"科目编号"}), mrCancel) << "only W aborts";
    }
}

TEST_F(BrokersTest, MessageArgumentsFillThePlaceholdersInOrder) {
    Attach();
    messages["E/100280"] = "栏位[%s]的值超过上限%s, 100%%";
    messages["E/000077"] = "缺少参数[%s][%s]";
    const struct {
        const char* code;
        std::vector<Variant> args;
        const char* text;
    } cases[] = {
        {"100280", {"金额", "99999.99"}, "栏位[金额]的值超过上限99999.99, 100% "},
        {"000077", {"一个"}, "缺少参数[一个][] "},
        {"000032", {12.5}, "12.5 "},
        {"999999", {}, " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TDialogAnswerer answerer;
        answerer.Click("OK");
        brokers->ShowMessageByCode("E", c.code, c.args);
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].Text, c.text);
    }
}

TEST_F(BrokersTest, DefaultButtonComesFirst) {
    Attach();
    messages["Q/000200"] = "确定删除?";
    TSeenDialog seen;
    TDialogAnswerer answerer;
    answerer.Then([&](TCustomForm& form) {
        seen = Inspect(form);
        Click(*dynamic_cast<TControl*>(form.FindComponent("Cancel")));
    });
    EXPECT_EQ(brokers->ShowMessageByCode("Q", "000200", {}, true, TMsgDlgBtn::mbCancel), mrCancel);
    EXPECT_EQ(seen.DefaultButtons, std::vector<std::string>{"Cancel"});
    EXPECT_EQ(seen.FirstInTabOrder, "Cancel");
}

TEST_F(BrokersTest, TraditionalInterfaceConvertsTextsButtonsAndFont) {
    WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.File("client") + "\n");
    WriteBytes(dir.File("client/Language"), MakeLanguageTable().ToText());
    UnloadLanguageTable();
    Attach();
    window->UICode = "950";
    window->SysCode = "950";
    window->ConvertMode = 2;
    messages["E/000100"] = "单号[%s]已存在";
    messages["Q/000200"] = "确定删除?";
    std::vector<TSeenDialog> seen;
    TDialogAnswerer answerer;
    for (const char* answer : {"No", "OK"})
        answerer.Then([&seen, answer](TCustomForm& form) {
            seen.push_back(Inspect(form));
            Click(*dynamic_cast<TControl*>(form.FindComponent(answer)));
        });
    brokers->ShowMessageByCode("T", "000100", {"A001"});
    brokers->ShowMessageByCode("Q", "000200");
    UnloadLanguageTable();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Text, "單號[A001]已存在     \r\n是否繼續?      ");
    EXPECT_EQ(seen[0].Charset, CHINESEBIG5_CHARSET);
    EXPECT_EQ(seen[1].Text, "確定刪除?     " "      ");
    EXPECT_EQ(seen[1].ButtonCaptions, (std::vector<std::string>{"確定", "取消"}));
}

TEST_F(BrokersTest, EnglishInterfaceKeepsTheBuiltInButtonCaptions) {
    Attach();
    const struct {
        const char* codePage;
        std::vector<std::string> captions;
    } cases[] = {
        {"936", {"是(&Y)", "否(&N)", "取消", "全是(&A)"}},
        {"437", {"&Yes", "&No", "Cancel", "Yes to &All"}},
    };
    messages["E/000100"] = "科目不存在";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        window->UICode = c.codePage;
        TSeenDialog seen;
        TDialogAnswerer answerer;
        answerer.Then([&](TCustomForm& form) {
            seen = Inspect(form);
            Click(*dynamic_cast<TControl*>(form.FindComponent("No")));
        });
        brokers->ShowMessageByCode("T", "000100");
        EXPECT_EQ(seen.ButtonCaptions, c.captions);
    }
}

TEST_F(BrokersTest, MessageTextPaddingFollowsTheCodePages) {
    Attach();
    messages["I/000010"] = "完成";
    const struct {
        const char* name;
        std::string uiCode, sysCode;
        uint8_t mode;
        const char* systemCodePage;   // LC_ALL of the process
        std::string text;
    } cases[] = {
        {"Chinese system", "936", "936", 0, "zh_CN.UTF-8", "完成 "},
        {"Traditional system, Simplified interface", "936", "950", 4, "zh_TW.UTF-8", "完成     " "      "},
        {"English system", "437", "437", 0, "C", "完成 " "      "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv locale{"LC_ALL", c.systemCodePage};
        window->UICode = c.uiCode;
        window->SysCode = c.sysCode;
        window->ConvertMode = c.mode;
        TDialogAnswerer answerer;
        answerer.Click("OK");
        brokers->ShowMessageByCode("I", "000010");
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].Text, c.text);
    }
}

TEST_F(BrokersTest, MessagesWithoutWorkCenterHaveNoText) {
    TDialogAnswerer answerer;
    answerer.Click("OK");
    EXPECT_EQ(brokers->ShowMessageByCode("E", "000032", {"无服务"}), mrOk);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].Text, " ");
}

TEST_F(BrokersTest, BrokerWithoutProgramWindowUsesPlainSettings) {
    TBrokers plain(nullptr);
    plain.WorkCenter = workCenter->AsVariant();
    plain.Pikvalo = pikvalo->AsVariant();
    pikvalo->On("F2GetData", [](OleArgs&) { return Variant(); });
    plain.OpenPikvalo("INVMB", "01", Variant::ArrayOf({""}));
    const Variant sent = pikvalo->Last("F2GetData")[0];
    EXPECT_EQ(sent[7], Variant(0));
    EXPECT_EQ(sent[15], Variant(false));
    TSeenDialog seen;
    TDialogAnswerer answerer;
    answerer.Then([&](TCustomForm& form) {
        seen = Inspect(form);
        Click(*dynamic_cast<TControl*>(form.FindComponent("OK")));
    });
    EXPECT_EQ(plain.ShowMessageByCode("E", "000001", {"科目"}), mrOk);
    EXPECT_EQ(seen.Text, "栏位[科目]的资料不存在 ");
    EXPECT_EQ(seen.ButtonCaptions, std::vector<std::string>{"确定"});
}

}  // namespace
