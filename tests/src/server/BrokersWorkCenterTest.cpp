// The broker against the work center stand-in and its services, over an
// in-process application server with the demonstration data, logged in as user
// DS of company DEMO.
#include <gtest/gtest.h>

#include "services/appserver/AppServer.h"
#include "services/workcenter/WorkCenter.h"
#include "src/server/Brokers.h"
#include "tests/src/server/BrokersFakes.h"
#include "tests/support/TempDir.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/TestForm.h"

namespace {

class BrokersWorkCenterTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv cache{"XDG_CACHE_HOME", dir.File("cache").c_str()};
    ScopedEnv lcAll{"LC_ALL", "zh_CN.UTF-8"};
    TServerLink link{[this](const TWorkCenterLogin&, const std::string&) {
        TServerSettings settings;
        settings.Kind = TStorageKind::SQLite;
        settings.DataFolder = dir.File("data");
        return Variant(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(settings)));
    }};
    TFormPtr<TTestWindow> window = MakeForm<TTestWindow>("frmTest");
    TBrokers* brokers = new TBrokers(window.get());

    void SetUp() override {
        WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.File("client") + "\n");
        // TOVI77 is installed, but the rights table gives it to nobody.
        WriteBytes(dir.File("client/VelmoraC.ini"),
                   "[CodePage]\nUICodePage=936\n[WorkDLLPath]\nPath1=" + dir.File("modules") + "\n");
        WriteBytes(dir.File("modules/TOVI77.so"), "");
        link.SetLogin({"DS", "DEMO", "DEMO", ""});
        brokers->WorkCenter = Variant(std::make_shared<TWorkCenter>(link, TWorkCenterOptions{}));
        brokers->UserID = "DS";
        brokers->CompanyID = "DEMO";
        brokers->DatabaseName = "DEMO";
        brokers->ProgramID = "TOVI58";
    }
};

TEST_F(BrokersWorkCenterTest, ConnectsOnceAndReadsTheProgramAndTheSystemValues) {
    ASSERT_TRUE(brokers->ConnectServices());
    const auto validator = brokers->Validator.AsDispatch();
    const auto counter = brokers->Counter.AsDispatch();
    ASSERT_TRUE(brokers->ConnectServices());
    EXPECT_EQ(brokers->Validator.AsDispatch(), validator);
    EXPECT_EQ(brokers->Counter.AsDispatch(), counter);
    EXPECT_TRUE(brokers->Pikvalo.IsDispatch());

    EXPECT_EQ(brokers->ProgramName, "设置分录性质-费用调整单");
    EXPECT_EQ(brokers->PrintProgram, "TOVI58");
    EXPECT_TRUE(brokers->ProgramFlag);
    window->UICode = "437";
    brokers->LoadProgramInfo();
    EXPECT_EQ(brokers->ProgramName, "Entry Properties - Expense Adjustment");

    ASSERT_TRUE(brokers->LoadSysParams());
    EXPECT_EQ(brokers->GetSysParam("qvn002"), "维尔摩拉演示公司");
    EXPECT_EQ(brokers->GetSysParam("SYS002"), "/");
}

TEST_F(BrokersWorkCenterTest, ProgramTitles) {
    ASSERT_TRUE(brokers->ConnectServices());
    EXPECT_EQ(brokers->GetProgramTitle("TOVI58"), "设置分录性质-费用调整单");
    EXPECT_EQ(brokers->GetProgramTitle("AJSI99"), "AJSI99");
    EXPECT_EQ(brokers->GetProgramTitle("X' OR '1'='1"), "X' OR '1'='1") << "the id stays one quoted value";
}

TEST_F(BrokersWorkCenterTest, ExecWorkWithoutRightsShowsItsMessage) {
    ASSERT_TRUE(brokers->ConnectServices());
    Variant result;
    {
        TDialogAnswerer answerer;
        answerer.Click("OK");
        EXPECT_EQ(brokers->ExecWork("TOVI77", "", true, result), -5);
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].Text, "[TOVI77]作业程序无运行作业权限! ");
    }
    TDialogAnswerer silent;
    EXPECT_EQ(brokers->ExecWork("TOVI77", "", false, result), -5);
    EXPECT_TRUE(silent.Shown().empty());
}

TEST_F(BrokersWorkCenterTest, MessagesComeFromTheWorkCenterTable) {
    TDialogAnswerer answerer;
    answerer.Click("OK");
    brokers->ShowMessageByCode("E", "100007");
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].Text, "单别不存在或不符合条件! ");
}

}  // namespace
