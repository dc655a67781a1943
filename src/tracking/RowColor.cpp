#include "RowColor.h"

#include "schedule/TaskListModel.h"

namespace ambrel {

bool ColorListviewRow(TaskListModel &lv, qint64 RowNbr, quint32 RowColor, QString *error)
{
    if (RowNbr < 1 || RowNbr > lv.rowCount()) {
        if (error)
            *error = QStringLiteral("Index out of bounds");
        return false;
    }
    lv.setRowColor(int(RowNbr - 1), RowColor);
    return true;
}

} // namespace ambrel
