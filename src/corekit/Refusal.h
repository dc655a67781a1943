#pragma once

#include <QString>

namespace ambrel {

// Why an action did not run, as the person is told it: a message box's text and title. Every refusal of
// the logic has this one shape; the action it refuses changes nothing.
struct Refusal {
    QString text;
    QString title;
};

// The title of the messages that ask the person to mend their input.
inline const QString &ooopsTitle()
{
    static const QString title = QStringLiteral("Ooops!");
    return title;
}

} // namespace ambrel
