#pragma once
// `TWorkCenter`: the work center "KestrinWorkCenter.Manager". Members (names
// without regard to case):
//
// | member            | arguments                                 | result                               |
// |-------------------|-------------------------------------------|--------------------------------------|
// | Connect           | —                                         | opens the login's session (when the  |
// |                   |                                           | login names a database); raises when |
// |                   |                                           | there is no login user or the server |
// |                   |                                           | refuses it                           |
// | DependencyVersion | —                                         | 8000                                 |
// | CallHelp          | [program group, help topic]               | opens the topic's page when a help   |
// |                   |                                           | folder is configured, else nothing   |
// | ExecWork          | [user, company, program id, window]       | integer, see below                   |
// |                   | (by ref), parameter, options, mode, out   |                                      |
// | GetMessage        | kind, code                                | the text of the message table        |
// | Com_Validator,    | —                                         | the service objects; each is made    |
// | Com_Pikvalo,      |                                           | once per work center                 |
// | Com_Counter       |                                           |                                      |
// | UserID, CompanyID,| properties                                | the login (see ServerLink.h)         |
// | DatabaseName,     |                                           |                                      |
// | Password          |                                           |                                      |
//
// Help: the client configuration's [Help] Folder names the help folder; the
// topic's page is <folder>/<group>/<topic>.htm, else <folder>/<group>/index.htm,
// else <folder>/index.htm. Texts are in the interface language: English
// messages when the client configuration's interface code page is 437.
//
// ExecWork: -1 when the program id has no module "<ID>.so" in the
// configuration's work library folders; -4 when the user's rights for it cannot
// be read; -5 when the user has no rights for it; -2 when no launcher is
// installed; otherwise the launcher's answer (-7 when it raises).
#include "platform/core/Automation.h"
#include "services/workcenter/WorkCenterServices.h"

class TWorkCenter : public AutoObject {
public:
    TWorkCenter(TServerLink& link, TWorkCenterOptions options);

    static constexpr int Version = 8000;

private:
    void CallHelp(const Variant& topic);
    int ExecWork(OleArgs& args);
    Variant Service(Variant& slot, const std::function<std::shared_ptr<IDispatch>()>& make);
    void LoginProperty(const char* name, std::string TWorkCenterLogin::*member);

    TServerLink& link_;
    TWorkCenterOptions options_;
    Variant validator_, pikvalo_, counter_;
};
