#include "base/date_time.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

constexpr double kSecond = 1.0 / 86400.0;

DateTime At(double value) { return {value, DateTimeStatus::valid}; }

TEST(DateTimeFormat, PatternsOfTheModule) {
    const DateTime t = FromCalendar(2021, 3, 7, 9, 5, 0);
    EXPECT_EQ(FormatTime(t, "%Y-%m-%d %H%M"), "2021-03-07 0905");
    EXPECT_EQ(FormatTime(t, "%H%M"), "0905");
    EXPECT_EQ(FormatTime(t, "%H:%M"), "09:05");
    EXPECT_EQ(FormatTime(t, "%d.%m"), "07.03");
    EXPECT_EQ(FormatTime(t, "%d.%m.%Y"), "07.03.2021");
    EXPECT_EQ(FormatTime(t, "%Y"), "2021");
    EXPECT_EQ(FormatTime(t, "%d_%m_%Y"), "07_03_2021");
    EXPECT_EQ(FormatTime(t, "100%% at %S s"), "100% at 00 s");
}

TEST(DateTimeFormat, RoundsToTheNearestSecondNotDown) {
    // A time built from calendar fields is rarely exact: 12:01:00 may be stored a hair below.
    const double noon1 = FromCalendar(2021, 3, 7, 12, 1, 0).value;
    EXPECT_EQ(FormatTime(At(noon1 - 1e-9), "%H%M"), "1201");
    EXPECT_EQ(FormatTime(At(noon1 - 0.4 * kSecond), "%H%M%S"), "120100");
    EXPECT_EQ(FormatTime(At(noon1 - 0.6 * kSecond), "%H%M%S"), "120059");
    EXPECT_EQ(FormatTime(At(noon1 + 0.4 * kSecond), "%H%M%S"), "120100");
}

TEST(DateTimeFormat, RoundingAcrossMidnightMovesToTheNextDay) {
    const double end = FromCalendar(2021, 12, 31, 23, 59, 59).value + 0.7 * kSecond;
    EXPECT_EQ(FormatTime(At(end), "%Y-%m-%d %H%M%S"), "2022-01-01 000000");
}

TEST(DateTimeFormat, EpochAndTheEarly1900s) {
    EXPECT_EQ(FormatTime(At(0.0), "%Y-%m-%d %H:%M"), "1899-12-30 00:00");
    EXPECT_EQ(FormatTime(At(2.0), "%Y-%m-%d"), "1900-01-01");
    EXPECT_EQ(FormatTime(At(60.0), "%Y-%m-%d"), "1900-02-28");  // 1900 was no leap year
    EXPECT_EQ(FormatTime(At(61.0), "%Y-%m-%d"), "1900-03-01");
    EXPECT_EQ(FormatTime(FromCalendar(2024, 2, 29, 23, 0, 0), "%d.%m.%Y %H%M"), "29.02.2024 2300");
}

TEST(DateTimeFormat, BeforeTheEpochDaysCountBackButTheFractionIsTheTimeOfDay) {
    EXPECT_EQ(FormatTime(At(-1.25), "%Y-%m-%d %H:%M"), "1899-12-29 06:00");
    EXPECT_EQ(FormatTime(At(-1.0), "%Y-%m-%d %H:%M"), "1899-12-29 00:00");
    EXPECT_EQ(FormatTime(At(-0.5), "%Y-%m-%d %H:%M"), "1899-12-30 12:00");
    EXPECT_EQ(FormatTime(FromCalendar(1850, 6, 1, 18, 30, 0), "%Y-%m-%d %H:%M"), "1850-06-01 18:30");
}

TEST(DateTimeFormat, NullIsEmptyAndInvalidIsSaidSo) {
    EXPECT_EQ(FormatTime(DateTime::Null(), "%Y-%m-%d %H%M"), "");
    EXPECT_EQ(FormatTime({44000.0, DateTimeStatus::invalid}, "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(At(std::nan("")), "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(At(std::numeric_limits<double>::infinity()), "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(At(-std::numeric_limits<double>::infinity()), "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(At(1e300), "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(At(-1e300), "%Y"), "Invalid DateTime");
}

TEST(DateTimeFormat, RangeIsTheYears100To9999) {
    EXPECT_EQ(FormatTime(FromCalendar(100, 1, 1, 12, 0, 0), "%Y-%m-%d %H"), "0100-01-01 12");
    EXPECT_EQ(FormatTime(FromCalendar(9999, 12, 31, 23, 59, 59), "%Y-%m-%d %H%M"), "9999-12-31 2359");
    EXPECT_EQ(FormatTime(FromCalendar(99, 12, 31, 12, 0, 0), "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatTime(FromCalendar(10000, 1, 1), "%Y"), "Invalid DateTime");
    const double last = FromCalendar(9999, 12, 31, 23, 59, 59).value + 0.7 * kSecond;
    EXPECT_EQ(FormatTime(At(last), "%Y"), "Invalid DateTime");
}

TEST(DateTimeEquality, StatusAndExactValue) {
    const DateTime a = FromCalendar(2021, 3, 7, 12, 0, 0);
    EXPECT_TRUE(SameTime(a, a));
    EXPECT_FALSE(SameTime(a, At(a.value + kSecond)));
    EXPECT_TRUE(SameTime(DateTime::Null(), {123.0, DateTimeStatus::null}));
    EXPECT_FALSE(SameTime({1.0, DateTimeStatus::invalid}, {1.0, DateTimeStatus::invalid}));
    EXPECT_FALSE(SameTime(a, {a.value, DateTimeStatus::invalid}));
}

}  // namespace
