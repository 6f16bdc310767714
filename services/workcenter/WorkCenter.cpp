#include "services/workcenter/WorkCenter.h"

#include <filesystem>

#include "platform/core/IniFile.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "services/workcenter/Counter.h"
#include "services/workcenter/MessageTable.h"
#include "services/workcenter/Pikvalo.h"
#include "services/workcenter/Validator.h"
#include "src/server/VelmoraINI.h"

namespace {

Variant Item(const Variant& array, int i) {
    if (!array.IsArray() || array.DimCount() != 1 || i >= array.Count()) return {};
    return array[array.LowBound() + i];
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The value of a "NAME=value" line of the server data text.
std::string ServerDataValue(const std::string& data, const std::string& name) {
    for (const std::string& rawLine : SplitString(data, '\n')) {
        const std::string line = Trim(rawLine);
        const size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(line.substr(0, eq), name)) return line.substr(eq + 1);
    }
    return {};
}

}  // namespace

TWorkCenter::TWorkCenter(TServerLink& link, TWorkCenterOptions options)
    : AutoObject("KestrinWorkCenter.Manager"), link_(link), options_(std::move(options)) {
    Method("Connect", [this](OleArgs&) {
        const TWorkCenterLogin login = link_.Login();
        if (login.UserID.empty()) throw EOleError("The work center has no login user");
        if (!login.DatabaseName.empty()) link_.Server(login.DatabaseName);
        return Variant();
    });
    Property("DependencyVersion", [](OleArgs&) { return Variant(Version); });
    Method("CallHelp", [this](OleArgs& a) {
        CallHelp(Arg(a, 0));
        return Variant();
    });
    Method("ExecWork", [this](OleArgs& a) { return Variant(ExecWork(a)); });
    Method("GetMessage", [](OleArgs& a) {
        const std::string language = TVelmoraIniC().UICodePage() == "437" ? "ENG" : "CHS";
        return Variant(MessageText(Arg(a, 0).AsString(), Arg(a, 1).AsString(), language));
    });
    Method("Com_Validator", [this](OleArgs&) {
        return Service(validator_, [this] { return std::make_shared<TValidator>(link_); });
    });
    Method("Com_Pikvalo", [this](OleArgs&) {
        return Service(pikvalo_, [this] { return std::make_shared<TPikvalo>(link_); });
    });
    Method("Com_Counter", [this](OleArgs&) {
        return Service(counter_, [this] { return std::make_shared<TCounter>(link_); });
    });
    LoginProperty("UserID", &TWorkCenterLogin::UserID);
    LoginProperty("CompanyID", &TWorkCenterLogin::CompanyID);
    LoginProperty("DatabaseName", &TWorkCenterLogin::DatabaseName);
    LoginProperty("Password", &TWorkCenterLogin::Password);
}

void TWorkCenter::LoginProperty(const char* name, std::string TWorkCenterLogin::*member) {
    Property(
        name, [this, member](OleArgs&) { return Variant(link_.StoredLogin().*member); },
        [this, member](OleArgs&, const Variant& value) {
            TWorkCenterLogin login = link_.StoredLogin();
            login.*member = Trim(value.AsString());
            link_.SetLogin(std::move(login));
        });
}

Variant TWorkCenter::Service(Variant& slot, const std::function<std::shared_ptr<IDispatch>()>& make) {
    if (!slot.IsDispatch()) slot = Variant(make());
    return slot;
}

void TWorkCenter::CallHelp(const Variant& topic) {
    TVelmoraIniC config;
    if (config.IniFileName().empty()) return;
    const std::string folder = Trim(TIniFile(config.IniFileName()).ReadString("Help", "Folder", ""));
    if (folder.empty()) return;
    const std::string root = IsAbsolutePath(NativePath(folder)) ? IncludeTrailingPathDelimiter(NativePath(folder))
                                                                : JoinPath(config.InstallPath(), IncludeTrailingPathDelimiter(folder));
    const std::string group = Trim(Item(topic, 0).AsString());
    const std::string page = Trim(Item(topic, 1).AsString());
    // Names come from the caller: keep them inside the help folder.
    auto safe = [](const std::string& name) {
        return name.find('/') == std::string::npos && name.find('\\') == std::string::npos && name != "..";
    };
    std::vector<std::string> candidates;
    if (!group.empty() && safe(group)) {
        if (!page.empty() && safe(page)) candidates.push_back(root + group + "/" + page + ".htm");
        candidates.push_back(root + group + "/index.htm");
    }
    candidates.push_back(root + "index.htm");
    for (const std::string& file : candidates)
        if (FileExists(file)) {
            if (options_.OpenDocument) options_.OpenDocument(file);
            return;
        }
}

int TWorkCenter::ExecWork(OleArgs& a) {
    a.resize(std::max<size_t>(a.size(), 5));
    a[4] = Variant();
    TProgramStart start;
    start.UserID = Trim(Item(a[0], 0).AsString());
    start.CompanyID = Trim(Item(a[0], 1).AsString());
    start.ProgramID = UpperCase(Trim(Item(a[0], 2).AsString()));
    start.WindowHandle = Item(a[0], 3);
    start.Parameter = a[1];
    start.Options = a[2];
    start.Mode = a[3].IsNumeric() ? a[3].AsInt() : 0;
    if (start.ProgramID.empty() || start.ProgramID.find('/') != std::string::npos || start.ProgramID.find("..") != std::string::npos)
        return -1;
    const TVelmoraIniC config;
    for (const std::string& folder : config.WorkDLLPaths())
        if (FileExists(folder + start.ProgramID + ".so")) {
            start.ModuleFile = folder + start.ProgramID + ".so";
            break;
        }
    if (start.ModuleFile.empty()) return -1;

    std::string serverData;
    try {
        serverData = link_.ProgramServerData(start.ProgramID, start.CompanyID);
    } catch (const Exception&) {
        return -4;
    }
    if (Trim(ServerDataValue(serverData, "POWER_DATA")).empty()) return -5;
    if (!options_.LaunchProgram) return -2;
    try {
        return options_.LaunchProgram(start, a[4]);
    } catch (const Exception&) {
        return -7;
    }
}
