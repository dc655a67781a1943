#pragma once

#include "workweek/WorkweekSettings.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;

namespace ambrel {

// The working-week window: which weekdays are working days and the hours a working day begins and ends.
// The day boxes are named "chkWorkingDay_1" (Monday) to "chkWorkingDay_7" (Sunday). It edits a copy of the
// settings it is given and reads no file: Save checks the edit and closes the window accepted, and the
// caller takes settings() to save and apply.
class frmWorkingWeek final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWorkingWeek)

public:
    // The hour boxes offer the choices, each showing the first choice found within the settings' hour.
    frmWorkingWeek(const Settings &settings, const QStringList &hourChoices, QWidget *parent = nullptr);

    // The settings as given, or as edited once Save was accepted.
    const Settings &settings() const { return m_settings; }

    // The position of the box's text among its choices, or -1 for a typed text that is none of them.
    static int choicePosition(const QComboBox *box);

public slots:
    void Command1_Click(); // Save
    void Command2_Click(); // Cancel

private:
    // Why the hours cannot be saved: a typed hour that is no time of day, or an end not after the begin.
    std::optional<QString> hoursRefusal() const;
    void Form_Load(const QStringList &hourChoices);

    Settings m_settings;
    std::array<QCheckBox *, 8> m_chkWorkingDay {}; // indices 1 to 7, Monday to Sunday
    QComboBox *m_cboStartsAt = nullptr;
    QComboBox *m_cboEndsAt = nullptr;
};

} // namespace ambrel
