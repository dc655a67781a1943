#pragma once

#include "corekit/Refusal.h"

#include <QString>

#include <optional>
#include <vector>

namespace ambrel {

// What the task list's actions write into the task text, so that the text stays the whole plan: a move
// becomes a "[wait N]" on the task's line, a removal takes the line out, Mark Done toggles "[done]". Lines
// are numbered from 1 in a text split at line feeds, empty lines counted, as the builder numbers them.

// The text with days added to the wait of the line (a "[wait N]" written, changed, or removed at 0). Refused
// when the line ends in a bracket group that is not a mark (a mark after it would not be read), or when the
// wait would need more than six digits.
Refusable<QString> withWaitAdded(const QString &text, int lineNumber, qint64 days);

// The text without the given lines, line breaks included.
QString withoutLines(const QString &text, std::vector<int> lineNumbers);

// Marks the lines done, or, when every one of them is done already, takes their done marks away. Refused as
// withWaitAdded is, naming the group.
Refusable<QString> withDoneToggled(const QString &text, const std::vector<int> &lineNumbers);

} // namespace ambrel
