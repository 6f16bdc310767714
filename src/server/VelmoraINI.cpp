#include "src/server/VelmoraINI.h"

#include <filesystem>

#include "platform/core/IniFile.h"
#include "platform/core/Paths.h"
#include "platform/core/Registry.h"
#include "platform/core/Strings.h"
#include "src/lib/LibStrs.h"
#include "src/lib/LibSys.h"

namespace {
uint8_t UIConvertModeOf(const std::string& ui, const std::string& sys) {
    if (ui == "950") return 2;
    if (ui == "936" && sys == "950") return 4;
    return 0;
}

uint8_t DBConvertModeOf(const std::string& ui, const std::string& db) {
    if (ui == "950" && db == "936") return 2;
    if (ui == "936" && db == "950") return 1;
    return 0;
}

bool IsTrueText(const std::string& value) {
    const std::string v = UpperCase(Trim(value));
    return v == "1" || v == "Y" || v == "YES" || v == "TRUE";
}

// A "WorkDLLPath" value made into a folder: '\' starts a folder below the
// installation, '/' an absolute one; anything else lies below the installation.
std::string WorkFolder(const std::string& installPath, std::string_view value) {
    std::string folder = IncludeTrailingPathDelimiter(value.empty() ? std::string_view("\\") : value);
    if (folder.front() == '\\') return JoinPath(installPath, std::string_view(folder).substr(1));
    if (IsAbsolutePath(folder)) return NativePath(folder);
    return JoinPath(installPath, folder);
}
}  // namespace

TVelmoraIni::TVelmoraIni(const char* installValue, const char* fileName) {
    const int sysCodePage = SystemCodePage();
    sysCodePage_ = sysCodePage == 936 || sysCodePage == 950 ? std::to_string(sysCodePage) : "437";
    uiCodePage_ = sysCodePage_;
    uiConvertMode_ = UIConvertModeOf(uiCodePage_, sysCodePage_);
    dbConvertMode_ = DBConvertModeOf(uiCodePage_, dbCodePage_);

    TRegistry reg;
    if (!reg.OpenKeyReadOnly(VelmoraRegistryKey)) {
        errorText_ = "E;000015";
        return;
    }
    installPath_ = NativePath(reg.ReadString(installValue));
    profileType_ = reg.ReadString("ProfileType");
    reg.CloseKey();
    if (installPath_.empty()) return;
    installPath_ = IncludeTrailingPathDelimiter(installPath_);

    configPath_ = installPath_;
    if (!profileType_.empty() && profileType_ != "0") {
        profileName_ = LoginName();
        configPath_ = installPath_ + "Profile/" + profileName_ + "/";
    }
    iniFileName_ = configPath_ + fileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(iniFileName_, ec)) {
        configPath_ = installPath_;
        iniFileName_ = configPath_ + fileName;
    }
}

void TVelmoraIni::ReadCommonKeys(const TIniFile& ini, const char* callBackSection) {
    version_ = ini.ReadString("ProductVersion", "Version", "");
    uiCodePage_ = ini.ReadString("CodePage", "UICodePage", sysCodePage_);
    dbCodePage_ = ini.ReadString("CodePage", "DBCodePage", "936");
    supportCallBack_ = IsTrueText(ini.ReadString(callBackSection, "SupportCallBack", "0"));
    uiConvertMode_ = UIConvertModeOf(uiCodePage_, sysCodePage_);
    dbConvertMode_ = DBConvertModeOf(uiCodePage_, dbCodePage_);
}

void TVelmoraIni::ReadWorkDLLPaths(const TIniFile& ini, const char* defaultFolder) {
    workDLLPaths_.clear();
    for (const std::string& line : ini.ReadSectionValues("WorkDLLPath"))
        workDLLPaths_.push_back(WorkFolder(installPath_, std::string_view(line).substr(line.find('=') + 1)));
    if (workDLLPaths_.empty()) workDLLPaths_.push_back(installPath_ + defaultFolder);
}

