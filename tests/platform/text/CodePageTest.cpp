#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Switches the extended Big5 mapping for one test and restores it afterwards.
class ExtendedBig5Scope {
public:
    explicit ExtendedBig5Scope(bool on) : old_(ExtendedBig5Mapping()) { SetExtendedBig5Mapping(on); }
    ~ExtendedBig5Scope() { SetExtendedBig5Mapping(old_); }

private:
    bool old_;
};

struct Case {
    const char* name;
    int codePage;
    std::string bytes;
    std::string utf8;
};

TEST(CodePage, DecodesAndEncodesEachCodePage) {
    const Case cases[] = {
        {"GB simplified", cpGB, "\xC9\xE8\xD6\xC3", "设置"},
        {"GB euro byte", cpGB, "\x80", "€"},
        {"GB18030 four-byte", cpGB, "\x81\x30\x81\x30", "\u0080"},
        {"Big5 traditional", cpBig5, "\xB3\x5D\xB8\x6D", "設置"},
        {"Big5 euro", cpBig5, "\xA3\xE1", "€"},
        {"437 box drawing", cpUS, "\xC9\xCD", "╔═"},
        {"ASCII stays", cpGB, "AJSMB-01", "AJSMB-01"},
        {"UTF-8 is itself", cpUtf8, "é\xFF", "é\xFF"},
        {"empty", cpBig5, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CodePageToUtf8(c.codePage, c.bytes), c.utf8);
        bool usedDefault = true;
        EXPECT_EQ(Utf8ToCodePage(c.codePage, c.utf8, &usedDefault), c.bytes);
        EXPECT_FALSE(usedDefault);
    }
}

TEST(CodePage, InvalidBytesPassThroughBothWays) {
    const Case cases[] = {
        {"lone GB lead byte at the end", cpGB, "A\xC9", "A\xC9"},
        // 0x80 alone is U+0080 in CP950, as in the system's table.
        {"Big5 lead with a bad trail", cpBig5, "\xB0\x80Z", "\xB0\u0080Z"},
        {"0xFF in GB", cpGB, "\xFF\xC9\xE8", "\xFF设"},
        {"cut-off GB18030 four-byte", cpGB, "\x81\x30", "\x81\x30"},
    };
    ExtendedBig5Scope off(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string decoded = CodePageToUtf8(c.codePage, c.bytes);
        EXPECT_EQ(decoded, c.utf8);
        EXPECT_EQ(Utf8ToCodePage(c.codePage, decoded), c.bytes);
    }
}

TEST(CodePage, InvalidUtf8IsCopiedWhenEncoding) {
    EXPECT_EQ(Utf8ToCodePage(cpGB, "\xE8\xAE" "A"), "\xE8\xAE" "A");   // cut-off character
    EXPECT_EQ(Utf8ToCodePage(cpBig5, "x\xC0\xAFy"), "x\xC0\xAFy");    // overlong '/'
}

TEST(CodePage, UnmappableCharacterBecomesQuestionMark) {
    bool usedDefault = false;
    // "设" is Simplified only: Big5 has no form of it.
    EXPECT_EQ(Utf8ToCodePage(cpBig5, "A设B", &usedDefault), "A?B");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(Utf8ToCodePage(cpUS, "设", &usedDefault), "?");
    EXPECT_TRUE(usedDefault);
}

TEST(CodePage, UnknownCodePageRaises) {
    EXPECT_FALSE(IsSupportedCodePage(12345));
    EXPECT_TRUE(IsSupportedCodePage(cpBig5));
    EXPECT_THROW(CodePageToUtf8(12345, "x"), EConvertError);
    EXPECT_THROW(Utf8ToCodePage(12345, "x"), EConvertError);
}

TEST(CodePage, LongTextsGrowTheOutput) {
    std::string gb, utf8;
    for (int i = 0; i < 5000; ++i) {
        gb += "\xC9\xE8";
        utf8 += "设";
    }
    EXPECT_EQ(CodePageToUtf8(cpGB, gb), utf8);
    EXPECT_EQ(Utf8ToCodePage(cpGB, utf8), gb);
}

TEST(CodePage, ExtendedBig5MappingRoundTripsGbPairs) {
    struct Pair {
        const char* name;
        std::string bytes;
        std::string utf8;
    };
    const Pair cases[] = {
        {"0xB0 0x80", "\xB0\x80", "\uA030"},
        {"lowest of the first rule", "\x81\x80", "\uA001"},
        {"highest of the first rule", "\xFE\xA0", "\uC07E"},
        {"0xA3 0xC0", "\xA3\xC0", "\uC101"},
        {"0xA3 0xE0", "\xA3\xE0", "\uC121"},
        {"0xA3 0xFE", "\xA3\xFE", "\uC13F"},
        {"euro sign stays a euro", "\xA3\xE1", "€"},
        {"between valid Big5", "\xB3\x5D\xB0\x80\xB8\x6D", "設\uA030置"},
    };
    ExtendedBig5Scope on(true);
    for (const Pair& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CodePageToUtf8(cpBig5, c.bytes), c.utf8);
        EXPECT_EQ(Utf8ToCodePage(cpBig5, c.utf8), c.bytes);
    }
}

TEST(CodePage, ExtendedBig5MappingOffLeavesTheSystemConversion) {
    ExtendedBig5Scope off(false);
    EXPECT_EQ(CodePageToUtf8(cpBig5, "\xB0\x80"), "\xB0\u0080");
    bool usedDefault = false;
    EXPECT_EQ(Utf8ToCodePage(cpBig5, "\uA030", &usedDefault), "?");
    EXPECT_TRUE(usedDefault);
}

TEST(CodePage, ExtendedBig5MappingOnlyConcernsBig5) {
    ExtendedBig5Scope on(true);
    EXPECT_EQ(CodePageToUtf8(cpGB, "\xA3\xC0"), "＠");   // a real GB character
    EXPECT_NE(Utf8ToCodePage(cpGB, "\uC101"), "\xA3\xC0");
}

}  // namespace
