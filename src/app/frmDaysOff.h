#pragma once

#include "workweek/WorkweekSettings.h"

#include <QDate>
#include <QDialog>

#include <vector>

class QDateEdit;
class QLineEdit;
class QStandardItemModel;
class QTreeView;

namespace ambrel {

// The days-off window: the dates that are not working days, with their names, edited on a copy of the
// settings it is given; it reads and writes no file. Save closes it accepted, and whoever opened it saves
// and applies settings(). Import shows what an iCalendar file would add before taking any of it. Controls: "lstDaysOff", "dtpDayOff", "txtName", "cmdAdd", "cmdRemove", "cmdImport",
// "cmdSave", "cmdCancel".
class frmDaysOff final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDaysOff)

public:
    enum Column { DateColumn, WeekdayColumn, NameColumn, ColumnCount };

    explicit frmDaysOff(const Settings &settings, QWidget *parent = nullptr);

    const std::vector<DayOff> &daysOff() const { return m_days; }
    // The settings as given, or with the edited days off once Save was clicked.
    const Settings &settings() const { return m_settings; }

public slots:
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdImport_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

private:
    void showDays(const QDate &current = QDate());

    Settings m_settings;
    std::vector<DayOff> m_days;
    QStandardItemModel *m_model = nullptr;
    QTreeView *m_lstDaysOff = nullptr;
    QDateEdit *m_dtpDayOff = nullptr;
    QLineEdit *m_txtName = nullptr;
};

} // namespace ambrel
