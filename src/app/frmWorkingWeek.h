#pragma once

#include "workweek/WorkweekSettings.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;

namespace ambrel {

// The working-week window: which weekdays are working days and the hours a working day begins and ends.
// The day boxes are named "chkWorkingDay_1" (Monday) to "chkWorkingDay_7" (Sunday). It edits a copy of the
// settings: opening it reads the week from its file, and Save hands the edited settings to the caller's save,
// which writes, applies and rebuilds, before the window says "Done!" (or shows why it could not save).
class frmWorkingWeek final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWorkingWeek)

public:
    // Saves the edited settings; nothing, or why they could not be saved.
    using Save = std::function<std::optional<Refusal>(const Settings &)>;

    frmWorkingWeek(const Settings &settings, Save save, QWidget *parent = nullptr);

    const Settings &settings() const { return m_settings; }
    // Whether opening the window read the working week from its file.
    bool weekLoaded() const { return m_weekLoaded; }

    // The position of the box's text among its choices, or -1 for a typed text that is none of them.
    static int choicePosition(const QComboBox *box);

public slots:
    void Command1_Click(); // Save
    void Command2_Click(); // Cancel

private:
    // Why the hours cannot be saved: a typed hour that is no time of day, or an end not after the begin.
    std::optional<QString> hoursRefusal() const;
    void Form_Load();
    void LoadWorkingDays();
    void LoadHourChoices();

    Settings m_settings;
    Save m_save;
    bool m_weekLoaded = false;
    std::array<QCheckBox *, 8> m_chkWorkingDay {}; // indices 1 to 7, Monday to Sunday
    QComboBox *m_cboStartsAt = nullptr;
    QComboBox *m_cboEndsAt = nullptr;
    QStringList m_lstWorkingWeek;
    HourChoices m_hours; // the saved hours as loaded (txtStarts, txtEndsAt) and the choices
};

} // namespace ambrel
