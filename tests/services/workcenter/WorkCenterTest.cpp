#include <gtest/gtest.h>

#include <regex>

#include "services/workcenter/MessageTable.h"
#include "services/workcenter/WorkCenter.h"
#include "tests/services/workcenter/WorkCenterFixture.h"

namespace {

class WorkCenterTest : public WorkCenterFixture {
protected:
    Variant Make(TWorkCenterOptions options = {}) {
        return Variant(std::static_pointer_cast<IDispatch>(std::make_shared<TWorkCenter>(link, std::move(options))));
    }
    // ExecWork as the broker calls it.
    int ExecWork(const Variant& center, const char* program, Variant& result, const char* user = "DS") {
        Variant session = Variant::ArrayOf({user, "DEMO", program, 0});
        Variant parameter = "MB002='K501'", options = Variant::ArrayOf({0, 4, Variant()}), mode = 2;
        return center.Call("ExecWork", ByRef(session), ByRef(parameter), ByRef(options), ByRef(mode), ByRef(result)).AsInt();
    }
    // A work library folder holding an (empty) module file for the program.
    void InstallModule(const char* program) {
        WriteConfig("[WorkDLLPath]\nPath1=" + dir.File("modules") + "\n");
        WriteBytes(dir.File(std::string("modules/") + program + ".so"), "");
    }
};

TEST_F(WorkCenterTest, VersionAndServiceObjects) {
    Variant center = Make();
    EXPECT_EQ(8000, center.Get("DependencyVersion").AsInt());
    for (const char* member : {"Com_Validator", "Com_Counter"}) {
        SCOPED_TRACE(member);
        const Variant first = center.Call(member);
        ASSERT_TRUE(first.IsDispatch());
        EXPECT_EQ(first.AsDispatch(), center.Call(member).AsDispatch());   // fetched once
    }
}

TEST_F(WorkCenterTest, ConnectNeedsALoginTheServerAccepts) {
    Variant center = Make();
    EXPECT_NO_THROW(center.Call("Connect"));
    center.Set("UserID", "NOBODY");
    EXPECT_THROW(center.Call("Connect"), EOleError);
    center.Set("UserID", "");
    EXPECT_THROW(center.Call("Connect"), EOleError);
    center.Set("UserID", "U1");
    EXPECT_EQ("U1", center.Get("UserID").AsString());
    EXPECT_NO_THROW(center.Call("Connect"));
}

TEST_F(WorkCenterTest, GetMessageReadsTheTableInTheInterfaceLanguage) {
    Variant center = Make();
    EXPECT_EQ("%s", center.Call("GetMessage", "E", "000032").AsString());
    EXPECT_EQ("单别不存在或不符合条件!", center.Call("GetMessage", "E", "100007").AsString());
    EXPECT_EQ(center.Call("GetMessage", "E", "000003").AsString(), center.Call("GetMessage", "T", "000003").AsString());
    EXPECT_EQ("", center.Call("GetMessage", "E", "999999").AsString());

    WriteBytes(dir.File("client/VelmoraC.ini"), "[CodePage]\nUICodePage=437\n");
    EXPECT_EQ("No such account!", center.Call("GetMessage", "E", "100009").AsString());
}

// Every kind and code the program module raises has a text in both languages,
// with one "%s" for each argument its callers pass.
TEST(MessageTableTest, EveryRaisedCodeHasATextWithItsArguments) {
    struct Case {
        std::string kind;
        std::string code;
        int arguments;
    };
    std::vector<Case> cases;
    for (int n = 1; n <= 38; ++n) {
        char code[8];
        std::snprintf(code, sizeof code, "%06d", n);
        cases.push_back({"E", code, n == 1 || n == 2 || n == 3 || n == 32 ? 1 : 0});
    }
    const Case more[] = {{"E", "100002", 0}, {"E", "100007", 0}, {"E", "100009", 0}, {"E", "100187", 0},
                         {"E", "100280", 2}, {"E", "100288", 2}, {"E", "200570", 1}, {"E", "200571", 1},
                         {"E", "200820", 0}, {"C", "000001", 0}, {"C", "000002", 0}, {"C", "000004", 0},
                         {"D", "000001", 0}, {"D", "000002", 0}, {"W", "000001", 0}, {"W", "000004", 1},
                         {"W", "100079", 1}, {"T", "000002", 1}};
    cases.insert(cases.end(), std::begin(more), std::end(more));
    const std::regex placeholder("%s");
    for (const Case& c : cases)
        for (const char* language : {"CHS", "ENG"}) {
            SCOPED_TRACE(c.kind + "/" + c.code + " " + language);
            const std::string text = MessageText(c.kind, c.code, language);
            ASSERT_FALSE(text.empty());
            const auto count = std::distance(std::sregex_iterator(text.begin(), text.end(), placeholder), std::sregex_iterator());
            EXPECT_EQ(c.arguments, count) << text;
        }
    EXPECT_NE(MessageText("E", "000004", "CHS"), MessageText("E", "000004", "ENG"));
}

TEST_F(WorkCenterTest, ExecWorkChecksTheModuleAndTheRightsBeforeLaunching) {
    Variant result;
    EXPECT_EQ(-1, ExecWork(Make(), "TOVI99", result));       // no module in the installation
    EXPECT_EQ(-1, ExecWork(Make(), "../TOVI58", result));

    InstallModule("TOVI58");
    EXPECT_EQ(-2, ExecWork(Make(), "TOVI58", result));       // no launcher to load it

    TProgramStart started;
    TWorkCenterOptions options;
    options.LaunchProgram = [&](const TProgramStart& start, Variant& out) {
        started = start;
        out = "opened";
        return 0;
    };
    Variant center = Make(options);
    EXPECT_EQ(0, ExecWork(center, "tovi58", result));
    EXPECT_EQ("TOVI58", started.ProgramID);
    EXPECT_EQ("DEMO", started.CompanyID);
    EXPECT_EQ("MB002='K501'", started.Parameter.AsString());
    EXPECT_EQ(2, started.Mode);
    EXPECT_EQ(dir.File("modules/TOVI58.so"), started.ModuleFile);
    EXPECT_EQ("opened", result.AsString());

    center.Set("UserID", "U3");   // group G2: power data "TOVI58,N,N,..." is still a right to run
    EXPECT_EQ(0, ExecWork(center, "TOVI58", result, "U3"));

    InstallModule("TOVI77");      // a module the rights table gives nobody
    EXPECT_EQ(-5, ExecWork(center, "TOVI77", result));

    options.LaunchProgram = [](const TProgramStart&, Variant&) -> int { throw Exception("cannot load"); };
    InstallModule("TOVI58");
    EXPECT_EQ(-7, ExecWork(Make(options), "TOVI58", result));
}

TEST_F(WorkCenterTest, CallHelpOpensTheTopicPageOfTheConfiguredFolder) {
    std::vector<std::string> opened;
    TWorkCenterOptions options;
    options.OpenDocument = [&](const std::string& path) { opened.push_back(path); };
    Variant center = Make(options);

    center.Call("CallHelp", Variant::ArrayOf({"TOV", "11580000"}));
    EXPECT_TRUE(opened.empty());   // no help folder configured

    WriteConfig("[Help]\nFolder=help\n");
    WriteBytes(dir.File("client/help/TOV/11580000.htm"), "<html/>");
    WriteBytes(dir.File("client/help/TOV/index.htm"), "<html/>");
    WriteBytes(dir.File("client/help/index.htm"), "<html/>");
    struct Case {
        const char* group;
        const char* topic;
        const char* page;
    };
    const Case cases[] = {{"TOV", "11580000", "client/help/TOV/11580000.htm"},
                          {"TOV", "11581006", "client/help/TOV/index.htm"},
                          {"AJS", "11580000", "client/help/index.htm"},
                          {"..", "11580000", "client/help/index.htm"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.group) + "/" + c.topic);
        opened.clear();
        center.Call("CallHelp", Variant::ArrayOf({c.group, c.topic}));
        ASSERT_EQ(1u, opened.size());
        EXPECT_EQ(dir.File(c.page), opened[0]);
    }
}

}  // namespace

