#pragma once

#include "export/EventRow.h"

#include <QAbstractTableModel>

#include <vector>

namespace ambrel {

class Project;

// The project's calendar events, in the columns of a Google Calendar import file, task by task.
class EventListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EventListModel)

public:
    // Follows the project's changes; the project must outlive the model.
    explicit EventListModel(const Project *project, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The event at row (0-based), with its cells' values.
    EventRow eventRow(int row) const;

private:
    // Where each task's events begin in the list; recounted per schedule, not per event.
    void recount();
    qsizetype taskOfRow(int row) const;

    const Project *m_project;
    std::vector<qsizetype> m_firstRow; // one per task, then the total
};

} // namespace ambrel
