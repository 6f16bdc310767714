#pragma once
// `TServerLink`: how the work center and its companion objects (validator,
// counter, lookup window, account tree, document store) reach the company
// data: through sessions of the application server "TessmarS.Class1", opened
// for the login user, so that the server applies the same rights and checks
// to them as to the program modules. They never open a database themselves.
//
// The login is the user the suite's shell logged in (set through the work
// center's UserID, CompanyID, DatabaseName and Password properties). A part
// left empty comes from the environment: VELMORA_USER, VELMORA_COMPANY,
// VELMORA_DATABASE, VELMORA_PASSWORD.
//
// Sessions are opened on first need, one per (database, company), and kept
// until the login changes. A call that names no database uses the login's, or
// else the one the most recent call named.
//
// Finding the server: the opener given to the link makes an unconnected server
// object for a database. The default opener reads the client configuration
// (first server address and port): the loopback address "127.0.0.1" or no
// address makes the server in-process (CreateOleObject("TessmarS.Class1")),
// any other address connects to the daemon there with the login's user and
// password.
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/core/Automation.h"

struct TWorkCenterLogin {
    std::string UserID, CompanyID, DatabaseName, Password;
};

// Makes a server object (not yet connected with Connect) for the database.
using TServerOpener = std::function<Variant(const TWorkCenterLogin& login, const std::string& database)>;

// The default opener described above.
Variant OpenConfiguredServer(const TWorkCenterLogin& login, const std::string& database);

class TServerLink {
public:
    explicit TServerLink(TServerOpener opener = OpenConfiguredServer);

    // The login; parts left empty read the environment (see above).
    TWorkCenterLogin Login() const;
    void SetLogin(TWorkCenterLogin login);
    const TWorkCenterLogin& StoredLogin() const noexcept { return login_; }
    // Replaces the opener; open sessions are dropped.
    void SetOpener(TServerOpener opener);

    // The database a call that names none uses; "" when none is known yet.
    std::string DefaultDatabase() const;

    // The server object of a connected session for the login user. Raises
    // EOleError when there is no login user or database, or when the server
    // refuses the login (with the reason).
    Variant Server(const std::string& database = {}, const std::string& company = {});

    // The server data text ("NAME=value" lines) of a session opened for the
    // program, in the default database: what the server tells the program's
    // window, rights included. The session is not kept.
    std::string ProgramServerData(const std::string& program, const std::string& company = {});

    // Read-only rows of one query through the server's "SimpleSQL": rows as
    // arrays in the order of `fields`, Empty when there is none. `values` are
    // bound to the "?" of the text in order.
    Variant Query(const std::string& database, const std::string& sql, const std::string& fields,
                  const Variant& values = {});

private:
    // A new server object connected for the login user.
    Variant Connected(const std::string& program, const std::string& database, const std::string& company);

    TServerOpener opener_;
    TWorkCenterLogin login_;
    std::string lastDatabase_;
    std::map<std::pair<std::string, std::string>, Variant> sessions_;
};

// The link every registered service object shares (see WorkCenterServices.h).
TServerLink& WorkCenterLink();
