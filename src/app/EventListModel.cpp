#include "EventListModel.h"

#include "corekit/TextFormat.h"
#include "project/Project.h"

#include <algorithm>

namespace ambrel {

namespace {
QString shortDate(const QDate &date)
{
    return formatShortDate(date);
}
} // namespace

EventListModel::EventListModel(const Project *project, QObject *parent)
    : QAbstractTableModel(parent)
    , m_project(project)
{
    recount();
    connect(project, &Project::aboutToReset, this, &EventListModel::beginResetModel);
    connect(project, &Project::scheduleReset, this, [this] {
        recount();
        endResetModel();
    });
}

void EventListModel::recount()
{
    const std::vector<TaskRow> &tasks = m_project->tasks();
    m_firstRow.resize(tasks.size() + 1);
    qsizetype row = 0;
    for (size_t i = 0; i < tasks.size(); ++i) {
        m_firstRow[i] = row;
        row += qsizetype(tasks[i].events.size());
    }
    m_firstRow.back() = row;
}

qsizetype EventListModel::taskOfRow(int row) const
{
    // The last task whose events begin at or before the row; tasks without events begin where the next does.
    const auto it = std::upper_bound(m_firstRow.begin(), m_firstRow.end() - 1, qsizetype(row));
    return qsizetype(it - m_firstRow.begin()) - 1;
}

int EventListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_firstRow.back());
}

int EventListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : EventRow::ColumnCount;
}

EventRow EventListModel::eventRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const qsizetype task = taskOfRow(row);
    const TaskRow &taskRow = m_project->tasks()[size_t(task)];
    return EventRow::of(m_project->schedule(), taskRow, row - m_firstRow[size_t(task)] + 1);
}

QVariant EventListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return eventRow(index.row()).cell(index.column(), &shortDate);
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles = eventColumnTitles();
    return titles.value(section);
}

} // namespace ambrel
