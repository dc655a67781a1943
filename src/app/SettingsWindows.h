#pragma once

#include "workweek/WorkweekSettings.h"

#include <functional>

class QWidget;

namespace ambrel {

// Opens a settings window over the settings read afresh from the person's settings folder, saves what the
// window returns through the settings loader's save side, and hands the saved settings to the program.
// A save that fails is told and the window opens again over the edit, so nothing typed is lost.
namespace SettingsWindows {

// Takes settings the program uses from now on; saved says they were just saved (the plan is then rebuilt).
using Apply = std::function<void(const Settings &settings, bool saved)>;

// The working week and hours. Opening re-reads the week for the whole program, as it always has.
void editWorkingWeek(QWidget *parent, const Settings &current, const Apply &apply);

// The days off, with their names, from holidays.txt; when that file is there but cannot be read, the
// person is told why and the window does not open, so that a save cannot replace the days it holds.
void editDaysOff(QWidget *parent, const Settings &current, const Apply &apply);

} // namespace SettingsWindows

} // namespace ambrel
