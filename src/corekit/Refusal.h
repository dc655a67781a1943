#pragma once

#include <QString>

namespace ambrel {

// Why an action did not run, in the words the person reads. Every refusal of the logic has this one shape;
// the action it refuses changes nothing, and the face that shows it chooses the title.
struct Refusal {
    QString text;
};

} // namespace ambrel
