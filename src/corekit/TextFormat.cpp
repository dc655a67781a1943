#include "TextFormat.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

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
    QString text = QString::fromLatin1(buffer, result.ec == std::errc() ? result.ptr - buffer : 0);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

namespace {

// Exports write many thousands of dates; a fixed form needs no format parsing.
void appendNumericDate(QString &out, const QDate &date, bool isoOrder)
{
    if (!date.isValid())
        return;
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) {
        out += isoOrder ? date.toString(Qt::ISODate) : date.toString(QStringLiteral("MM/dd/yyyy"));
        return;
    }
    char text[10];
    auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char('0' + value % 10);
    };
    if (isoOrder) {
        put(0, year, 4), text[4] = '-', put(5, month, 2), text[7] = '-', put(8, day, 2);
    } else {
        put(0, month, 2), text[2] = '/', put(3, day, 2), text[5] = '/', put(6, year, 4);
    }
    out += QLatin1StringView(text, 10);
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
