#pragma once

#include "export/EventRow.h"

#include <QAbstractTableModel>

#include <vector>

namespace ambrel {

// The calendar events of the schedule, in the columns of a Google Calendar import file.
class EventListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EventListModel)

public:
    explicit EventListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::vector<EventRow> &rows() const { return m_rows; }
    void setRows(std::vector<EventRow> rows);
    void clear();
    // Removes count events from first on; ranges outside the list are clipped.
    void removeEvents(qsizetype first, qsizetype count);

private:
    std::vector<EventRow> m_rows;
};

} // namespace ambrel
