#pragma once

#include <QString>
#include <QTime>

#include <optional>

namespace ambrel {

// Reads an hour text as people write it and the hour choices offer it: "09:00 AM", "9 AM", "9:30pm",
// "17:00" or "17:00:00". AM and PM may be in any case, with or without a blank before them; 12 AM is
// midnight and 12 PM noon. Blanks around the text are allowed. Anything else, such as "half eight",
// "25:00", "13 PM", "9:60", a bare "9" or an empty text, gives nothing.
std::optional<QTime> readTimeOfDay(const QString &text);

} // namespace ambrel
