#include "TextFormat.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstring>

namespace ambrel {

QString shortDateFormat(const QLocale &locale)
{
    // A build asks for every task it lays out; the form is worked out again only for another locale.
    thread_local QLocale formLocale;
    thread_local QString form;
    if (form.isNull() || !(locale == formLocale)) {
        QString format = locale.dateFormat(QLocale::ShortFormat);
        static const QRegularExpression years(QStringLiteral("y+"));
        format.replace(years, QStringLiteral("yyyy"));
        formLocale = locale;
        form = format;
    }
    return form;
}

QString formatShortDate(const QDate &date, const QLocale &locale)
{
    return locale.toString(date, shortDateFormat(locale));
}

QDate parseShortDate(const QString &text, const QLocale &locale)
{
    return locale.toDate(text.trimmed(), shortDateFormat(locale));
}

QString formatDayCount(double dayCount, const QLocale &locale)
{
    if (!std::isfinite(dayCount))
        return QString::number(dayCount);
    // Shortest text that reads back as the same number, never in exponent form.
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, dayCount, std::chars_format::fixed);
    const qsizetype length = result.ec == std::errc() ? result.ptr - buffer : 0;
    QString text = QString::fromLatin1(buffer, length);
    // Most counts are whole and have no point to write in the locale's form.
    if (std::memchr(buffer, '.', size_t(length)))
        text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

namespace {

// Appends without the general insertion QByteArray::append goes through, which a row of many short
// pieces would pay for each.
void appendBytes(QByteArray &text, const char *bytes, qsizetype length)
{
    const qsizetype at = text.size();
    text.resize(at + length);
    std::memcpy(text.data() + at, bytes, size_t(length));
}

} // namespace

void appendDayCount(QByteArray &text, double dayCount)
{
    if (!std::isfinite(dayCount)) {
        text += formatDayCount(dayCount, QLocale::c()).toLatin1();
        return;
    }
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, dayCount, std::chars_format::fixed);
    appendBytes(text, buffer, result.ec == std::errc() ? result.ptr - buffer : 0);
}

namespace {

// The date in the years 1 to 9999 as ten characters, YYYY-MM-DD or MM/DD/YYYY; false for any other
// date. Worked out from the Julian day after Howard Hinnant's civil-date algorithm, which costs a row
// far less than asking the calendar.
bool numericDate(const QDate &date, bool isoOrder, char (&text)[10])
{
    static const qint64 first = QDate(1, 1, 1).toJulianDay();
    static const qint64 last = QDate(9999, 12, 31).toJulianDay();
    const qint64 julianDay = date.toJulianDay();
    if (!date.isValid() || julianDay < first || julianDay > last)
        return false;
    // Days since 0000-03-01, in 400-year eras; every date here lies in era 0 to 24, so that unsigned
    // 32-bit sums hold every step.
    const auto shifted = quint32(julianDay - 1721120);
    const quint32 era = shifted / 146097;
    const quint32 dayOfEra = shifted - era * 146097;
    const quint32 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const quint32 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const quint32 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const quint32 day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const quint32 month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const quint32 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    auto put = [&text](int at, quint32 value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char('0' + value % 10);
    };
    if (isoOrder) {
        put(0, year, 4), text[4] = '-', put(5, month, 2), text[7] = '-', put(8, day, 2);
    } else {
        put(0, month, 2), text[2] = '/', put(3, day, 2), text[5] = '/', put(6, year, 4);
    }
    return true;
}

// A date beyond the years 1 to 9999 has no four-digit year; Qt writes it.
QString widerDate(const QDate &date, bool isoOrder)
{
    if (!date.isValid())
        return {};
    return isoOrder ? date.toString(Qt::ISODate) : date.toString(QStringLiteral("MM/dd/yyyy"));
}

// Exports write many thousands of dates; a fixed form needs no format parsing.
void appendNumericDate(QString &out, const QDate &date, bool isoOrder)
{
    char text[10];
    if (numericDate(date, isoOrder, text))
        out += QLatin1StringView(text, 10);
    else
        out += widerDate(date, isoOrder);
}

QString numericDate(const QDate &date, bool isoOrder)
{
    QString text;
    appendNumericDate(text, date, isoOrder);
    return text;
}

} // namespace

QString formatIsoDate(const QDate &date)
{
    return numericDate(date, true);
}

void appendIsoDate(QString &text, const QDate &date)
{
    appendNumericDate(text, date, true);
}

void appendIsoDate(QByteArray &text, const QDate &date)
{
    char digits[10];
    if (numericDate(date, true, digits))
        appendBytes(text, digits, 10);
    else
        text += widerDate(date, true).toUtf8();
}

QString formatExportDate(const QDate &date)
{
    return numericDate(date, false);
}

bool isWithinYears(const QDate &date)
{
    // Julian days compare without working out the year, which a long plan asks for twice a task.
    static const qint64 first = QDate(1, 1, 1).toJulianDay();
    static const qint64 last = QDate(9999, 12, 31).toJulianDay();
    const qint64 day = date.toJulianDay();
    return date.isValid() && day >= first && day <= last;
}

} // namespace ambrel
