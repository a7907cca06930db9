// Time stamps of history records: signed 32-bit seconds since
// 1970-01-01 00:00:00, shown as the wall-clock time they encode. No time-zone
// or daylight-saving shift is ever applied.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Days since 1899-12-30, time of day as the fraction.
double timeStampToDateTime(std::int32_t stamp);

struct DateTimeNames {
    QStringList shortMonthNames;  // twelve names, January first
    QString timeSeparator;

    static DateTimeNames english();
};

// "dd mmm yyyy (hh:nn:ss)" for a date-time value: the value is rounded to
// the nearest millisecond, milliseconds are not shown.
QString formatDateTime(double value, const DateTimeNames& names = DateTimeNames::english());

// Appends FormatDateTime(value) to out.
void appendDateTime(QString& out, double value, const DateTimeNames& names = DateTimeNames::english());

// The display text of a time stamp: FormatDateTime(TimeStampToDateTime(stamp)).
QString formatTimeStamp(std::int32_t stamp, const DateTimeNames& names = DateTimeNames::english());
