#include "services/workcenter/ServerLink.h"

#include <cstdlib>

#include "platform/core/Strings.h"
#include "services/appserver/RemoteServer.h"
#include "src/server/VelmoraINI.h"

namespace {

std::string FromEnvironment(const std::string& value, const char* name) {
    if (!value.empty()) return value;
    const char* env = std::getenv(name);
    return env ? env : "";
}

std::string ConnectRefusal(int code) {
    switch (code) {
        case 1: return "unknown user";
        case 2: return "database unavailable";
        case 3: return "not the user this connection logged in as";
        default: return "code " + std::to_string(code);
    }
}

}  // namespace

Variant OpenConfiguredServer(const TWorkCenterLogin& login, const std::string& database) {
    TVelmoraIniC config;
    const Variant& servers = config.ServerList();
    std::string host;
    int port = 211;
    if (servers.IsArray() && servers.DimCount() == 2 && servers.Count(2) > 0) {
        host = Trim(servers.At(0, servers.LowBound(2)).AsString());
        const Variant& p = servers.At(1, servers.LowBound(2));
        if (!p.IsClear() && !Trim(p.AsString()).empty()) port = p.AsInt();
    }
    if (host.empty() || host == "127.0.0.1") return CreateOleObject("TessmarS.Class1");
    TRemoteOptions options;
    options.Host = host;
    options.Port = static_cast<uint16_t>(port);
    options.Database = database;
    options.User = login.UserID;
    options.Password = login.Password;
    return Variant(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(options)));
}

TServerLink::TServerLink(TServerOpener opener) : opener_(std::move(opener)) {}

TWorkCenterLogin TServerLink::Login() const {
    return {FromEnvironment(login_.UserID, "VELMORA_USER"), FromEnvironment(login_.CompanyID, "VELMORA_COMPANY"),
            FromEnvironment(login_.DatabaseName, "VELMORA_DATABASE"), FromEnvironment(login_.Password, "VELMORA_PASSWORD")};
}

void TServerLink::SetLogin(TWorkCenterLogin login) {
    login_ = std::move(login);
    sessions_.clear();
    lastDatabase_.clear();
}

void TServerLink::SetOpener(TServerOpener opener) {
    opener_ = std::move(opener);
    sessions_.clear();
}

std::string TServerLink::DefaultDatabase() const {
    const std::string database = Login().DatabaseName;
    return database.empty() ? lastDatabase_ : database;
}

Variant TServerLink::Connected(const std::string& program, const std::string& database, const std::string& company) {
    const TWorkCenterLogin login = Login();
    if (login.UserID.empty()) throw EOleError("The work center has no login user");
    if (database.empty()) throw EOleError("The work center knows no company database yet");
    Variant server = opener_(login, database);
    Variant params = Variant::ArrayOf({program, login.UserID, company, database, true, true});
    const int rc = server.Call("Connect", ByRef(params)).AsInt();
    if (rc != 0)
        throw EOleError("The application server refused user " + login.UserID + " for database " + database + ": " +
                        ConnectRefusal(rc));
    return server;
}

Variant TServerLink::Server(const std::string& databaseName, const std::string& companyName) {
    const std::string database = Trim(databaseName).empty() ? DefaultDatabase() : Trim(databaseName);
    const std::string company = Trim(companyName).empty() ? Login().CompanyID : Trim(companyName);
    auto key = std::make_pair(UpperCase(database), company);
    auto it = sessions_.find(key);
    if (it == sessions_.end()) it = sessions_.emplace(key, Connected("", database, company)).first;
    lastDatabase_ = database;
    return it->second;
}

std::string TServerLink::ProgramServerData(const std::string& program, const std::string& companyName) {
    const std::string company = Trim(companyName).empty() ? Login().CompanyID : Trim(companyName);
    return Connected(program, DefaultDatabase(), company).Call("SvrData").AsString();
}

Variant TServerLink::Query(const std::string& database, const std::string& sql, const std::string& fields,
                           const Variant& values) {
    return Server(database).Call("SimpleSQL", sql, fields, database, "N", values);
}

TServerLink& WorkCenterLink() {
    static TServerLink link;
    return link;
}
