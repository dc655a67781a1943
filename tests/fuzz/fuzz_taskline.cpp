// Task lines: any text through the grammar, the number reading, the hints and the line splitting.
#include "FuzzChecks.h"

#include "corekit/Corekit.h"
#include "schedule/LineHints.h"
#include "schedule/TaskLine.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace ambrel;

namespace {

void checkReading(const QString &line)
{
    const TaskLine task = ReadTaskLine(line);
    FUZZ_REQUIRE(task.dayCount != 0 && !std::isnan(task.dayCount));
    // Marks end the line; what stands before them, blanks at its end removed, is read as any line is.
    QString base = task.marksAt < 0 ? line : line.left(task.marksAt);
    if (task.marksAt >= 0) {
        FUZZ_REQUIRE(line.mid(task.marksAt).startsWith(QLatin1Char('[')) && task.unreadGroup.isEmpty());
        while (base.endsWith(QLatin1Char(' ')) || base.endsWith(QLatin1Char('\t')))
            base.chop(1);
    }
    const qsizetype plus = base.indexOf(QLatin1Char('+'));
    FUZZ_REQUIRE(task.namePart == (plus < 0 ? base : base.left(plus)));
    FUZZ_REQUIRE(task.parallelMarker == task.namePart.startsWith(QLatin1String("//")));
}

void checkNumber(const QString &text)
{
    qsizetype used = -1;
    const double number = ReadNumber(text, &used);
    FUZZ_REQUIRE(!std::isnan(number));
    FUZZ_REQUIRE(number == ReadNumber(text));
    FUZZ_REQUIRE(used >= 0 && used <= text.size());
    // The characters the reading took hold the whole number; without them nothing is read.
    if (used == 0)
        FUZZ_REQUIRE(number == 0);
    else
        FUZZ_REQUIRE(ReadNumber(QStringView(text).left(used)) == number);
}

// Lines simple enough that whether they deserve a hint is plain from their form.
void checkHint(const QString &line)
{
    const QString hint = lineHint(line);
    FUZZ_REQUIRE(!hint.contains(QLatin1Char('\n')) && hint.size() < 400);

    static const QRegularExpression whole(QStringLiteral("^[^+]*\\+[ \\t]*[0-9]{1,6}[ \\t]*$"));
    static const QRegularExpression negative(
        QStringLiteral("^[^+]*\\+[ \\t]*-[ \\t]*0*[1-9][0-9]{0,5}[ \\t]*$"));
    static const QRegularExpression fraction(
        QStringLiteral("^[^+]*\\+[ \\t]*[0-9]{0,6}\\.[0-9]{0,5}[1-9][ \\t]*$"));
    static const QRegularExpression unknownWord(
        QStringLiteral("^[^+]*\\+[ \\t]*[0-9]{1,6}[ \\t]*[b-ce-xzB-CE-XZ]+$"));
    // A line ending in a bracket group that is no mark says so, whatever else it holds.
    const bool endsInGroup = line.trimmed().endsWith(QLatin1Char(']'));
    if (!endsInGroup && (!line.contains(QLatin1Char('+')) || whole.match(line).hasMatch()))
        FUZZ_REQUIRE(hint.isEmpty());
    if (negative.match(line).hasMatch() || fraction.match(line).hasMatch()
        || unknownWord.match(line).hasMatch())
        FUZZ_REQUIRE(!hint.isEmpty());
}

void checkSplitting(const QString &text)
{
    const QStringList items = SplitLines(text, QStringLiteral("\r\n"));
    for (const QString &item : items)
        FUZZ_REQUIRE(!item.isEmpty() && !item.contains(QLatin1String("\r\n")));
    FUZZ_REQUIRE(items.join(QString()) == QString(text).remove(QLatin1String("\r\n")));

    int lastLine = 0;
    for (const LineHint &hint : taskTextHints(text)) {
        FUZZ_REQUIRE(hint.lineNumber > lastLine && !hint.text.isEmpty());
        lastLine = hint.lineNumber;
        QString line = text.section(QLatin1Char('\n'), hint.lineNumber - 1, hint.lineNumber - 1);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        FUZZ_REQUIRE(hint.text == lineHint(line));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pinLocaleOnce();

    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkSplitting(text);
    checkNumber(text);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        checkReading(line);
        checkNumber(DurationText(line));
        checkHint(line);
    }
    return 0;
}
