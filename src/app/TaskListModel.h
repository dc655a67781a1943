#pragma once

#include "schedule/TaskRow.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <vector>

namespace ambrel {

class Project;

// The task list: one row per scheduled task. Once a row has been postponed or advanced the list gains
// three columns that show how far its start and end are from today and its status.
class TaskListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskListModel)

public:
    enum Column {
        TaskColumn,
        StartDateColumn,
        EndDateColumn,
        DurationColumn,
        StartsInColumn,
        EndsInColumn,
        StatusColumn
    };

    // Shows the project's tasks and follows its changes; the project must outlive the model.
    explicit TaskListModel(const Project *project, QObject *parent = nullptr);

    static QStringList columnTitles(); // the four columns every schedule has

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::vector<TaskRow> &rows() const;

    // The cell's text as the list shows it.
    QString cellText(int row, int column) const;

    // A text colour (0x00BBGGRR) for every cell of the row, shown until the list is rebuilt.
    void setRowColor(int row, quint32 color);
    std::optional<quint32> rowColor(int row) const;

private:
    void onAboutToReset();
    void onReset();
    bool anyProgress() const;
    QVariant foreground(int row) const;
    // Shows the progress columns exactly while some row has progress.
    void syncProgressColumns();

    const Project *m_project;
    std::vector<std::optional<quint32>> m_colors; // one per row
    bool m_progressShown = false;
    bool m_anyHint = false; // whether the last build gave any row a hint
    QString m_dateFormat;
};

} // namespace ambrel
