#pragma once

#include "workweek/WorkweekSettings.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QCheckBox;
class QComboBox;

namespace ambrel {

class Form1;

// The working-week window: which weekdays are working days and the hours a working day begins and ends.
// The day boxes are named "chkWorkingDay_1" (Monday) to "chkWorkingDay_7" (Sunday). Saving writes the
// settings files, hands the new week and hours to the main window and rebuilds its schedule.
class frmWorkingWeek final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWorkingWeek)

public:
    explicit frmWorkingWeek(Form1 &mainWindow, QWidget *parent = nullptr);

    // The position of the box's text among its choices, or -1 for a typed text that is none of them.
    static int choicePosition(const QComboBox *box);

public slots:
    void Command1_Click(); // Save
    void Command2_Click(); // Cancel

private:
    void Form_Load();
    void LoadWorkingDays();
    void LoadHourChoices();

    Form1 &m_main;
    std::array<QCheckBox *, 8> m_chkWorkingDay {}; // indices 1 to 7, Monday to Sunday
    QComboBox *m_cboStartsAt = nullptr;
    QComboBox *m_cboEndsAt = nullptr;
    QStringList m_lstWorkingWeek;
    HourChoices m_hours; // the saved hours as loaded (txtStarts, txtEndsAt) and the choices
};

} // namespace ambrel
