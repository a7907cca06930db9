// Time stamps shown as the wall-clock time they encode, for every 32-bit value.
#include "history/TimeStamps.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <limits>

TEST(TimeStampText, KnownStampsIncludingBothExtremes)
{
    EXPECT_EQ(formatTimeStamp(0), "01 Jan 1970 (00:00:00)");
    EXPECT_EQ(formatTimeStamp(-1), "31 Dec 1969 (23:59:59)");
    EXPECT_EQ(formatTimeStamp(1000000000), "09 Sep 2001 (01:46:40)");
    EXPECT_EQ(formatTimeStamp(std::numeric_limits<std::int32_t>::max()), "19 Jan 2038 (03:14:07)");
    EXPECT_EQ(formatTimeStamp(std::numeric_limits<std::int32_t>::min()), "13 Dec 1901 (20:45:52)");
    EXPECT_EQ(formatTimeStamp(951782400), "29 Feb 2000 (00:00:00)");
}

TEST(TimeStampText, DateTimeValueIsDaysSince1899)
{
    EXPECT_DOUBLE_EQ(timeStampToDateTime(0), 25569.0);
    EXPECT_DOUBLE_EQ(timeStampToDateTime(43200), 25569.5);
    EXPECT_NEAR(timeStampToDateTime(std::numeric_limits<std::int32_t>::min()), 713.865, 0.001);
    EXPECT_NEAR(timeStampToDateTime(std::numeric_limits<std::int32_t>::max()), 50424.135, 0.001);
}

TEST(TimeStampText, AgreesWithAnIndependentCalendarAcrossTheWholeRange)
{
    // A prime step visits every time of day and every kind of date; the run
    // ends at the top of the range. The time zone of the test run is set far
    // from UTC, so any local-time conversion would show.
    const QTimeZone utc = QTimeZone::utc();
    std::int64_t stamp = std::numeric_limits<std::int32_t>::min();
    int checked = 0;
    while (stamp <= std::numeric_limits<std::int32_t>::max()) {
        const QDateTime expected = QDateTime::fromSecsSinceEpoch(stamp, utc);
        const QString want = QLocale::c().toString(expected, QStringLiteral("dd MMM yyyy (HH:mm:ss)"));
        ASSERT_EQ(formatTimeStamp(static_cast<std::int32_t>(stamp)), want) << "stamp " << stamp;
        stamp += 21467;
        ++checked;
    }
    EXPECT_GT(checked, 200000);
}

TEST(TimeStampText, TakesTheLocaleMonthNamesAndTimeSeparator)
{
    DateTimeNames names = DateTimeNames::english();
    names.shortMonthNames[8] = QStringLiteral("sept.");
    names.timeSeparator = QStringLiteral(".");
    EXPECT_EQ(formatTimeStamp(1000000000, names), "09 sept. 2001 (01.46.40)");
}
