#include "src/language/LangCommon.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/text/CodePage.h"
#include "tests/src/language/LanguageTestSupport.h"

namespace {

TEST(LangCommon, LinearIndexes) {
    struct Case {
        const char* name;
        unsigned char f, s;
        int big5, gb;
    };
    const Case cases[] = {
        {"first Big5", 0xA1, 0x40, 0, -1},
        {"end of the low Big5 trails", 0xA1, 0x7E, 62, -1},
        {"first high Big5 trail, first GB", 0xA1, 0xA1, 63, 0},
        {"last Big5", 0xFE, 0xFE, 14757, -1},
        {"Big5 lead below 0xA1 goes negative", 0x81, 0x40, -5024, 8178},
        {"GB row 1, second block", 0xB0, 0xA1, 2418, 1410},
        {"GB row 1 wins over row 4", 0xA8, 0xA1, 1162, 658},
        {"GB row 3", 0xAA, 0x40, 1413, 14290},
        {"GB row 4", 0xA8, 0x40, 1099, 22535},
        {"last GB", 0xA9, 0xA0, -1, 22728},
        {"GB 0xAA block with a high trail has no row", 0xAA, 0xA1, 1476, -1},
        {"GB trail 0x80", 0xB0, 0x80, -1, 14936},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Big5LinearIndex(c.f, c.s), c.big5);
        EXPECT_EQ(GBLinearIndex(c.f, c.s), c.gb);
    }
    EXPECT_TRUE(IsBig5DoubleByte(0x80, 0x40));
    EXPECT_FALSE(IsBig5DoubleByte(0xA4, 0x80));
    EXPECT_TRUE(IsGBDoubleByte(0x81, 0x30));
    EXPECT_FALSE(IsGBDoubleByte(0x80, 0x40));
    EXPECT_FALSE(IsGBDoubleByte(0xB0, 0x7F));
}

// A table file with one Big5 and two GB entries (after sections, blanks and a CRLF).
const char* const kSmallTable =
    "[BIG5]\r\n"
    "BIG5A140=$C9E8\r\n"
    "\r\n"
    "   \n"
    "[GB]\n"
    "GBA1A1=$B35D\n"
    "GBA1A2=$0000\n";

TEST(LangCommon, ParsesPositionalTables) {
    const TLanguageTable table = TLanguageTable::Parse(kSmallTable);
    EXPECT_EQ(table.Big5(), (std::vector<uint16_t>{0xC9E8}));
    EXPECT_EQ(table.GB(), (std::vector<uint16_t>{0xB35D, 0x0000}));
    // Positions count over all entries: a GB entry placed first lands in the Big5 table.
    const TLanguageTable swapped = TLanguageTable::Parse("GB1=$0102\nBIG5=$0304\n");
    EXPECT_EQ(swapped.Big5(), (std::vector<uint16_t>{0x0102}));
    EXPECT_EQ(swapped.GB(), (std::vector<uint16_t>{0x0304}));
    // The round trip through the file format keeps both tables.
    const TLanguageTable back = TLanguageTable::Parse(table.ToText());
    EXPECT_EQ(back.Big5(), table.Big5());
    EXPECT_EQ(back.GB(), table.GB());
}

