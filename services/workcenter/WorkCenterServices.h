#pragma once
// Registers the work center and its companions for CreateOleObject:
// "KestrinWorkCenter.Manager" (whose Com_Validator, Com_Pikvalo and
// Com_Counter hand out the three service objects), the account tree
// "TrelviC.Class1" and the document store "SorvakC.SorvakClass1".
//
// They all reach the company data through the shared server link
// (ServerLink.h): by default the application server of the client
// configuration, in-process for the loopback address, over the network
// otherwise. The shell and tests may replace the pieces that touch the
// desktop or other modules.
#include <functional>
#include <string>

#include "platform/core/Variant.h"
#include "services/workcenter/ServerLink.h"

// What ExecWork asks a launcher to start.
struct TProgramStart {
    std::string UserID, CompanyID, ProgramID;
    Variant WindowHandle, Parameter, Options;
    int Mode = 0;
    std::string ModuleFile;   // the program module found in the installation
};

// Starts a program module and returns ExecWork's result: 0 or more when it
// runs, -2 to -7 for its failures (see TWorkCenter); may fill `result`.
using TProgramLauncher = std::function<int(const TProgramStart& start, Variant& result)>;

// Opens a file or an address with the desktop's default application.
using TDocumentOpener = std::function<void(const std::string& pathOrUrl)>;

// The desktop's "open": runs xdg-open detached, without waiting for it.
void OpenWithDesktop(const std::string& pathOrUrl);

struct TWorkCenterOptions {
    TServerOpener OpenServer = OpenConfiguredServer;
    TProgramLauncher LaunchProgram;            // none: ExecWork answers -2
    TDocumentOpener OpenDocument = OpenWithDesktop;
};

// Registers the program ids above (again: replaces the options) and gives the
// shared link the server opener.
void RegisterWorkCenterServices(TWorkCenterOptions options = {});
