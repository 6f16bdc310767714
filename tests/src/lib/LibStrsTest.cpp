#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/DateTime.h"
#include "src/lib/LibStrs.h"
#include "tests/support/TempDir.h"

namespace {
TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }
}  // namespace

TEST(LibStrs, FieldsAndTokens) {
    struct Case {
        const char* text;
        const char* sep;
        int n;
        const char* field;
    } cases[] = {
        {"a;b;c", ";", 3, "c"}, {"a;b;c", ";", 4, ""},     {"a;b;c", ";", 0, ""},   {"abc", ";", 1, "abc"},
        {"a;;c", ";", 2, ""},   {"a::b::c", "::", 2, "b"}, {"费;用", ";", 2, "用"}, {"a;b", "", 1, "a;b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " field " + std::to_string(c.n));
        EXPECT_EQ(GetField(c.text, c.sep, c.n), c.field);
    }
    EXPECT_EQ(CountFields("12:30:00", ":"), 3);
    EXPECT_EQ(CountFields("", ":"), 0);
    EXPECT_EQ(CountFields("abc", ":"), 1);
    EXPECT_EQ(CountFields("a;;", ";"), 3);

    std::string list = "MB001, MB002 DESC,";
    EXPECT_EQ(CutToken(list, ","), "MB001");
    EXPECT_EQ(list, " MB002 DESC,");
    EXPECT_EQ(CutToken(list, ","), " MB002 DESC");
    EXPECT_EQ(CutToken(list, ","), "");
    EXPECT_EQ(list, "");
    std::string whole = "no separator";
    EXPECT_EQ(CutToken(whole, ","), "no separator");
    EXPECT_EQ(whole, "");
}

TEST(LibStrs, PaddingAndNumbersAsText) {
    EXPECT_EQ(PadLeft("7", 4, '0'), "0007");
    EXPECT_EQ(PadLeft("12345", 4, '0'), "12345");   // never cut
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadRight("费用", 4), "费用  ");          // widths count characters
    EXPECT_EQ(PadLeft("x", -1), "x");
    EXPECT_EQ(FormatIntZero(4, 7), "0007");
    EXPECT_EQ(FormatIntZero(2, -7), "-07");
    EXPECT_EQ(FormatIntZero(2, 12345), "12345");
    EXPECT_EQ(FormatIntZero(0, 0), "");   // "%.0d" of zero prints nothing
}

TEST(LibStrs, ReplaceAll) {
    struct Case {
        const char* text;
        const char* oldText;
        const char* newText;
        bool trim;
        const char* expected;
    } cases[] = {
        {"a-b-c", "-", "+", false, "a+b+c"},
        {"abc", "b", "B", false, "abc"},            // equal without regard to case: untouched
        {"x.y", "x", "xx", false, "xx.y"},          // new contains old: ends after one pass
        {"aaa", "a", "aa", false, "aaaaaa"},
        {"  a b  ", " ", "_", false, "__a_b__"},
        {"  a,b  ", ",", ";", true, "a;b"},
        {"abc", "", "x", false, "abc"},
        {"费用费用", "用", "", false, "费费"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + ": " + c.oldText + " -> " + c.newText);
        EXPECT_EQ(ReplaceAll(c.text, c.oldText, c.newText, c.trim), c.expected);
    }
}

TEST(LibStrs, SmallPredicates) {
    EXPECT_TRUE(IsEmptyOrNull(Variant()));
    EXPECT_TRUE(IsEmptyOrNull(Variant::Null()));
    EXPECT_FALSE(IsEmptyOrNull(Variant("")));
    EXPECT_FALSE(IsEmptyOrNull(Variant(0)));
    EXPECT_EQ(IIf(true, 1, "b").AsInt(), 1);
    EXPECT_EQ(IIf(false, 1, "b").AsString(), "b");
    EXPECT_TRUE(IsLoopback("127.0.0.1"));
    EXPECT_FALSE(IsLoopback(" 127.0.0.1"));
    EXPECT_FALSE(IsLoopback("localhost"));
}

