#pragma once

#include "workweek/DaysOff.h"

#include <QDate>
#include <QDialog>

#include <vector>

class QDateEdit;
class QLineEdit;
class QStandardItemModel;
class QTreeView;

namespace ambrel {

// The days-off window: the dates that are not working days, with their names, read from holidays.txt when
// it opens. Save writes the file and hands the dates on through daysOffSaved; whoever opened the window
// applies them. Controls: "lstDaysOff", "dtpDayOff", "txtName", "cmdAdd", "cmdRemove", "cmdImport",
// "cmdSave", "cmdCancel".
class frmDaysOff final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDaysOff)

public:
    enum Column { DateColumn, WeekdayColumn, NameColumn, ColumnCount };

    explicit frmDaysOff(QWidget *parent = nullptr);

    const std::vector<DayOff> &daysOff() const { return m_days; }

signals:
    // The saved days off, in date order; emitted before the window closes.
    void daysOffSaved(const std::vector<QDate> &daysOff);

public slots:
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdImport_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    void showDays(const QDate &current = QDate());

    std::vector<DayOff> m_days;
    QStandardItemModel *m_model = nullptr;
    QTreeView *m_lstDaysOff = nullptr;
    QDateEdit *m_dtpDayOff = nullptr;
    QLineEdit *m_txtName = nullptr;
};

} // namespace ambrel
