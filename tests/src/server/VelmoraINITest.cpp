#include <gtest/gtest.h>

#include "platform/core/Paths.h"
#include "src/lib/LibStrs.h"
#include "src/server/VelmoraINI.h"
#include "tests/support/TempDir.h"

namespace {
using Folders = std::vector<std::string>;

// A temporary installation: a registry file naming the client and server
// folders, and the configuration files written into them by the tests.
class Installation : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv lcAll{"LC_ALL", "zh_CN.UTF-8"};   // a 936 system unless the registry says otherwise
    std::string client = dir.File("client") + "/";
    std::string server = dir.File("server") + "/";

    void SetRegistry(const std::string& extra = "") {
        WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.File("client") +
                                                 "\nServerPath=" + dir.File("server") + "\n" + extra);
    }
    void ClientFile(const std::string& text, const std::string& folder = "") {
        WriteBytes(client + folder + "VelmoraC.ini", text);
    }
    void ServerFile(const std::string& text) { WriteBytes(server + "VelmoraS.ini", text); }
};

std::vector<std::pair<std::string, int>> Servers(const TVelmoraIniC& ini) {
    std::vector<std::pair<std::string, int>> list;
    const Variant& v = ini.ServerList();
    if (v.IsEmpty()) return list;
    for (int i = v.LowBound(2); i <= v.HighBound(2); ++i) list.emplace_back(v.At(0, i).AsString(), v.At(1, i).AsInt());
    return list;
}
}  // namespace

TEST_F(Installation, MissingRegistryKeyOrFolder) {
    {
        TVelmoraIniC ini;   // no registry file at all
        EXPECT_FALSE(ini.Result());
        EXPECT_EQ(ini.ErrorText(), "E;000015");
        EXPECT_EQ(ini.InstallPath(), "");
        EXPECT_EQ(ini.ProfileType(), "0");
        EXPECT_EQ(ini.ProfileName(), "Default");
        EXPECT_EQ(ini.UICodePage(), "936");
        EXPECT_TRUE(ini.ServerList().IsEmpty());
        TVelmoraIniS srv;
        EXPECT_EQ(srv.ErrorText(), "E;000015");
        EXPECT_TRUE(srv.DBSettings().IsEmpty());
    }
    WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=\n");
    ClientFile("[Client Components]\nLangType=CHS\n");
    TVelmoraIniC ini;   // the key opens but names no folder: nothing is read
    EXPECT_FALSE(ini.Result());
    EXPECT_EQ(ini.ErrorText(), "");
    EXPECT_EQ(ini.LangType(), "ENG");
    EXPECT_EQ(ini.IniFileName(), "");
    TVelmoraIniS srv;
    EXPECT_FALSE(srv.Result());
    EXPECT_EQ(srv.ErrorText(), "");
}

TEST_F(Installation, ClientDefaultsWithoutAFile) {
    SetRegistry();
    TVelmoraIniC ini;
    ASSERT_TRUE(ini.Result());
    EXPECT_EQ(ini.ErrorText(), "");
    EXPECT_EQ(ini.InstallPath(), client);
    EXPECT_EQ(ini.ConfigPath(), client);
    EXPECT_EQ(ini.IniFileName(), client + "VelmoraC.ini");
    EXPECT_EQ(ini.ProfileType(), "");   // the registry has no value
    EXPECT_EQ(Servers(ini), (std::vector<std::pair<std::string, int>>{{"127.0.0.1", 211}}));
    EXPECT_EQ(ini.LangType(), "ENG");
    EXPECT_EQ(ini.Version(), "");
    EXPECT_EQ(ini.CreateGifBeforeSendEF(), "Y");
    EXPECT_EQ(ini.AutoCheckNewMsg(), "1");
    EXPECT_EQ(ini.CheckInterval(), "1");
    EXPECT_EQ(ini.PopupMsg(), "1");
    EXPECT_EQ(ini.LoginCheck(), "0");
    EXPECT_FALSE(ini.SupportCallBack());
    EXPECT_EQ(ini.SysCodePage(), "936");
    EXPECT_EQ(ini.UICodePage(), "936");
    EXPECT_EQ(ini.DBCodePage(), "936");
    EXPECT_EQ(ini.WorkDLLPaths(), (Folders{client + "C_PKG/"}));
}