TVelmoraIniC::TVelmoraIniC() : TVelmoraIni("ClientPath", "VelmoraC.ini") {
    if (!Located()) return;
    const TIniFile ini(IniFileName());
    langType_ = ini.ReadString("Client Components", "LangType", "ENG");
    createGifBeforeSendEF_ = ini.ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
    autoCheckNewMsg_ = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
    checkInterval_ = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
    popupMsg_ = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
    loginCheck_ = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
    ReadCommonKeys(ini, "Server Information");

    std::string computers = Trim(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"));
    if (!computers.empty() && computers.back() == ';') computers.pop_back();
    if (computers.empty()) {
        SetErrorText("E;000016");
        return;
    }
    const int port = ini.ReadInteger("Server Information", "ServerPort", 211);
    const std::vector<std::string> hosts = SplitString(computers, ';');
    serverList_ = Variant::CreateArray({VarBounds{0, 1}, VarBounds{0, static_cast<int>(hosts.size()) - 1}});
    for (size_t i = 0; i < hosts.size(); ++i) {
        serverList_.At(0, static_cast<int>(i)) = hosts[i];
        serverList_.At(1, static_cast<int>(i)) = port;
    }

    ReadWorkDLLPaths(ini, "C_PKG/");
    SetResult(true);
}

TVelmoraIniS::TVelmoraIniS() : TVelmoraIni("ServerPath", "VelmoraS.ini") {
    if (!Located()) return;
    const TIniFile ini(IniFileName());
    ReadCommonKeys(ini, "DBPasswordCtrl");

    static constexpr const char* db = "DBE Setting";
    static constexpr const char* ctrl = "DBPasswordCtrl";
    dbSettings_ = Variant::CreateArray({VarBounds{0, 3}, VarBounds{0, 7}});
    Variant& s = dbSettings_;
    s.At(0, 0) = ini.ReadString(db, "MainAlias", "Kestrin");
    s.At(0, 1) = ini.ReadString(db, "MainUserName", "sa");
    s.At(0, 2) = DecodeSQLSa(ini.ReadString(db, "XXXXXX", ""));
    s.At(0, 3) = ini.ReadString(db, "MainDBType", "MSSQL");
    s.At(0, 4) = ini.ReadString(db, "MainDBName", "");
    s.At(0, 5) = ini.ReadString(db, "MainServerName", "");
    s.At(0, 6) = ini.ReadInteger(db, "MainConnectionTimeOut", 300);
    s.At(0, 7) = ini.ReadInteger(db, "MainCommandTimeOut", 3000);
    s.At(1, 0) = ini.ReadString(db, "TempAlias", "KestrinTemp");
    s.At(1, 1) = ini.ReadString(db, "TempUserName", "sa");
    s.At(1, 2) = DecodeSQLSa(ini.ReadString(db, "TempPassword", ""));
    s.At(1, 3) = ini.ReadString(db, "TempDBType", "PARADOX");
    s.At(1, 4) = ini.ReadString(db, "TempDBName", "");
    s.At(1, 5) = ini.ReadString(db, "TempDriverName", "PostgreSQL");
    s.At(1, 6) = ini.ReadInteger(db, "TempConnectionTimeOut", 300);
    s.At(1, 7) = ini.ReadInteger(db, "TempCommandTimeOut", 3000);
    s.At(2, 0) = Trim(ini.ReadString(ctrl, "ComputerName", ""));
    s.At(2, 1) = ini.ReadInteger(ctrl, "ServerPort", 211);
    s.At(2, 2) = ini.ReadInteger(ctrl, "ClientSocketPort", 1024);
    s.At(2, 3) = ini.ReadString(db, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
    s.At(3, 0) = ini.ReadString(db, "EctAlias", "EDIDATA");
    s.At(3, 1) = ini.ReadString(db, "EctUserName", "sa");
    s.At(3, 2) = ini.ReadString(db, "EctPassword", "");

    const std::string dbType = s.At(0, 3).AsString();
    dbKind_ = SameText(dbType, "ORACLE") ? 1 : SameText(dbType, "DB2") ? 2 : 0;
    const std::string mainServer = s.At(0, 5).AsString();
    systemControlAddress_ = ini.ReadString(db, "SystemControlAddress", "");
    if (TrimView(systemControlAddress_).empty()) systemControlAddress_ = mainServer;
    otherSystemControlAddress_ = ini.ReadString(db, "OtherSystemControlAddress", "");
    if (TrimView(otherSystemControlAddress_).empty()) otherSystemControlAddress_ = mainServer;

    ReadWorkDLLPaths(ini, "S_PKG/");
    SetResult(true);
}
