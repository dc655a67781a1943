#pragma once

#include "corekit/Refusal.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace ambrel {

// What "Post-Pone" reads from the window.
struct PostponeRequest {
    int selectedRow = -1; // the 0-based row selected in the task list, or -1 when none is
    QString txtTaskID; // 1-based position of the row last clicked; empty until a row is clicked
    QString txtDaysToPostPone;
    qsizetype taskCount = 0; // the rows the task list holds
    QLocale locale; // how the days box is read, decimal separator included
};

// The move "Post-Pone" asks for: the task at row (0-based) and every task after it, by whole days
// (negative advances).
struct PostponeMove {
    int row = 0;
    qint64 days = 0;
};

// What pressing "Post-Pone" asks for: nothing without a selected row, before a row was clicked, or when the
// clicked row is not the selected one or no longer there; the days are those typed, rounded down. A days
// box that holds no number is refused.
Refusable<std::optional<PostponeMove>> postponeMove(const PostponeRequest &request);

} // namespace ambrel
