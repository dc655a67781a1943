#include "TaskListModel.h"

#include "corekit/TextFormat.h"

#include <algorithm>

namespace ambrel {

namespace {
constexpr int kPlainColumns = 4;
constexpr int kProgressColumns = 7;
} // namespace

TaskListModel::TaskListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_dateFormat(shortDateFormat())
{
}

QStringList TaskListModel::columnTitles()
{
    return { QStringLiteral("Task"), QStringLiteral("Start Date"), QStringLiteral("End Date"),
        QStringLiteral("Task Duration") };
}

int TaskListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TaskListModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_progressShown ? kProgressColumns : kPlainColumns;
}

QString TaskListModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const TaskRow &task = m_rows[size_t(row)];
    const QLocale locale;
    switch (column) {
    case TaskColumn:
        return task.text;
    case StartDateColumn:
        return locale.toString(task.startDate, m_dateFormat);
    case EndDateColumn:
        return locale.toString(task.endDate, m_dateFormat);
    case DurationColumn:
        return formatDayCount(task.dayCount, locale);
    case StartsInColumn:
        return task.progress ? locale.toString(task.progress->startsIn) : QString();
    case EndsInColumn:
        return task.progress ? locale.toString(task.progress->endsIn) : QString();
    case StatusColumn:
        return task.progress ? task.progress->status : QString();
    default:
        return {};
    }
}

QVariant TaskListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::ForegroundRole)
        return foreground(index.row());
    return {};
}

QVariant TaskListModel::foreground(int row) const
{
    const std::optional<quint32> color = rowColor(row);
    if (!color)
        return {};
    // This library links QtCore only; QtGui, once loaded by the windows, turns "#rrggbb" into the QColor
    // the views expect. Without it the conversion fails and the row keeps the default colour.
    const quint32 red = *color & 0xFF, green = (*color >> 8) & 0xFF, blue = (*color >> 16) & 0xFF;
    QVariant value(QStringLiteral("#%1").arg((red << 16) | (green << 8) | blue, 6, 16, QLatin1Char('0')));
    if (!value.convert(QMetaType(QMetaType::QColor)))
        return {};
    return value;
}

void TaskListModel::setRowColor(int row, quint32 color)
{
    if (row < 0 || row >= rowCount())
        return;
    m_colors[size_t(row)] = color;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), { Qt::ForegroundRole });
}

std::optional<quint32> TaskListModel::rowColor(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return m_colors[size_t(row)];
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    static const QStringList titles = columnTitles()
        << QStringLiteral("Starts In") << QStringLiteral("Ends In") << QStringLiteral("Status");
    return titles.value(section);
}

void TaskListModel::setRows(std::vector<TaskRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_colors.assign(m_rows.size(), std::nullopt);
    m_dateFormat = shortDateFormat();
    m_progressShown = anyProgress();
    endResetModel();
}

void TaskListModel::clear()
{
    setRows({});
}

void TaskListModel::removeTask(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    m_colors.erase(m_colors.begin() + row);
    endRemoveRows();
    syncProgressColumns();
}

void TaskListModel::updateRows(int first, const std::vector<TaskRow> &rows)
{
    if (first < 0 || rows.empty() || first + qsizetype(rows.size()) > rowCount())
        return;
    std::copy(rows.begin(), rows.end(), m_rows.begin() + first);
    syncProgressColumns();
    emit dataChanged(index(first, 0), index(first + int(rows.size()) - 1, columnCount() - 1));
}

bool TaskListModel::anyProgress() const
{
    return std::any_of(
        m_rows.begin(), m_rows.end(), [](const TaskRow &row) { return row.progress.has_value(); });
}

void TaskListModel::syncProgressColumns()
{
    const bool show = anyProgress();
    if (show == m_progressShown)
        return;
    if (show)
        beginInsertColumns({}, kPlainColumns, kProgressColumns - 1);
    else
        beginRemoveColumns({}, kPlainColumns, kProgressColumns - 1);
    m_progressShown = show;
    if (show)
        endInsertColumns();
    else
        endRemoveColumns();
}

} // namespace ambrel
