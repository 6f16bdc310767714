#include "services/workcenter/WorkCenterServices.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "services/appserver/AppServer.h"
#include "services/workcenter/AccountTree.h"
#include "services/workcenter/DocumentStore.h"
#include "services/workcenter/WorkCenter.h"

extern char** environ;

void OpenWithDesktop(const std::string& pathOrUrl) {
    // Run the opener in a grandchild so that it never stays behind as a zombie
    // of this process and the caller never waits for the application.
    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        setsid();
        pid_t grandchild = 0;
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(pathOrUrl.c_str()), nullptr};
        posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, argv, environ);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

void RegisterWorkCenterServices(TWorkCenterOptions options) {
    // The default opener makes the in-process server by its program id.
    if (!IsOleClassRegistered("TessmarS.Class1")) RegisterAppServerClasses();
    TServerLink& link = WorkCenterLink();
    link.SetOpener(options.OpenServer);
    RegisterOleClass("KestrinWorkCenter.Manager", [&link, options] { return std::make_shared<TWorkCenter>(link, options); });
    RegisterOleClass("TrelviC.Class1", [&link] { return std::make_shared<TAccountTree>(link); });
    RegisterOleClass("SorvakC.SorvakClass1", [&link] { return std::make_shared<TDocumentStore>(link); });
}
