#include <gtest/gtest.h>

#include "platform/core/Registry.h"
#include "tests/support/TempDir.h"

TEST(Registry, FileLookupOrder) {
    struct Case {
        const char* name;
        const char* registry;
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {"explicit file wins", "/etc/reg.ini", "/xdg", "/home/u", "/etc/reg.ini"},
        {"empty explicit counts as unset", "", "/xdg", "/home/u", "/xdg/velmora/registry.ini"},
        {"XDG config home", nullptr, "/xdg/", "/home/u", "/xdg/velmora/registry.ini"},
        {"empty XDG counts as unset", nullptr, "", "/home/u", "/home/u/.config/velmora/registry.ini"},
        {"home folder", nullptr, nullptr, "/home/u", "/home/u/.config/velmora/registry.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv reg("VELMORA_REGISTRY", c.registry);
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(RegistryFileName(), c.expected);
    }
}

TEST(Registry, ReadsValuesOfTheKey) {
    TempDir dir;
    ScopedEnv reg("VELMORA_REGISTRY", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", dir.Path().c_str());
    WriteBytes(dir.File("velmora/registry.ini"),
               "[Software\\QVN\\Other]\nClientPath=/wrong\n"
               "[software\\qvn\\velmora]\nClientPath=/opt/velmora/client\nProfileType=\n");

    TRegistry r;
    EXPECT_FALSE(r.OpenKeyReadOnly("Software\\QVN\\Missing"));
    ASSERT_TRUE(r.OpenKeyReadOnly(VelmoraRegistryKey));
    EXPECT_EQ(r.ReadString("clientpath"), "/opt/velmora/client");
    EXPECT_TRUE(r.ValueExists("ProfileType"));
    EXPECT_FALSE(r.ValueExists("ServerPath"));
    EXPECT_EQ(r.ReadString("ServerPath"), "");
    r.CloseKey();
    EXPECT_FALSE(r.ValueExists("ClientPath"));

    EXPECT_EQ(VelmoraRegistryValue("ClientPath"), "/opt/velmora/client");
    EXPECT_EQ(VelmoraRegistryValue("ProfileType"), "");
    EXPECT_EQ(VelmoraRegistryValue("ServerPath"), std::nullopt);
}

TEST(Registry, MissingFileIsAMissingKey) {
    TempDir dir;
    ScopedEnv reg("VELMORA_REGISTRY", dir.File("absent.ini").c_str());
    TRegistry r;
    EXPECT_FALSE(r.OpenKeyReadOnly(VelmoraRegistryKey));
    EXPECT_EQ(VelmoraRegistryValue("ClientPath"), std::nullopt);
}
