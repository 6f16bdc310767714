#include <gtest/gtest.h>

#include "platform/core/DateTime.h"

TEST(DateTime, EncodeDecodeRoundTrip) {
    struct Case {
        int y, m, d;
        double serial;
    } cases[] = {{1899, 12, 30, 0}, {1900, 1, 1, 2}, {1753, 1, 1, -53688}, {2000, 2, 29, 36585}, {9999, 12, 31, 2958465}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_DOUBLE_EQ(EncodeDate(c.y, c.m, c.d).Value, c.serial);
        int y, m, d;
        DecodeDate(TDateTime(c.serial), y, m, d);
        EXPECT_EQ(std::tie(y, m, d), std::tie(c.y, c.m, c.d));
    }
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 11)), 6);   // a Friday
}

TEST(DateTime, TextForms) {
    TDateTime dt;
    ASSERT_TRUE(TextToDateTime("2026/12/11 08:30", dt));
    EXPECT_EQ(DateTimeToText(dt), "2026-12-11 08:30:00");
    ASSERT_TRUE(TextToDateTime("23:59:59", dt));
    int h, n, s, ms;
    DecodeTime(dt, h, n, s, ms);
    EXPECT_EQ(h * 10000 + n * 100 + s, 235959);
    for (const char* bad : {"", "2026-13-01", "2026-12-11x", "25:00", "2026-12"}) EXPECT_FALSE(TextToDateTime(bad, dt)) << bad;
}

TEST(DateTime, ClockSeamCanBeFixed) {
    const TDateTime at(EncodeDate(2026, 12, 11).Value + 0.5);
    {
        FixedClock fixed(at);
        EXPECT_EQ(Now(), at);
        EXPECT_EQ(Today(), EncodeDate(2026, 12, 11));
    }
    EXPECT_NE(Now(), at);
}
