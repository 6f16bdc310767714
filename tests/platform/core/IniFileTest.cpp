#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/core/Exception.h"
#include "platform/core/IniFile.h"
#include "tests/support/TempDir.h"

namespace {
using Lines = std::vector<std::string>;

const char* const Sample =
    "\xEF\xBB\xBF"   // a byte-order mark some editors put first
    "orphan=before any section\r\n"
    "[Server Information]\r\n"
    "  ComputerName = host1;host2 \r\n"
    "ServerPort=211\r\n"
    "; a comment=not a key\r\n"
    "not a key line\r\n"
    "Url=http://x/?a=b\r\n"
    "computername=second line of the same key\r\n"
    "[broken section\r\n"
    "[CodePage]\n"
    "UICodePage=950\n"
    "Empty=\n"
    "[server information]\n"
    "Late=merged into the first section\n";
}  // namespace

TEST(IniFile, ReadsByProfileRules) {
    TempDir dir;
    WriteBytes(dir.File("a.ini"), Sample);
    TIniFile ini(dir.File("a.ini"));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Server Information", "ComputerName", "host1;host2"},   // trimmed; first line of a key wins
        {"SERVER INFORMATION", "computername", "host1;host2"},   // case does not matter
        {" Server Information ", " ComputerName ", "host1;host2"},
        {"Server Information", "Url", "http://x/?a=b"},          // split at the first '=' only
        {"Server Information", "Late", "merged into the first section"},
        {"Server Information", "; a comment", "<def>"},
        {"Server Information", "not a key line", "<def>"},
        {"Server Information", "orphan", "<def>"},
        {"CodePage", "UICodePage", "950"},
        {"CodePage", "Empty", ""},                               // present but empty: not the default
        {"CodePage", "Missing", "<def>"},
        {"No Such Section", "UICodePage", "<def>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected);
    }
    EXPECT_TRUE(ini.ValueExists("codepage", "EMPTY"));
    EXPECT_FALSE(ini.ValueExists("codepage", "Missing"));
    EXPECT_EQ(ini.ReadSections(), (Lines{"Server Information", "CodePage"}));
    EXPECT_EQ(ini.ReadSection("server information"),
              (Lines{"ComputerName", "ServerPort", "Url", "computername", "Late"}));
    EXPECT_EQ(ini.ReadSectionValues("CodePage"), (Lines{"UICodePage=950", "Empty="}));
    EXPECT_TRUE(ini.ReadSection("No Such Section").empty());
}

TEST(IniFile, IntegersAndBooleans) {
    TempDir dir;
    WriteBytes(dir.File("a.ini"), "[S]\nA=211\nB=-5\nC=+7\nD=12abc\nE=\nF=99999999999\nG=0\nH=yes\n");
    TIniFile ini(dir.File("a.ini"));
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"A", 211}, {"B", -5}, {"C", 7}, {"D", 300}, {"E", 300}, {"F", 300}, {"G", 0}, {"Missing", 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.ReadInteger("S", c.key, 300), c.expected);
    }
    EXPECT_TRUE(ini.ReadBool("S", "A", false));
    EXPECT_FALSE(ini.ReadBool("S", "G", true));
    EXPECT_TRUE(ini.ReadBool("S", "H", true));   // not a number: the default
    EXPECT_FALSE(ini.ReadBool("S", "H", false));
}

TEST(IniFile, MissingFileIsEmpty) {
    TempDir dir;
    TIniFile ini(dir.File("none.ini"));
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString("A", "B", "d"), "d");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));   // reading never creates it
}

TEST(IniFile, WritesRoundTrip) {
    TempDir dir;
    const std::string name = dir.File("w.ini");
    WriteBytes(name, "[One]\nA=1\nB=2\n[Two]\nC=3\n");
    {
        TIniFile ini(name);
        ini.WriteString("one", "b", "二");          // existing key keeps its place and spelling
        ini.WriteString("One", "New", " padded ");  // new key at the end of its section
        ini.WriteInteger("Three", "N", -42);        // new section at the end
        ini.WriteBool("Three", "Flag", true);
        ini.WriteString("Two", "Multi", "a\r\nb");  // a line break cannot survive a line format
        EXPECT_EQ(ini.ReadString("One", "B", ""), "二");
    }
    TIniFile back(name);
    EXPECT_EQ(back.ReadSections(), (Lines{"One", "Two", "Three"}));
    EXPECT_EQ(back.ReadSectionValues("One"), (Lines{"A=1", "B=二", "New=padded"}));
    EXPECT_EQ(back.ReadInteger("Three", "N", 0), -42);
    EXPECT_TRUE(back.ReadBool("Three", "Flag", false));
    EXPECT_EQ(back.ReadString("Two", "Multi", ""), "a  b");

    back.DeleteKey("ONE", "a");
    back.EraseSection("two");
    back.DeleteKey("Nowhere", "A");   // missing: nothing happens
    back.EraseSection("Nowhere");
    TIniFile again(name);
    EXPECT_EQ(again.ReadSections(), (Lines{"One", "Three"}));
    EXPECT_EQ(again.ReadSection("One"), (Lines{"B", "New"}));
}

TEST(IniFile, ReadsGb18030FilesOfOlderTools) {
    TempDir dir;
    // "[费用]\nName=费用调整\nRare=𠀀\nBad=<lone lead byte>\n" encoded as GB18030.
    const std::string bytes =
        "[\xB7\xD1\xD3\xC3]\nName=\xB7\xD1\xD3\xC3\xB5\xF7\xD5\xFB\nRare=\x95\x32\x82\x36\nBad=A\x81";
    WriteBytes(dir.File("gb.ini"), bytes);
    TIniFile ini(dir.File("gb.ini"));
    EXPECT_EQ(ini.ReadSections(), (Lines{"费用"}));
    EXPECT_EQ(ini.ReadString("费用", "Name", ""), "费用调整");
    EXPECT_EQ(ini.ReadString("费用", "Rare", ""), "𠀀");   // four-byte form
    EXPECT_EQ(ini.ReadString("费用", "Bad", ""), "A\uFFFD");   // damage stays local

    ini.WriteString("费用", "Name", "费用");   // written back as UTF-8
    EXPECT_EQ(ReadBytes(dir.File("gb.ini")).find("Name=费用\n") != std::string::npos, true);
}

TEST(IniFile, RewriteReplacesTheFileAtomically) {
    TempDir dir;
    const std::string name = dir.File("atomic.ini");
    WriteBytes(name, "[S]\nA=old\n");
    // A hard link keeps the old file's contents visible: a rewrite in place would
    // change it, a rename of a new file over the name does not.
    std::filesystem::create_hard_link(name, dir.File("old-link.ini"));
    ASSERT_EQ(chmod(name.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(stat(name.c_str(), &before), 0);

    TIniFile ini(name);
    ini.WriteString("S", "A", "new");

    struct stat after {};
    ASSERT_EQ(stat(name.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);   // the permissions stay
    EXPECT_EQ(ReadBytes(dir.File("old-link.ini")), "[S]\nA=old\n");
    EXPECT_EQ(ReadBytes(name), "[S]\nA=new\n");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 2);   // no temporary file left behind
}

TEST(IniFile, FailedWriteRaisesAndKeepsNothingHalfWritten) {
    TempDir dir;
    TIniFile ini(dir.File("no-such-folder/x.ini"));
    EXPECT_THROW(ini.WriteString("S", "A", "1"), EFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-folder")));
}
