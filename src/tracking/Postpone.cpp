#include "Postpone.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace ambrel {

namespace {

// A number in the locale, rounded down.
std::optional<double> wholeNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return std::floor(value);
}

} // namespace

Refusable<std::optional<PostponeMove>> postponeMove(const PostponeRequest &request)
{
    if (request.selectedRow < 0 || request.txtTaskID.isEmpty())
        return std::optional<PostponeMove>();
    // Only a row click writes the position, always as plain digits.
    const std::optional<double> position = wholeNumber(request.txtTaskID, QLocale::c());
    if (!position)
        return std::optional<PostponeMove>();
    const std::optional<double> days = wholeNumber(request.txtDaysToPostPone, request.locale);
    if (!days) {
        return Refusal { QCoreApplication::translate("Postpone",
            "Please enter the number of days to move the project by: a whole number such as 15 to post-pone "
            "it, or -5 to advance it.") };
    }
    if (*position > double(request.taskCount))
        return std::optional<PostponeMove>();
    const int row = *position < 1 ? 0 : int(*position) - 1;
    if (row != request.selectedRow)
        return std::optional<PostponeMove>();
    // Beyond any span of years the move is refused later; the clamp only keeps the number whole.
    return std::optional<PostponeMove>(PostponeMove { row, qint64(std::clamp(*days, -1e15, 1e15)) });
}

} // namespace ambrel
