#include "TaskListModel.h"

#include "corekit/TextFormat.h"
#include "project/Project.h"
#include "schedule/LineHints.h"
#include "timeline/TimelinePalette.h"

#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QStyle>

#include <algorithm>

namespace ambrel {

namespace {
constexpr int kPlainColumns = 4;
constexpr int kProgressColumns = 7;
} // namespace

TaskListModel::TaskListModel(const Project *project, QObject *parent)
    : QAbstractTableModel(parent)
    , m_project(project)
    , m_colors(project->tasks().size())
    , m_dateFormat(shortDateFormat())
{
    m_progressShown = anyProgress();
    connect(project, &Project::aboutToReset, this, &TaskListModel::onAboutToReset);
    connect(project, &Project::scheduleReset, this, &TaskListModel::onReset);
}

const std::vector<TaskRow> &TaskListModel::rows() const
{
    return m_project->tasks();
}

QStringList TaskListModel::columnTitles()
{
    QStringList titles = taskColumnTitles();
    for (QString &title : titles)
        title = tr(title.toUtf8().constData());
    return titles;
}

int TaskListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows().size());
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
    const TaskRow &task = rows()[size_t(row)];
    const QLocale locale;
    switch (column) {
    case TaskColumn:
        return task.listText(m_project->schedule().projectName);
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
        return task.progress ? tr(task.progress->status.toUtf8().constData()) : QString();
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
    // A swatch in the timeline's colour beside the status text, which says the same to a reader without colour;
    // the tooltip gives the whole text where a narrow column cuts it short.
    if ((role == Qt::DecorationRole || role == Qt::ToolTipRole) && index.column() == StatusColumn) {
        const std::optional<TaskProgress> &progress = rows()[size_t(index.row())].progress;
        if (!progress)
            return {};
        return role == Qt::ToolTipRole ? QVariant(progress->status)
                                       : QVariant(TimelinePalette::statusColor(progress->status));
    }
    if (index.column() == TaskColumn && (role == Qt::ToolTipRole || role == Qt::DecorationRole)) {
        const QString hint = shownHint(rows()[size_t(index.row())], m_project->schedule().waitForParallel,
            [](const QDate &date) { return formatShortDate(date); });
        if (role == Qt::ToolTipRole)
            return hint.isEmpty() ? QVariant() : QVariant(hint);
        auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
        if (!app || !m_anyHint)
            return {};
        // A small warning mark before the text; the other rows keep the same space, so the names line up.
        static const QIcon warning = app->style()->standardIcon(QStyle::SP_MessageBoxWarning);
        static const QIcon blank = [] {
            QPixmap empty(16, 16);
            empty.fill(Qt::transparent);
            return QIcon(empty);
        }();
        return hint.isEmpty() ? blank : warning;
    }
    return {};
}

QVariant TaskListModel::foreground(int row) const
{
    const std::optional<quint32> color = rowColor(row);
    if (!color)
        return {};
    return QColor(int(*color & 0xFF), int((*color >> 8) & 0xFF), int((*color >> 16) & 0xFF));
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
        << tr("Starts In") << tr("Ends In") << tr("Status");
    return titles.value(section);
}

void TaskListModel::onAboutToReset()
{
    beginResetModel();
}

void TaskListModel::onReset()
{
    m_colors.assign(rows().size(), std::nullopt);
    m_dateFormat = shortDateFormat();
    m_progressShown = anyProgress();
    m_anyHint = std::any_of(rows().begin(), rows().end(), [](const TaskRow &row) { return !row.hint.isEmpty() || row.overlap; });
    endResetModel();
}

bool TaskListModel::anyProgress() const
{
    return std::any_of(
        rows().begin(), rows().end(), [](const TaskRow &row) { return row.progress.has_value(); });
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
