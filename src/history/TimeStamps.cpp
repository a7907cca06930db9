#include "history/TimeStamps.h"

#include <cmath>

double timeStampToDateTime(std::int32_t stamp)
{
    // Extended precision for the intermediate steps: the result is within far
    // less than half a millisecond of stamp / 86400 + 25569 for every input,
    // so the seconds shown are always the stamp's own.
    const long double oneDay = 1.0L / 86400.0L;
    const long double shifted = static_cast<long double>(stamp) + 2209032000.0L;
    return static_cast<double>(shifted * oneDay + 1.5L);
}

DateTimeNames DateTimeNames::english()
{
    return {{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
             QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
             QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")},
            QStringLiteral(":")};
}

namespace {

struct CivilDate {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// Proleptic Gregorian date of a day count relative to 1970-01-01
// (Howard Hinnant's days-to-civil algorithm).
CivilDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

// Appends n with at least `digits` digits (leading zeros); n >= 0.
void appendNumber(QString& out, std::int64_t n, int digits)
{
    char16_t buffer[24];
    int at = 24;
    do {
        buffer[--at] = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n > 0 || 24 - at < digits);
    out.append(reinterpret_cast<const QChar*>(buffer + at), 24 - at);
}

}  // namespace

QString formatDateTime(double value, const DateTimeNames& names)
{
    QString out;
    appendDateTime(out, value, names);
    return out;
}

void appendDateTime(QString& out, double value, const DateTimeNames& names)
{
    constexpr std::int64_t msPerDay = 86400000;
    const auto ms = static_cast<std::int64_t>(std::llround(value * static_cast<double>(msPerDay)));
    std::int64_t days = ms / msPerDay;
    std::int64_t rest = ms % msPerDay;
    if (rest < 0) {
        rest += msPerDay;
        --days;
    }
    const CivilDate date = civilFromDays(days - 25569);
    const std::int64_t seconds = rest / 1000;
    const QString month = date.month - 1 < names.shortMonthNames.size() ? names.shortMonthNames.at(date.month - 1)
                                                                         : QString::number(date.month);
    const QString& sep = names.timeSeparator;
    // Built in the caller's buffer: the list formats one or two of these per creature.
    out.reserve(out.size() + 20 + month.size() + 2 * sep.size());
    appendNumber(out, date.day, 2);
    out += QLatin1Char(' ');
    out += month;
    out += QLatin1Char(' ');
    if (date.year < 0)
        out += QLatin1Char('-');
    appendNumber(out, date.year < 0 ? -date.year : date.year, 4);
    out += QLatin1String(" (");
    appendNumber(out, seconds / 3600, 2);
    out += sep;
    appendNumber(out, seconds / 60 % 60, 2);
    out += sep;
    appendNumber(out, seconds % 60, 2);
    out += QLatin1Char(')');
}

QString formatTimeStamp(std::int32_t stamp, const DateTimeNames& names)
{
    return formatDateTime(timeStampToDateTime(stamp), names);
}