namespace {

TEST_F(WorkCenterTest, RegisteredProgramIdsShareTheLoginOfTheWorkCenter) {
    TWorkCenterOptions options;
    options.OpenServer = Opener();
    RegisterWorkCenterServices(options);
    Variant center = CreateOleObject("KestrinWorkCenter.Manager");
    center.Set("UserID", "DS");
    center.Set("CompanyID", "DEMO");
    center.Set("DatabaseName", "DEMO");
    center.Call("Connect");

    Variant database = "DEMO", values = Variant::ArrayOf({"1001"}), result;
    EXPECT_TRUE(center.Call("Com_Validator").Call("CheckValue", "ACTMA", "06", ByRef(database), ByRef(values), ByRef(result))
                    .AsBoolean());
    EXPECT_TRUE(center.Call("Com_Pikvalo").IsDispatch());
    EXPECT_TRUE(CreateOleObject("TrelviC.Class1").IsDispatch());
    Variant out;
    EXPECT_EQ(0, CreateOleObject("SorvakC.SorvakClass1").Call("CheckOut", "DS", "R", "DOC-A001", 1, ByRef(out)).AsInt());
    WorkCenterLink().SetLogin({});
    WorkCenterLink().SetOpener(OpenConfiguredServer);   // the test's opener goes with its folder
}

}  // namespace
