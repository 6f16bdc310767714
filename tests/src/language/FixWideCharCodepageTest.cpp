#include "src/language/FixWideCharCodepage.h"

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "tests/src/language/LanguageTestSupport.h"

namespace {

TEST(FixWideCharCodepage, SwitchedByCodePageAndRegistry) {
    struct Case {
        const char* name;
        int systemCodePage;
        std::map<std::string, std::string> registry;
        bool on;
    };
    const Case cases[] = {
        {"950, no key", 950, {}, true},
        {"950, no value", 950, {{"ClientPath", "/x"}}, true},
        {"950, UseKBIG5 = 1", 950, {{"UseKBIG5", "1"}}, true},
        {"950, UseKBIG5 = 0", 950, {{"UseKBIG5", "0"}}, false},
        {"950, UseKBIG5 = 00 is not exactly 0", 950, {{"UseKBIG5", "00"}}, true},
        {"936", 936, {}, false},
        {"437", 437, {{"UseKBIG5", "1"}}, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryScope registry(dir, c.registry);
        EXPECT_EQ(SwitchWideCharFixOn(c.systemCodePage), c.on);
        EXPECT_EQ(ExtendedBig5Mapping(), c.on);
        // With the mapping, the GB pair 0xB0 0x80 survives code page 950 as U+A030.
        EXPECT_EQ(CodePageToUtf8(cpBig5, "\xB0\x80") == "\uA030", c.on);
        EXPECT_EQ(Utf8ToCodePage(cpBig5, "\uA030") == "\xB0\x80", c.on);
        SwitchWideCharFixOff();
        EXPECT_FALSE(ExtendedBig5Mapping());
    }
}

}  // namespace