TEST(LangCommon, MalformedTableValuesRaise) {
    for (const char* text : {"GBA1A1=$b35d\n", "GBA1A1=$B35\n", "GBA1A1\n", "GB=$12G4\n"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(TLanguageTable::Parse(text), EConvertError);
    }
}

TEST(LangCommon, GBToBig5ByTableAndBySystem) {
    const TLanguageTable table = TLanguageTable::Parse(kSmallTable);
    struct Case {
        const char* name;
        std::string gb, big5;
    };
    const Case cases[] = {
        {"table code", "\xA1\xA1", "\xB3\x5D"},
        // GB 0xA1A2 is "、": its code 0 sends it through the system code pages.
        {"code 0 takes the system road", "\xA1\xA2", "\xA1\x42"},
        // Index 2 equals the GB count: one past the table.
        {"index one past the table", "\xA1\xA3", Utf8ToCodePage(cpBig5, CodePageToUtf8(cpGB, "\xA1\xA3"))},
        {"euro byte", "A\x80" "B", "A\xA3\xE1" "B"},
        {"ASCII and a lone lead byte at the end", "MB001\xC9", "MB001\xC9"},
        {"0x7F trail is no pair", "\xB0\x7F", "\xB0\x7F"},
        {"simplified-only character becomes ?", "\xC9\xE8", "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(table.GBToBig5(c.gb), c.big5);
    }
}

TEST(LangCommon, Big5ToGBByTableAndBySystem) {
    const TLanguageTable table = TLanguageTable::Parse(kSmallTable);
    struct Case {
        const char* name;
        std::string big5, gb;
    };
    const Case cases[] = {
        {"table code", "\xA1\x40", "\xC9\xE8"},
        // Outside the table the system road keeps the script: 設 is also a GBK character.
        {"outside the table: system", "\xB3\x5D", "\xD4\x4F"},
        {"euro pair", "\xA3\xE1", "\x80"},
        {"single 0x80 is copied", "\x80", "\x80"},
        {"lead below 0xA1 has a negative index", "\x81\x40", Utf8ToCodePage(cpGB, CodePageToUtf8(cpBig5, "\x81\x40"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(table.Big5ToGB(c.big5), c.gb);
    }
}

TEST(LangCommon, EuroByteRoundTrip) {
    const TLanguageTable table;
    EXPECT_EQ(table.Big5ToGB(table.GBToBig5("\x80")), "\x80");
}

TEST(LangCommon, ShippedTableIsTheGeneratedOne) {
    std::ifstream in(VELMORA_SOURCE_DIR "/data/Language", std::ios::binary);
    ASSERT_TRUE(in) << "data/Language is missing";
    const std::string shipped{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const TLanguageTable generated = MakeLanguageTable();
    EXPECT_EQ(shipped, generated.ToText());
    // Spot checks of what the generator wrote: 设 <-> 設, and the full-width comma.
    EXPECT_EQ(generated.GBToBig5("\xC9\xE8\xA3\xAC"), "\xB3\x5D\xA1\x41");
    EXPECT_EQ(generated.Big5ToGB("\xB3\x5D\xA1\x41"), "\xC9\xE8\xA3\xAC");
}

// The process's converter, with the table file found through the registry.
class LanguageTableFile : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadLanguageTable();
        SetLanguageTableMessageHandler([this](const std::string& m) { messages.push_back(m); });
    }
    void TearDown() override {
        SetLanguageTableMessageHandler({});
        UnloadLanguageTable();
    }
    TempDir dir;
    std::vector<std::string> messages;
};

TEST_F(LanguageTableFile, MissingFileReportsEachCallAndUsesTheSystem) {
    RegistryScope registry(dir, {{"ClientPath", dir / "client"}});
    EXPECT_EQ(GBTextToBig5("\x80\xA1\xA2"), "\xA3\xE1\xA1\x42");
    EXPECT_EQ(Big5TextToGB("\xA3\xE1"), "\x80");
    EXPECT_EQ(messages, (std::vector<std::string>{"Can't find file Language !!", "Can't find file Language !!"}));
    // Once the file is there, the next call loads it.
    dir.Write("client/Language", kSmallTable);
    EXPECT_EQ(GBTextToBig5("\xA1\xA1"), "\xB3\x5D");
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(LanguageTableFile, MalformedFileRaisesToTheCaller) {
    RegistryScope registry(dir, {{"ClientPath", dir.Path()}});
    dir.Write("Language", "GBA1A1=$zz00\n");
    EXPECT_THROW(GBTextToBig5("\xA1\xA1"), EConvertError);
    EXPECT_TRUE(messages.empty());
}

TEST_F(LanguageTableFile, Utf8EntryPointsEncodeConvertAndDecode) {
    RegistryScope registry(dir, {{"ClientPath", dir.Path()}});
    dir.Write("Language", MakeLanguageTable().ToText());
    EXPECT_EQ(GBTextToBig5Utf8("设置分录性质-费用调整单 €"), "設置分錄性質-費用調整單 €");
    EXPECT_EQ(Big5TextToGBUtf8("設置分錄性質"), "设置分录性质");
    // Characters without a double-byte form and invalid bytes are kept as they are.
    EXPECT_EQ(GBTextToBig5Utf8("设😀\xFF置"), "設😀\xFF置");
    EXPECT_EQ(Big5TextToGBUtf8("設设"), "设设");
    EXPECT_TRUE(messages.empty());
}

}  // namespace
