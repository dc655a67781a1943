#include "EventListModel.h"

#include "corekit/TextFormat.h"

#include <algorithm>

namespace ambrel {

namespace {
QString shortDate(const QDate &date)
{
    return formatShortDate(date);
}
} // namespace

EventListModel::EventListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int EventListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EventListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : EventRow::ColumnCount;
}

QVariant EventListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return m_rows[size_t(index.row())].cell(index.column(), &shortDate);
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles = eventColumnTitles();
    return titles.value(section);
}

void EventListModel::setRows(std::vector<EventRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void EventListModel::clear()
{
    setRows({});
}

void EventListModel::removeEvents(qsizetype first, qsizetype count)
{
    const qsizetype size = qsizetype(m_rows.size());
    first = std::clamp<qsizetype>(first, 0, size);
    const qsizetype last = std::min(size, first + std::max<qsizetype>(count, 0));
    if (last <= first)
        return;
    beginRemoveRows({}, int(first), int(last - 1));
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + last);
    endRemoveRows();
}

} // namespace ambrel
