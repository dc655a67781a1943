#pragma once

#include <QString>

namespace ambrel {

class TaskListModel;

// Paints the text of the row at RowNbr (1-based) and of all its cells in RowColor, given as 0x00BBGGRR.
// With no row at that position nothing changes and *error gets the description to show in an OK-only box.
bool ColorListviewRow(TaskListModel &lv, qint64 RowNbr, quint32 RowColor, QString *error = nullptr);

} // namespace ambrel