TEST_F(Installation, ClientKeys) {
    SetRegistry();
    ClientFile(
        "[Client Components]\nLangType=CHT\n[ProductVersion]\nVersion=8.0.1\n[UserDefine]\nCreateGifBeforeSendEF=N\n"
        "[TaskMessageCenter Setting]\nAutoCheckNewMsg=0\nCheckInterval=5\nPopupMsg=0\nLoginCheck=1\n"
        "[Server Information]\nSupportCallBack=yes\n");
    TVelmoraIniC ini;
    ASSERT_TRUE(ini.Result());
    EXPECT_EQ(ini.LangType(), "CHT");
    EXPECT_EQ(ini.Version(), "8.0.1");
    EXPECT_EQ(ini.CreateGifBeforeSendEF(), "N");
    EXPECT_EQ(ini.AutoCheckNewMsg(), "0");
    EXPECT_EQ(ini.CheckInterval(), "5");
    EXPECT_EQ(ini.PopupMsg(), "0");
    EXPECT_EQ(ini.LoginCheck(), "1");
    EXPECT_TRUE(ini.SupportCallBack());
}

TEST_F(Installation, SupportCallBackValues) {
    SetRegistry();
    struct Case {
        const char* value;
        bool expected;
    } cases[] = {{"1", true}, {"y", true}, {"Yes", true}, {"TRUE", true}, {"0", false}, {"no", false}, {"2", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ClientFile(std::string("[Server Information]\nSupportCallBack=") + c.value + "\n");
        EXPECT_EQ(TVelmoraIniC().SupportCallBack(), c.expected);
    }
}

TEST_F(Installation, ServerList) {
    SetRegistry();
    using List = std::vector<std::pair<std::string, int>>;
    struct Case {
        const char* lines;
        List expected;
    } cases[] = {
        {"ComputerName=host1;host2;\nServerPort=8211\n", {{"host1", 8211}, {"host2", 8211}}},
        {"ComputerName=host1;;host2\n", {{"host1", 211}, {"", 211}, {"host2", 211}}},
        {"ComputerName=  10.0.0.5 ; b\n", {{"10.0.0.5 ", 211}, {" b", 211}}},   // pieces are not trimmed
        {"ComputerName=one\nServerPort=x\n", {{"one", 211}}},                   // not a number: default port
        {"ServerPort=300\n", {{"127.0.0.1", 300}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        ClientFile(std::string("[Server Information]\n") + c.lines);
        TVelmoraIniC ini;
        EXPECT_TRUE(ini.Result());
        EXPECT_EQ(ini.ErrorText(), "");
        EXPECT_EQ(Servers(ini), c.expected);
    }
}

TEST_F(Installation, BlankServerNameIsAnError) {
    SetRegistry();
    for (const char* value : {"", "  ", ";", " ; "}) {
        SCOPED_TRACE(std::string("[") + value + "]");
        ClientFile(std::string("[Server Information]\nComputerName=") + value + "\n[WorkDLLPath]\nA=pkg\n");
        TVelmoraIniC ini;
        EXPECT_FALSE(ini.Result());
        EXPECT_EQ(ini.ErrorText(), "E;000016");
        EXPECT_TRUE(ini.ServerList().IsEmpty());
        EXPECT_TRUE(ini.WorkDLLPaths().empty());   // the reader stopped before them
    }
}

TEST_F(Installation, WorkDLLPathForms) {
    SetRegistry();
    ClientFile("[WorkDLLPath]\nA=\\pkg\nB=pkg2\\\nC=/opt/pkg\nD=sub\\dir\nE=\n");
    TVelmoraIniC ini;
    EXPECT_EQ(ini.WorkDLLPaths(),
              (Folders{client + "pkg/", client + "pkg2/", "/opt/pkg/", client + "sub/dir/", client}));

    ServerFile("[WorkDLLPath]\n");   // an empty section: the default folder
    EXPECT_EQ(TVelmoraIniS().WorkDLLPaths(), (Folders{server + "S_PKG/"}));
}

TEST_F(Installation, PerUserProfileAndFallBack) {
    SetRegistry("ProfileType=1\n");
    ClientFile("[Client Components]\nLangType=SHARED\n");
    {
        TVelmoraIniC ini;   // no file of this user: the shared one
        EXPECT_EQ(ini.ProfileName(), LoginName());
        EXPECT_EQ(ini.ConfigPath(), client);
        EXPECT_EQ(ini.IniFileName(), client + "VelmoraC.ini");
        EXPECT_EQ(ini.LangType(), "SHARED");
    }
    const std::string profile = "Profile/" + LoginName() + "/";
    ClientFile("[Client Components]\nLangType=MINE\n", profile);
    {
        TVelmoraIniC ini;
        EXPECT_EQ(ini.ProfileType(), "1");
        EXPECT_EQ(ini.ConfigPath(), client + profile);
        EXPECT_EQ(ini.IniFileName(), client + profile + "VelmoraC.ini");
        EXPECT_EQ(ini.LangType(), "MINE");
    }
    SetRegistry("ProfileType=0\n");   // profiles off: the user's file is not looked at
    TVelmoraIniC ini;
    EXPECT_EQ(ini.ProfileName(), "Default");
    EXPECT_EQ(ini.LangType(), "SHARED");
}

TEST_F(Installation, CodePageModes) {
    struct Case {
        const char* sysCodePage;   // registry value
        const char* lines;         // [CodePage] keys
        const char* sys;
        const char* ui;
        int uiMode;
        int dbMode;
    } cases[] = {
        {"936", "", "936", "936", 0, 0},
        {"950", "", "950", "950", 2, 2},                           // a Big5 system over a GB database
        {"950", "DBCodePage=950\n", "950", "950", 2, 0},
        {"950", "UICodePage=936\nDBCodePage=950\n", "950", "936", 4, 1},
        {"936", "UICodePage=950\n", "936", "950", 2, 2},
        {"936", "DBCodePage=950\n", "936", "936", 0, 1},
        {"1252", "", "437", "437", 0, 0},                          // any other system code page
        {"1252", "UICodePage=950\n", "437", "950", 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sysCodePage) + " " + c.lines);
        SetRegistry(std::string("SysCodePage=") + c.sysCodePage + "\n");
        ClientFile(std::string("[CodePage]\n") + c.lines);
        ServerFile(std::string("[CodePage]\n") + c.lines);
        TVelmoraIniC ini;
        TVelmoraIniS srv;
        for (const TVelmoraIni* r : {static_cast<const TVelmoraIni*>(&ini), static_cast<const TVelmoraIni*>(&srv)}) {
            EXPECT_EQ(r->SysCodePage(), c.sys);
            EXPECT_EQ(r->UICodePage(), c.ui);
            EXPECT_EQ(r->UIConvertMode(), c.uiMode);
            EXPECT_EQ(r->DBConvertMode(), c.dbMode);
        }
    }
}

TEST_F(Installation, ServerDatabaseSettings) {
    SetRegistry();
    ServerFile("[DBE Setting]\nMainAlias=Main\nMainUserName=admin\nXXXXXX=" + EncodePasswordText("s3cret") +
               "\nMainDBType=oracle\nMainDBName=ERP\nMainServerName=db1\nSystemControlAddress=ctl\n"
               "OtherSystemControlAddress=  \nMainConnectionTimeOut=60\nMainCommandTimeOut=abc\n"
               "TempPassword=" + EncodePasswordText("") + "\nTempDriverName=QPSQL\nEctPassword=AB12\n"
               "DataBaseCodeOrder=Chinese_PRC_BIN\n"
               "[DBPasswordCtrl]\nComputerName=  pw-host  \nServerPort=9000\nSupportCallBack=TRUE\n"
               "[ProductVersion]\nVersion=8\n");
    TVelmoraIniS ini;
    ASSERT_TRUE(ini.Result());
    const Variant& s = ini.DBSettings();
    ASSERT_EQ(s.DimCount(), 2);
    EXPECT_EQ(s.Count(1), 4);
    EXPECT_EQ(s.Count(2), 8);
    struct Cell {
        int row, col;
        Variant expected;
    } cells[] = {
        {0, 0, "Main"},   {0, 1, "admin"},       {0, 2, "s3cret"},          {0, 3, "oracle"},
        {0, 4, "ERP"},    {0, 5, "db1"},         {0, 6, 60},                {0, 7, 3000},
        {1, 0, "KestrinTemp"}, {1, 1, "sa"},     {1, 2, ""},                {1, 3, "PARADOX"},
        {1, 4, ""},       {1, 5, "QPSQL"},       {1, 6, 300},               {1, 7, 3000},
        {2, 0, "pw-host"}, {2, 1, 9000},         {2, 2, 1024},              {2, 3, "Chinese_PRC_BIN"},
        {3, 0, "EDIDATA"}, {3, 1, "sa"},         {3, 2, "AB12"},            // as stored, not decoded
    };
    for (const auto& c : cells) {
        SCOPED_TRACE("[" + std::to_string(c.row) + ", " + std::to_string(c.col) + "]");
        EXPECT_EQ(s.At(c.row, c.col).Type(), c.expected.Type());
        EXPECT_EQ(s.At(c.row, c.col), c.expected);
    }
    for (int col = 4; col < 8; ++col) EXPECT_TRUE(s.At(2, col).IsEmpty());
    for (int col = 3; col < 8; ++col) EXPECT_TRUE(s.At(3, col).IsEmpty());
    EXPECT_EQ(ini.DBKind(), 1);
    EXPECT_EQ(ini.SystemControlAddress(), "ctl");
    EXPECT_EQ(ini.OtherSystemControlAddress(), "db1");   // blank: the main server
    EXPECT_TRUE(ini.SupportCallBack());
    EXPECT_EQ(ini.Version(), "8");
    EXPECT_EQ(ini.InstallPath(), server);
}

TEST_F(Installation, ServerDefaults) {
    SetRegistry();
    struct Case {
        const char* type;
        int kind;
    } cases[] = {{"", 0}, {"MainDBType=DB2\n", 2}, {"MainDBType=Oracle\n", 1}, {"MainDBType=PGSQL\n", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ServerFile(std::string("[DBE Setting]\n") + c.type);
        TVelmoraIniS ini;
        EXPECT_EQ(ini.DBKind(), c.kind);
    }
    ServerFile("[DBE Setting]\nXXXXXX=zz\n");
    TVelmoraIniS ini;
    const Variant& s = ini.DBSettings();
    EXPECT_EQ(s.At(0, 0).AsString(), "Kestrin");
    EXPECT_EQ(s.At(0, 2).AsString(), "QV_Say_Password_Error");
    EXPECT_EQ(s.At(0, 3).AsString(), "MSSQL");
    EXPECT_EQ(s.At(1, 5).AsString(), "PostgreSQL");
    EXPECT_EQ(s.At(2, 0).AsString(), "");
    EXPECT_EQ(s.At(2, 1).AsInt(), 211);
    EXPECT_EQ(s.At(2, 3).AsString(), "Chinese_Taiwan_Stroke_BIN");
    EXPECT_EQ(ini.SystemControlAddress(), "");
    EXPECT_EQ(ini.WorkDLLPaths(), (Folders{server + "S_PKG/"}));
}

TEST_F(Installation, ReadersNeverWrite) {
    SetRegistry();
    {
        TVelmoraIniC c;
        TVelmoraIniS s;
    }
    EXPECT_FALSE(std::filesystem::exists(client));
    EXPECT_FALSE(std::filesystem::exists(server));
}
