#include "TaskRow.h"

#include "corekit/TextFormat.h"

namespace ambrel {

QString TaskRow::tag() const
{
    return namePart + QLatin1String(" +") + formatDayCount(dayCount, QLocale::c());
}

} // namespace ambrel
