#pragma once
// A work center installation for one test: a client configuration (registry
// file and VelmoraC.ini, interface code page 936) and a server link to an
// in-process application server over SQLite files in a fresh folder, filled
// with the demonstration data and logged in as user DS of company DEMO.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "services/workcenter/ServerLink.h"
#include "tests/support/TempDir.h"

class WorkCenterFixture : public ::testing::Test {
protected:
    WorkCenterFixture() {
        WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.File("client") + "\n");
        WriteConfig("");
        link.SetLogin({"DS", "DEMO", "DEMO", ""});
    }

    // VelmoraC.ini with the interface code page 936 and the extra lines given.
    void WriteConfig(const std::string& extra) {
        WriteBytes(dir.File("client/VelmoraC.ini"), "[CodePage]\nUICodePage=936\n" + extra);
    }

    TServerOpener Opener() {
        return [this](const TWorkCenterLogin&, const std::string&) { return InProcessServer(dir.File("data")); };
    }
    // An application server object over the SQLite files of the folder.
    static Variant InProcessServer(const std::string& folder);

    TempDir dir;
    ScopedEnv registry{"VELMORA_REGISTRY", dir.File("registry.ini").c_str()};
    ScopedEnv cache{"XDG_CACHE_HOME", dir.File("cache").c_str()};
    ScopedEnv user{"VELMORA_USER", nullptr};
    TServerLink link{Opener()};
};