TEST(LibStrs, FormatDateByOrder) {
    struct Case {
        int order;
        const char* sep;
        TDateTime date;
        const char* expected;
    } cases[] = {
        {1, "/", D(2024, 3, 5), "2024/03/05"},
        {2, "/", D(2024, 3, 5), "03/05/2024"},
        {3, "-", D(2024, 3, 5), "05-03-2024"},
        {4, "/", D(2024, 3, 5), "113/03/05"},
        {5, "/", D(2024, 3, 5), "113/03/05"},
        {4, "/", D(2010, 3, 5), "99/03/05"},   // era years: at least 2 digits
        {5, "/", D(2010, 3, 5), "099/03/05"},  // at least 3
        {4, ".", D(1913, 1, 2), "02.01.02"},
        {1, "", D(2024, 3, 5), "20240305"},    // no separator
        {1, "/-", D(2024, 3, 5), "2024/03/05"},   // only the first character counts
        {1, "年", D(2024, 3, 5), "2024年03年05"},
        {9, "/", D(2024, 3, 5), "2024/03/05"},
        {1, "/", TDateTime(0), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("order " + std::to_string(c.order) + " " + c.expected);
        EXPECT_EQ(FormatDateByOrder(c.order, c.sep, c.date), c.expected);
    }
    const TDateTime at(D(2024, 3, 5).Value + EncodeTime(8, 9, 10, 11).Value);
    EXPECT_EQ(FormatDateTimeByOrder(1, "/", at), "2024/03/05 08:09:10:011");
    EXPECT_EQ(FormatDateTimeByOrder(5, "/", at), "113/03/05 08:09:10:011");
    EXPECT_EQ(FormatDateTimeByOrder(2, "/", D(2024, 3, 5)), "03/05/2024 00:00:00:000");
    EXPECT_EQ(FormatDateTimeByOrder(1, "/", TDateTime(0)), "");
}

TEST(LibStrs, ParseDateByOrder) {
    struct Case {
        const char* text;
        int order;
        const char* sep;
        TDateTime expected;
    } cases[] = {
        {"2024/03/05", 1, "/", D(2024, 3, 5)},
        {" 2024 / 3 / 5 ", 1, "/", D(2024, 3, 5)},
        {"03/05/2024", 2, "/", D(2024, 3, 5)},
        {"05/03/2024", 3, "/", D(2024, 3, 5)},
        {"113/02/01", 4, "/", D(2024, 2, 1)},
        {"99/03/05", 4, "/", D(2010, 3, 5)},
        {"099/03/05", 5, "/", D(2010, 3, 5)},
        {"2024/02/30", 1, "/", D(2024, 3, 1)},   // the day rolls over
        {"2023/12/32", 1, "/", D(2024, 1, 1)},
        {"2024/13/01", 1, "/", TDateTime(0)},    // no such month
        {"2024/00/01", 1, "/", TDateTime(0)},
        {"2024/x/01", 1, "/", TDateTime(0)},
        {"2024/03", 1, "/", TDateTime(0)},
        {"2024/03/05", 0, "/", TDateTime(0)},
        {"2024/03/05", 6, "/", TDateTime(0)},
        {"20240305", 1, "", TDateTime(0)},       // without a separator nothing can be cut
        {"   ", 1, "/", TDateTime(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " order " + std::to_string(c.order));
        EXPECT_EQ(ParseDateByOrder(c.text, c.order, c.sep).Value, c.expected.Value);
    }
}

TEST(LibStrs, DateTextToYMD) {
    struct Case {
        const char* text;
        int order;
        const char* sep;
        const char* expected;
    } cases[] = {
        {"3/5/2024", 2, "/", "20240305"},
        {"5/3/2024", 3, "/", "20240305"},
        {"2024/3/5", 1, "/", "20240305"},
        {"113/3/5", 4, "/", "20240305"},
        {"99/3/5", 5, "/", "20100305"},
        {"2024/3/5", 0, "/", "20240305"},   // unknown orders read as order 1
        {"20240305", 1, "", "20240305"},    // fixed positions without a separator
        {" 20240305 ", 1, "", "20240305"},
        {"2024/2/30", 1, "/", "20240230"},  // not checked for a valid date
        {"2024/0/5", 1, "/", "0"},
        {"2024/3", 1, "/", "0"},
        {"2024030", 1, "", "0"},
        {"", 1, "/", "0"},
        {"abc", 1, "/", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " order " + std::to_string(c.order));
        EXPECT_EQ(DateTextToYMD(c.text, c.order, c.sep), c.expected);
    }
}

TEST(LibStrs, StoredDates) {
    struct Case {
        const char* text;
        bool valid;
        TDateTime date;
    } cases[] = {
        {"20240305", true, D(2024, 3, 5)},  {"17530101", true, D(1753, 1, 1)},
        {"99991231", true, D(9999, 12, 31)}, {"17521231", false, D(1752, 12, 31)},   // below the range
        {"20240230", false, TDateTime(0)},  {"20230229", false, TDateTime(0)},
        {"20240229", true, D(2024, 2, 29)}, {"2024030", false, TDateTime(0)},
        {"2024030x", false, TDateTime(0)},  {"00000101", false, TDateTime(0)},
        {"", true, TDateTime(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsValidYMD(c.text), c.valid);
        EXPECT_EQ(YMDToDate(c.text).Value, c.date.Value);
    }
}

TEST(LibStrs, YMDHMSToDateTime) {
    const double time = EncodeTime(13, 45, 30, 250).Value;
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"20240305134530250", D(2024, 3, 5).Value + time},
        {"20240305", D(2024, 3, 5).Value},
        {"00000000134530250", time},   // no date: the time of day alone
        {"20240005134530250", time},
        {"20240230134530250", 0},      // no such day
        {"20240305250000000", 0},      // no such hour
        {"2024030513xx30", D(2024, 3, 5).Value + EncodeTime(13, 0, 30).Value},
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(YMDHMSToDateTime(c.text).Value, c.expected);
    }
}

TEST(LibStrs, Durations) {
    struct Case {
        int64_t seconds;
        const char* text;
    } cases[] = {{3725, "0001:02:05"},   {-3725, "-0001:02:05"},         {0, "0000:00:00"},
                 {59, "0000:00:59"},     {36000000, "10000:00:00"},     {INT64_MIN, "0000:00:00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(SecondsToDuration(c.seconds), c.text);
    }

    struct Sum {
        const char* first;
        const char* second;
        int sign;
        int64_t total;
        const char* text;
    } sums[] = {
        {"001:30:00", "000:45:30", -1, 2670, "0000:44:30"},
        {"001:30:00", "000:45:30", 1, 8130, "0002:15:30"},
        {"0000:00:00", "0001:00:00", -1, -3600, "-0001:00:00"},
        {"0001:02:05", "0000:00:00", 1, 3725, "0001:02:05"},
        {"001:30:00 ", "000:45:30", 1, 0, "000:00:00"},    // a blank is not a digit
        {"01:30:00", "00:45", 1, 0, "000:00:00"},          // too short
        {"0001:30:00:00", "000:45:30", 1, 0, "000:00:00"}, // four fields
        {"0001:30:00", "000:45:30", 2, 0, "000:00:00"},    // bad sign
        {"00000001::", "000:45:30", 1, 0, "000:00:00"},    // an empty field
        {"99999999999:00:00", "000:00:00", 1, 0, "000:00:00"},   // hours overflow
    };
    for (const auto& c : sums) {
        SCOPED_TRACE(std::string(c.first) + " " + c.second);
        const Variant r = AddDurations(c.first, c.second, c.sign);
        ASSERT_EQ(r.Count(), 2);
        EXPECT_EQ(r[0].AsInteger(), c.total);
        EXPECT_EQ(r[1].AsString(), c.text);
    }
}

TEST(LibStrs, Rounding) {
    struct Case {
        int decimals;
        double value;
        double expected;
    } cases[] = {
        {2, 2.675, 2.68}, {2, -2.675, -2.68}, {2, 1.005, 1.01}, {2, 1.004, 1.0},  {0, 2.5, 3},
        {0, -2.5, -3},    {3, 0.0005, 0.001}, {2, 0, 0},        {-1, 12.6, 13},   {4, 1234.56789, 1234.5679},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " to " + std::to_string(c.decimals));
        EXPECT_EQ(RoundTo(c.decimals, c.value), c.expected);
    }
    EXPECT_FALSE(std::signbit(RoundTo(2, -0.001)));   // no "-0"

    EXPECT_EQ(CompareFloat(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CompareFloat(1.0, 1.0 + 1e-11), 0);
    EXPECT_EQ(CompareFloat(1.0, 1.0 + 1e-9), -1);
    EXPECT_EQ(CompareFloat(2.0, 1.0), 1);
}

TEST(LibStrs, ButtonCaptions) {
    EXPECT_EQ(ButtonCaption("Yes"), "是(&Y)");
    EXPECT_EQ(ButtonCaption("NoToAll"), "全否(&o)");
    EXPECT_EQ(ButtonCaption("Help"), "帮助(&H)");
    EXPECT_EQ(ButtonCaption("yes"), "yes");   // names are exact
    EXPECT_EQ(ButtonCaption("Close"), "Close");
}

TEST(LibStrs, PasswordRoundTrip) {
    // Position 1 rotates by one bit: 'a' 0x61 -> 0xB0; position 2 by two: 'b' 0x62 -> 0x98.
    EXPECT_EQ(EncodePasswordText("ab"), "B098");
    for (const std::string& plain : {std::string("sa"), std::string("Secret#2024"), std::string("12345678"),
                                    std::string("密码"), std::string("\x01\xFF", 2)}) {
        SCOPED_TRACE(plain);
        const std::string stored = EncodePasswordText(plain);
        EXPECT_EQ(stored.size(), plain.size() * 2);
        EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(DecodeSQLSa(stored), plain);
    }
    EXPECT_EQ(DecodeSQLSa(EncodePasswordText("")), "");   // the empty-password marker
    EXPECT_EQ(EncodePasswordText("").size(), 2 * std::string("QV_Say_NoPassWord_ThePassWordIsEmpty").size());
    EXPECT_EQ(DecodeSQLSa(""), "");
    EXPECT_EQ(DecodeSQLSa("b098"), "ab");      // lower-case digits read too
    EXPECT_EQ(DecodeSQLSa("B0985"), "ab");     // a final odd digit is ignored
}

TEST(LibStrs, UndecodablePasswordIsReported) {
    TempDir dir;
    ScopedEnv reg("VELMORA_REGISTRY", dir.File("registry.ini").c_str());
    WriteBytes(dir.File("registry.ini"), "[Software\\QVN\\Velmora]\nClientPath=" + dir.Path().string() + "\n");
    FixedClock clock(D(2024, 1, 31));
    EXPECT_EQ(DecodeSQLSa("B0ZZ"), "QV_Say_Password_Error");
    const std::string log = ReadBytes(dir.File("Log/Alert_PravikGenerator_20240131.log"));
    EXPECT_NE(log.find(" on " + EncodePasswordText("DecodeSQLSa") + " "), std::string::npos) << log;
    EXPECT_NE(log.find("Programer Message: 解析 Sa 时发生错误!\r\n"), std::string::npos) << log;
}

TEST(LibStrs, CodePages) {
    const std::string gb = "\xB7\xD1\xD3\xC3";   // 费用 in GB
    EXPECT_EQ(WideToNarrow("费用", 936), gb);
    EXPECT_EQ(NarrowToWide(gb, 936), "费用");
    EXPECT_EQ(NarrowToWide("\xB6\x4F\xA5\xCE", 950), "費用");
    {
        // A code page that cannot be used falls back to the system's.
        ScopedEnv reg("VELMORA_REGISTRY", "/nonexistent/registry.ini");
        ScopedEnv lang("LC_ALL", "zh_CN.UTF-8");
        EXPECT_EQ(WideToNarrow("费用", 99999), gb);
        EXPECT_EQ(NarrowToWide(gb, 99999), "费用");
    }

    Variant nested = Variant::ArrayOf({"费用", 7, Variant::ArrayOf({"用", Variant::Null()})});
    const Variant narrow = VariantWideToNarrow(nested, 936);
    EXPECT_EQ(narrow[0].AsString(), gb);
    EXPECT_EQ(narrow[1].AsInt(), 7);
    EXPECT_EQ(narrow[2][0].AsString(), "\xD3\xC3");
    EXPECT_TRUE(narrow[2][1].IsNull());
    EXPECT_EQ(VariantNarrowToWide(narrow, 936), nested);

    Variant table = Variant::CreateArray({VarBounds{0, 1}, VarBounds{0, 1}});
    table.At(0, 0) = "费用";
    table.At(1, 1) = 3.5;
    const Variant narrowTable = VariantWideToNarrow(table, 936);
    EXPECT_EQ(narrowTable.At(0, 0).AsString(), gb);
    EXPECT_EQ(narrowTable.At(1, 1).AsDouble(), 3.5);
    EXPECT_TRUE(narrowTable.At(0, 1).IsEmpty());

    EXPECT_EQ(VariantWideToNarrow("费用", 936).AsString(), gb);
    EXPECT_TRUE(VariantWideToNarrow(Variant::Null(), 936).IsNull());
    EXPECT_TRUE(VariantNarrowToWide(Variant(), 936).IsEmpty());
}
