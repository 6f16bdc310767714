#pragma once
// Readers of the installation's configuration: `TVelmoraIniC` for the client
// file "VelmoraC.ini", `TVelmoraIniS` for the application server's
// "VelmoraS.ini". A reader is made on the spot whenever a value is needed: its
// constructor reads the registry store and the file, the members are read-only
// afterwards, and nothing is cached or written.
//
// Where the file is: the registry value "ClientPath" (client) or "ServerPath"
// (server) is the installation folder `InstallPath`. With per-user profiles
// (registry "ProfileType" neither empty nor "0") the file is looked for in
// InstallPath + "Profile/<login name>/" first and, when it is not there, in
// InstallPath itself; a missing file leaves every key at its default.
//
// Code pages are texts: "936" (GB), "950" (Big5), "437" (anything else).
// UIConvertMode: 2 when the interface code page is 950; 4 when it is 936 on a
// 950 system; else 0. DBConvertMode: 2 for a 950 interface over a 936
// database; 1 for a 936 interface over a 950 database; else 0.
//
// `ErrorText` is "E;000015" when the registry key cannot be opened and (client)
// "E;000016" when no server address is configured; `Result()` is then false.
// A missing installation folder also gives false, without an error text.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Variant.h"

class TIniFile;

// What both readers share.
class TVelmoraIni {
public:
    bool Result() const noexcept { return result_; }

    const std::string& InstallPath() const noexcept { return installPath_; }   // ends in '/'
    const std::string& ConfigPath() const noexcept { return configPath_; }     // folder of the file used
    const std::string& ProfileType() const noexcept { return profileType_; }
    const std::string& ProfileName() const noexcept { return profileName_; }   // "Default" or the login name
    const std::string& UICodePage() const noexcept { return uiCodePage_; }
    const std::string& DBCodePage() const noexcept { return dbCodePage_; }
    const std::string& SysCodePage() const noexcept { return sysCodePage_; }
    uint8_t UIConvertMode() const noexcept { return uiConvertMode_; }
    uint8_t DBConvertMode() const noexcept { return dbConvertMode_; }
    bool SupportCallBack() const noexcept { return supportCallBack_; }
    const std::string& IniFileName() const noexcept { return iniFileName_; }
    const std::string& ErrorText() const noexcept { return errorText_; }
    // Folders of the work libraries, each ending in '/': section "WorkDLLPath",
    // one per line; a value starting with '\' or a relative one lies below
    // InstallPath, an absolute one stays. An empty section gives the default
    // package folder below InstallPath.
    const std::vector<std::string>& WorkDLLPaths() const noexcept { return workDLLPaths_; }
    const std::string& Version() const noexcept { return version_; }

protected:
    // Reads the registry and finds the file (the steps both readers share);
    // Located() tells whether the reader goes on to read the file.
    TVelmoraIni(const char* installValue, const char* fileName);
    bool Located() const noexcept { return !iniFileName_.empty(); }
    // Reads the keys both files have ("CodePage", "ProductVersion",
    // "SupportCallBack" of the given section) and computes the modes.
    void ReadCommonKeys(const TIniFile& ini, const char* callBackSection);
    void ReadWorkDLLPaths(const TIniFile& ini, const char* defaultFolder);
    void SetResult(bool result) noexcept { result_ = result; }
    void SetErrorText(std::string text) { errorText_ = std::move(text); }

private:
    bool result_ = false;
    std::string installPath_, configPath_, profileType_ = "0", profileName_ = "Default";
    std::string uiCodePage_ = "936", dbCodePage_ = "936", sysCodePage_;
    uint8_t uiConvertMode_ = 0, dbConvertMode_ = 0;
    bool supportCallBack_ = false;
    std::string iniFileName_, errorText_, version_;
    std::vector<std::string> workDLLPaths_;
};

// The client configuration "VelmoraC.ini".
class TVelmoraIniC : public TVelmoraIni {
public:
    TVelmoraIniC();

    // The application servers: [0, i] host name or address, [1, i] port, for
    // i from 0; unassigned when none is configured.
    const Variant& ServerList() const noexcept { return serverList_; }
    const std::string& LangType() const noexcept { return langType_; }
    const std::string& CreateGifBeforeSendEF() const noexcept { return createGifBeforeSendEF_; }
    const std::string& AutoCheckNewMsg() const noexcept { return autoCheckNewMsg_; }
    const std::string& CheckInterval() const noexcept { return checkInterval_; }
    const std::string& PopupMsg() const noexcept { return popupMsg_; }
    const std::string& LoginCheck() const noexcept { return loginCheck_; }

private:
    Variant serverList_;
    std::string langType_ = "ENG", createGifBeforeSendEF_ = "Y";
    std::string autoCheckNewMsg_ = "1", checkInterval_ = "1", popupMsg_ = "1", loginCheck_ = "0";
};

// The application server's configuration "VelmoraS.ini".
class TVelmoraIniS : public TVelmoraIni {
public:
    TVelmoraIniS();

    // Database settings, a [0..3, 0..7] array:
    //   row 0 main database: alias, user, password (decoded), type, name, server,
    //         connection time-out, command time-out;
    //   row 1 temporary database: the same with the driver name at [1, 5];
    //   row 2 password control: computer name, server port, client socket port,
    //         the database code order at [2, 3];
    //   row 3 exchange database: alias, user, password (as stored).
    // Cells not named stay unassigned. Unassigned as a whole when the reader
    // stopped before reading the file.
    const Variant& DBSettings() const noexcept { return dbSettings_; }
    uint8_t DBKind() const noexcept { return dbKind_; }   // 1 "ORACLE", 2 "DB2", else 0
    const std::string& SystemControlAddress() const noexcept { return systemControlAddress_; }
    const std::string& OtherSystemControlAddress() const noexcept { return otherSystemControlAddress_; }

private:
    Variant dbSettings_;
    uint8_t dbKind_ = 0;
    std::string systemControlAddress_, otherSystemControlAddress_;
};
