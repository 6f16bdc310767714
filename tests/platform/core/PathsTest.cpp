#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/Paths.h"
#include "tests/support/TempDir.h"

TEST(Paths, Joining) {
    struct Case {
        const char* folder;
        const char* relative;
        const char* expected;
    } cases[] = {
        {"/opt/v", "c_data\\", "/opt/v/c_data/"},
        {"/opt/v/", "MultiLanguage\\CHS\\", "/opt/v/MultiLanguage/CHS/"},
        {"/opt/v\\", "\\Log", "/opt/v/Log"},   // one delimiter between the parts
        {"/opt/v", "", "/opt/v/"},
        {"", "Log\\a.txt", "Log/a.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " + " + c.relative);
        EXPECT_EQ(JoinPath(c.folder, c.relative), c.expected);
    }
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_TRUE(IsAbsolutePath("/opt"));
    EXPECT_FALSE(IsAbsolutePath("opt/x"));
    EXPECT_FALSE(IsAbsolutePath(""));
}

TEST(Paths, TempFolder) {
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp/x");
        EXPECT_EQ(TempFolder(), "/var/tmp/x/");
    }
    {
        ScopedEnv tmp("TMPDIR", "");
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    ScopedEnv tmp("TMPDIR", nullptr);
    EXPECT_EQ(TempFolder(), "/tmp/");
}

TEST(Paths, ExecutableFolderAndLoginName) {
    const std::string folder = ExeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // This test program lives in the folder it reports.
    EXPECT_TRUE(std::filesystem::exists(folder + "core_tests"));
    EXPECT_FALSE(LoginName().empty());
}
