// Time stamps shown as the wall-clock time they encode, for every 32-bit value.
#include "history/unitConvertDateTime.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <limits>

TEST(TimeStampText, KnownStampsIncludingBothExtremes)
{
    EXPECT_EQ(FormatTimeStamp(0), "01 Jan 1970 (00:00:00)");
    EXPECT_EQ(FormatTimeStamp(-1), "31 Dec 1969 (23:59:59)");
    EXPECT_EQ(FormatTimeStamp(1000000000), "09 Sep 2001 (01:46:40)");
    EXPECT_EQ(FormatTimeStamp(std::numeric_limits<std::int32_t>::max()), "19 Jan 2038 (03:14:07)");
    EXPECT_EQ(FormatTimeStamp(std::numeric_limits<std::int32_t>::min()), "13 Dec 1901 (20:45:52)");
    EXPECT_EQ(FormatTimeStamp(951782400), "29 Feb 2000 (00:00:00)");
}

TEST(TimeStampText, DateTimeValueIsDaysSince1899)
{
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(0), 25569.0);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(43200), 25569.5);
    EXPECT_NEAR(TimeStampToDateTime(std::numeric_limits<std::int32_t>::min()), 713.865, 0.001);
    EXPECT_NEAR(TimeStampToDateTime(std::numeric_limits<std::int32_t>::max()), 50424.135, 0.001);
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
        ASSERT_EQ(FormatTimeStamp(static_cast<std::int32_t>(stamp)), want) << "stamp " << stamp;
        stamp += 21467;
        ++checked;
    }
    EXPECT_GT(checked, 200000);
}

TEST(TimeStampText, TakesTheLocaleMonthNamesAndTimeSeparator)
{
    TDateTimeNames names = TDateTimeNames::English();
    names.ShortMonthNames[8] = QStringLiteral("sept.");
    names.TimeSeparator = QStringLiteral(".");
    EXPECT_EQ(FormatTimeStamp(1000000000, names), "09 sept. 2001 (01.46.40)");
}
