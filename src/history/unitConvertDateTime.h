// Time stamps of history records: signed 32-bit seconds since
// 1970-01-01 00:00:00, shown as the wall-clock time they encode. No time-zone
// or daylight-saving shift is ever applied.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Days since 1899-12-30, time of day as the fraction.
double TimeStampToDateTime(std::int32_t stamp);

struct TDateTimeNames {
    QStringList ShortMonthNames;  // twelve names, January first
    QString TimeSeparator;

    static TDateTimeNames English();
};

// "dd mmm yyyy (hh:nn:ss)" for a date-time value: the value is rounded to
// the nearest millisecond, milliseconds are not shown.
QString FormatDateTime(double value, const TDateTimeNames& names = TDateTimeNames::English());

// Appends FormatDateTime(value) to out.
void AppendDateTime(QString& out, double value, const TDateTimeNames& names = TDateTimeNames::English());

// The display text of a time stamp: FormatDateTime(TimeStampToDateTime(stamp)).
QString FormatTimeStamp(std::int32_t stamp, const TDateTimeNames& names = TDateTimeNames::English());
