// The program window as its broker sees it: code-page settings from the client
// configuration, caption, handle, rights and the lookup hand-over.
#include <gtest/gtest.h>

#include "src/forms/RadicalCF.h"
#include "src/server/Brokers.h"
#include "tests/support/TempDir.h"
#include "tests/support/vcl/TestForm.h"

namespace {

class RadicalWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv lcAll{"LC_ALL", "zh_CN.UTF-8"};

    // A client installation whose configuration holds the given [CodePage] keys.
    void Install(const std::string& codePageKeys) {
        WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.File("client") + "\n");
        WriteBytes(dir.File("client/VelmoraC.ini"),
                   "[ServerList]\nServer1=127.0.0.1,211\n[CodePage]\n" + codePageKeys);
    }
};

TEST_F(RadicalWindowTest, CodePageSettingsComeFromTheClientConfiguration) {
    const struct {
        const char* keys;
        const char* uiCodePage;
        uint8_t mode;
        const char* shown;   // how the window shows the program text "请更新"
    } cases[] = {
        {"", "936", 0, "请更新"},
        {"UICodePage=950\n", "950", 2, "請更新"},
        {"UICodePage=437\n", "437", 0, "请更新"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Install(c.keys);
        auto window = MakeForm<TfrmRadical>("frmRadical");
        const IBrokersOwner& owner = *window;
        EXPECT_EQ(owner.UICodePage(), c.uiCodePage);
        EXPECT_EQ(owner.SysCodePage(), "936");
        EXPECT_EQ(owner.UIConvertMode(), c.mode);
        EXPECT_EQ(owner.ProgramTextToUI("请更新"), c.shown);
    }
}

TEST_F(RadicalWindowTest, RightsAnswerForElementsInRange) {
    auto window = MakeForm<TfrmRadical>("frmRadical");
    window->Rights.reset();
    window->Rights.set(0);
    window->Rights.set(63);
    const struct {
        int element;
        bool held;
    } cases[] = {{0, true}, {63, true}, {32, false}, {-1, false}, {64, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        EXPECT_EQ(window->HasRight(c.element), c.held);
    }
}

TEST_F(RadicalWindowTest, ItsBrokerCapturesAndReplaysLookupsThroughTheWindow) {
    auto window = MakeForm<TfrmRadical>("frmRadical");
    TBrokers* brokers = window->Brokers();
    brokers->DatabaseName = "DEMODB";

    window->SetLookupState(1);
    EXPECT_TRUE(brokers->OpenPikvalo("INVMB", "01", Variant::ArrayOf({"P"}), "P1").IsEmpty());
    ASSERT_TRUE(window->LookupParams().IsArray());
    EXPECT_EQ(window->LookupParams().Count(), 14);
    EXPECT_EQ(window->LookupParams()[0], Variant("INVMB"));
    EXPECT_EQ(window->LookupParams()[5], Variant("DEMODB"));

    const Variant row = Variant::ArrayOf({Variant::ArrayOf({"P001"})});
    window->SetLookupState(2);
    window->SetLookupReturn(row);
    EXPECT_EQ(brokers->OpenPikvalo("INVMB", "01", Variant::ArrayOf({"P"})), row);
}

TEST_F(RadicalWindowTest, MessagesCarryTheWindowCaption) {
    auto window = MakeForm<TfrmRadical>("frmRadical");
    window->SetCaption("设置分录性质-费用调整单[演示公司]");
    const IBrokersOwner& owner = *window;
    EXPECT_EQ(owner.WindowCaption(), "设置分录性质-费用调整单[演示公司]");
    EXPECT_EQ(owner.WindowHandle(), window->Handle());
    EXPECT_NE(owner.WindowHandle(), 0);
}

}  // namespace
