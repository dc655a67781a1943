#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace ambrel {

// How dates and day counts are written as text. Every cell that shows a date, and every place that
// reads one back, goes through these so the two always agree.

// The locale's short date form, always with a four-digit year: "6/3/24" could be any century.
QString shortDateFormat(const QLocale &locale = QLocale());
QString formatShortDate(const QDate &date, const QLocale &locale = QLocale());
QDate parseShortDate(const QString &text, const QLocale &locale = QLocale());

// A day count as a plain decimal number (10, 2.5) with the locale's decimal separator and no grouping.
QString formatDayCount(double dayCount, const QLocale &locale = QLocale());

// Whether the date lies in the years 1 to 9999, the dates these forms can write.
bool isWithinYears(const QDate &date);

// YYYY-MM-DD, for the command line.
QString formatIsoDate(const QDate &date);
// The same appended to text, for writers of many rows that keep one line buffer.
void appendIsoDate(QString &text, const QDate &date);
// The same appended to UTF-8 text, for writers of many rows that write bytes.
void appendIsoDate(QByteArray &text, const QDate &date);
// The day count as formatDayCount writes it in the C locale, appended to UTF-8 text.
void appendDayCount(QByteArray &text, double dayCount);
// MM/DD/YYYY, zero-padded: the form Google Calendar's import reads whatever the desktop's locale.
QString formatExportDate(const QDate &date);

} // namespace ambrel
