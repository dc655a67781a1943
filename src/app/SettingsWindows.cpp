#include "app/SettingsWindows.h"

#include "app/MessageBox.h"
#include "app/frmDaysOff.h"
#include "app/frmWorkingWeek.h"
#include "corekit/Paths.h"

#include <QCoreApplication>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SettingsWindows)
};

const char *const kDaysOffTitle = QT_TRANSLATE_NOOP("SettingsWindows", "Days Off");
// A file full of mistakes is told in a few lines; the rest only counted.
constexpr qsizetype kMaxListedSkips = 15;

void showDone(QWidget *parent)
{
    MessageBox::show(parent, Text::tr("Done!"), Text::tr("Done"), MessageBox::Information);
}

// Runs the window until it is cancelled or what it returns is saved; returns the saved settings.
template <typename Window, typename... Extra>
std::optional<Settings> editAndSave(
    QWidget *parent, Settings edited, SettingsParts parts, const QString &title, const Extra &...extra)
{
    for (;;) {
        Window window(edited, extra..., parent);
        if (window.exec() != QDialog::Accepted)
            return std::nullopt;
        edited = window.settings();
        const std::optional<Refusal> failed = saveSettings(Paths::settingsFolder(), edited, parts);
        if (!failed)
            return edited;
        MessageBox::show(parent, failed->text, title, MessageBox::Exclamation);
    }
}

} // namespace

void SettingsWindows::editWorkingWeek(QWidget *parent, const Settings &current, const Apply &apply)
{
    SettingsRequest request;
    request.daysOff = false;
    request.weekFirst = true;
    const LoadedSettings loaded = loadSettings(Paths::settingsFolder(), request, current);
    QList<Refusal> messages = loaded.messages;
    QStringList choices;
    if (auto refusal = loadHourChoices(Paths::settingsFolder(), choices))
        messages << *refusal;
    for (const Refusal &message : messages)
        MessageBox::show(parent, message.text, MessageBox::errorTitle(), MessageBox::Exclamation);

    Settings inForce = current;
    if (inForce.WorkingWeek != loaded.settings.WorkingWeek) {
        inForce.WorkingWeek = loaded.settings.WorkingWeek;
        apply(inForce, false);
    }

    const std::optional<Settings> saved
        = editAndSave<frmWorkingWeek>(parent, loaded.settings, SettingsParts::All, MessageBox::errorTitle(), choices);
    if (!saved)
        return;
    inForce.WorkingWeek = saved->WorkingWeek;
    inForce.hours = saved->hours;
    apply(inForce, true);
    showDone(parent);
}

void SettingsWindows::editDaysOff(QWidget *parent, const Settings &current, const Apply &apply)
{
    SettingsRequest request;
    request.week = false;
    request.hours = false;
    const LoadedSettings loaded = loadSettings(Paths::settingsFolder(), request, current);
    if (loaded.daysOffError) {
        // Saving over a file that could not be read would lose the days it holds, so the window stays shut.
        MessageBox::show(parent, loaded.daysOffError->text, Text::tr(kDaysOffTitle), MessageBox::Exclamation);
        return;
    }
    if (!loaded.skippedDaysOff.isEmpty()) {
        QStringList lines { Text::tr("These lines name no date and were left out:") };
        lines << loaded.skippedDaysOff.mid(0, kMaxListedSkips);
        if (loaded.skippedDaysOff.size() > kMaxListedSkips)
            lines << Text::tr("and %n more.", nullptr, int(loaded.skippedDaysOff.size() - kMaxListedSkips));
        MessageBox::show(parent, lines.join(QLatin1Char('\n')), Text::tr(kDaysOffTitle), MessageBox::Exclamation);
    }

    const std::optional<Settings> saved
        = editAndSave<frmDaysOff>(parent, loaded.settings, SettingsParts::DaysOff, Text::tr(kDaysOffTitle));
    if (!saved)
        return;
    Settings inForce = current;
    inForce.setDaysOff(saved->namedDaysOff);
    apply(inForce, true);
    showDone(parent);
}

} // namespace ambrel
