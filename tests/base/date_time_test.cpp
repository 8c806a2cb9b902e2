#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include <QLocale>

#include "base/date_time.h"

namespace keelrun {
namespace {

TEST(DateTime, ParsesTheRaceFileFormsAndIso)
{
    const DateTime expected = makeDateTime(2009, 5, 3, 2, 15, 30);
    EXPECT_EQ(parseDateTime("2009/05/03 02:15:30"), expected);
    EXPECT_EQ(parseDateTime("2009/5/3 2:15:30"), expected);
    EXPECT_EQ(parseDateTime("2009-05-03T02:15:30"), expected);
    EXPECT_EQ(parseDateTime("2009-05-03 02:15:30"), expected);
    EXPECT_EQ(parseDateTime("2009/5/3 2:15"), makeDateTime(2009, 5, 3, 2, 15));
    EXPECT_EQ(parseDateTime("2000/1/1"), makeDateTime(2000, 1, 1));
    EXPECT_EQ(parseDateTime("1899/12/30 00:00:00")->days, 0.0);
    EXPECT_EQ(parseDateTime("1970/01/01 00:00:00")->days, 25569.0);
}

TEST(DateTime, KeepsFractionsOfASecond)
{
    const auto t = parseDateTime("2009-05-03T02:15:30.250");
    ASSERT_TRUE(t);
    EXPECT_NEAR((t->days - makeDateTime(2009, 5, 3, 2, 15, 30).days) * 86400, 0.25, 1e-6);
}

TEST(DateTime, RefusesMalformedAndImpossibleDates)
{
    for (const char *text : {"", "0", "2009/13/01 00:00:00", "2009/02/29 00:00:00", "2009/1/1 24:00:00",
                             "2009/1/1 12:60:00", "09/1/1 12:00:00", "2009.1.1", "2009/1/1 12:00:00 junk",
                             "2009/1-1", "2009-05-03T", "abc"}) {
        EXPECT_FALSE(parseDateTime(text)) << text;
    }
    EXPECT_TRUE(parseDateTime("2008/02/29 00:00:00"));
}

TEST(DateTime, SecondsBetweenRoundsHalfUpAndKeepsTheSign)
{
    const DateTime a = makeDateTime(2009, 5, 3, 12, 0, 0);
    EXPECT_EQ(secondsBetween(a, makeDateTime(2009, 5, 3, 12, 10, 0)), 600);
    EXPECT_EQ(secondsBetween(a, makeDateTime(2009, 5, 3, 11, 50, 0)), -600);
    EXPECT_EQ(secondsBetween(a, addSeconds(a, 2.5)), 3);
    EXPECT_EQ(secondsBetween(a, addSeconds(a, -2.5)), -3);
    EXPECT_EQ(secondsBetween(a, addSeconds(a, 0.4)), 0);
    EXPECT_EQ(secondsBetween(a, makeDateTime(2009, 5, 4, 12, 0, 0)), 86400);
    EXPECT_EQ(secondsBetween(DateTime{}, DateTime{1e300}), kNoSecondsBetween);
}

TEST(DateTime, FormatsIsoAndConvertsToQt)
{
    const DateTime t = makeDateTime(2025, 6, 21, 13, 5, 7);
    EXPECT_EQ(isoText(t), "2025-06-21T13:05:07");
    EXPECT_EQ(isoText(wholeDay(t)), "2025-06-21T00:00:00");
    EXPECT_EQ(fromQDateTime(toQDateTime(t)), t);
}

// The tests run in London time: 01:30 on 31 March 2024 does not exist there
// (the clocks went from 01:00 to 02:00), but a race's times know no zone.
TEST(DateTime, TimesInTheMachinesDaylightSavingGapStayAsWritten)
{
    const DateTime gap = makeDateTime(2024, 3, 31, 1, 30, 0);
    EXPECT_EQ(isoText(gap), "2024-03-31T01:30:00");
    EXPECT_EQ(toQDateTime(gap).time(), QTime(1, 30));
    EXPECT_EQ(fromQDateTime(toQDateTime(gap)), gap);
}

TEST(DateTime, ShortDateAndLongTimeWithSecondsAndNoZone)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(dateTimeText(makeDateTime(2024, 3, 31, 1, 30, 5)), "31/03/2024 01:30:05");
    QLocale::setDefault(QLocale::c());
}

TEST(DateTime, TimesOfDayInEveryForm)
{
    EXPECT_EQ(parseTimeOfDay("01:50:20"), 1 * 3600 + 50 * 60 + 20);
    EXPECT_EQ(parseTimeOfDay("23:59:59"), 86399);
    EXPECT_EQ(parseTimeOfDay("1:2:3"), 3723);  // one-digit parts
    for (const char *bad : {"24:00:00", "12:60:00", "12:00:60", "12:3a:00", "12-30-00", "12:30", "12:30:00Z", ""})
        EXPECT_FALSE(parseTimeOfDay(bad)) << bad;
}

// "hh:mm:ss" is read as one word; every such text, and every one with a
// byte changed, must read as the rule says: one or two digits each, colons
// between, nothing else, and a real time of day.
TEST(DateTime, TimesOfDayReadAsTheRuleSays)
{
    const auto byTheRule = [](std::string_view text) -> std::optional<int> {
        int parts[3] = {};
        std::size_t i = 0;
        for (int &part : parts) {
            if (&part != parts && (i >= text.size() || text[i++] != ':'))
                return std::nullopt;
            const std::size_t first = i;
            for (; i < text.size() && i - first < 2 && text[i] >= '0' && text[i] <= '9'; ++i)
                part = part * 10 + (text[i] - '0');
            if (i == first)
                return std::nullopt;
        }
        return i == text.size() ? secondsOfDay(parts[0], parts[1], parts[2]) : std::nullopt;
    };
    char text[9];
    for (int h = 0; h < 100; ++h) {
        for (int m = 0; m < 100; m += 3) {
            for (int second = 0; second < 100; ++second) {
                std::snprintf(text, sizeof text, "%02d:%02d:%02d", h, m, second);
                ASSERT_EQ(parseTimeOfDay(text), byTheRule(text)) << text;
            }
        }
    }
    for (std::size_t at = 0; at < 8; ++at) {
        for (int byte = 0; byte < 256; ++byte) {
            std::string changed = "12:34:56";
            changed[at] = static_cast<char>(byte);
            ASSERT_EQ(parseTimeOfDay(changed), byTheRule(changed)) << at << " " << byte;
        }
    }
}

}  // namespace
}  // namespace keelrun
