#include "app/CalendarExport.h"

#include "app/ExportDestination.h"
#include "app/FolderOpener.h"
#include "app/MessageBox.h"
#include "corekit/Clock.h"
#include "corekit/Corekit.h"
#include "corekit/Paths.h"
#include "export/EventRow.h"
#include "export/IcsWriter.h"
#include "project/Project.h"
#include "project/ProjectSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(CalendarExport)
};

const char *const kMissingInfo = QT_TRANSLATE_NOOP("CalendarExport", "Missing Info");

// Before an export: when what is typed changed since the list was built, asks whether to rebuild first;
// then the two "Missing Info" checks. False when the export must stop.
bool readyToExport(QWidget *parent, Project &project, const std::function<void()> &rebuild)
{
    if (project.changedSinceBuild()) {
        const MessageBox::Answer answer = MessageBox::show(parent,
            Text::tr("Your tasks changed since the list was built. Rebuild before exporting?"),
            Text::tr("Confirm"), MessageBox::Question, MessageBox::YesNoCancel);
        if (answer == MessageBox::Cancel)
            return false;
        if (answer == MessageBox::Yes) {
            rebuild();
            if (project.changedSinceBuild())
                return false; // the build was refused and said why
        }
    }
    if (project.tasks().empty()) {
        MessageBox::show(parent, Text::tr("Please add some tasks to your project."), Text::tr(kMissingInfo),
            MessageBox::Information);
        return false;
    }
    if (project.name().isEmpty()) {
        MessageBox::show(
            parent, Text::tr("Please enter a project name."), Text::tr(kMissingInfo), MessageBox::Information);
        return false;
    }
    return true;
}

// Asks before replacing an earlier export; false when the person says No.
bool mayOverwrite(QWidget *parent, const QString &path, const QString &question)
{
    return !FileExists(path)
        || MessageBox::show(
               parent, question, Text::tr("Confirm"), MessageBox::Question, MessageBox::YesNo)
        == MessageBox::Yes;
}

// Opens the export folder and says "Done!" with the text for an opened folder, or the file's place.
void reportExported(QWidget *parent, const Project &project, const QString &path, QString opened,
    QString notOpened, const QString &helpPage)
{
    QString notes;
    if (project.schedule().eventCount() == 0)
        notes += Text::tr(" No task had a whole working day, so the file holds no calendar events.");
    // Google Calendar refuses larger files.
    if (path.endsWith(QLatin1String(".csv")) && QFileInfo(path).size() > 1'000'000)
        notes += Text::tr(" Google Calendar imports files of up to 1 MB: please split the project or "
                          "shorten it before importing this file.");
    opened += notes;
    notOpened += notes;
    // The file is written all the same; without the folder on screen the person needs its place.
    const bool shown = FolderOpener::openFolder(QFileInfo(path).absolutePath());
    MessageBox::show(parent, shown ? opened : notOpened.arg(QDir::toNativeSeparators(path)),
        Text::tr("Done!"), MessageBox::Information, MessageBox::OkOnly, helpPage);
}

// Where an export goes: the person's choice in the save dialog, then the program's own overwrite question;
// empty when they cancelled either.
QString chooseTarget(QWidget *parent, ExportDestination::Kind kind, const Project &project,
    const QString &title, const QString &filter, const QString &overwriteQuestion)
{
    const QString path = ExportDestination::choose(parent, kind, project.name(), title, filter, false);
    if (path.isEmpty() || !mayOverwrite(parent, path, overwriteQuestion))
        return QString();
    return path;
}

void exportCsv(QWidget *parent, const Project &project)
{
    const CsvLayout layout = ProjectSession::csvPerDay() ? CsvLayout::PerDay : CsvLayout::Runs;
    const QString path = chooseTarget(parent, ExportDestination::Csv, project,
        Text::tr("Export to Google Calendar"), Text::tr("CSV file (*.csv)"),
        Text::tr("Overwrite the previous .csv file (maybe from another project)?"));
    if (path.isEmpty())
        return;
    if (const std::optional<Refusal> failed = project.exportCalendarCsv(path, layout)) {
        MessageBox::show(parent, failed->text, MessageBox::errorTitle(), MessageBox::Critical);
        return;
    }
    // A calendar books an event of several days through its nights too; the person may not want that.
    const QString nights
        = layout == CsvLayout::Runs && spansSeveralDays(calendarEventRows(project.schedule()))
        ? Text::tr(" Events of several working days run through the nights between them; for working "
                   "hours only, turn on File → CSV: One Event per Working Day and export again.")
        : QString();
    reportExported(parent, project, path,
        Text::tr("Done! The software will now open a folder which contains a .csv file with your project "
                 "info. You can now add this project (.csv) to your G calendar. For more details, please "
                 "read the user manual.")
            + nights,
        Text::tr("Done! Your project info was saved to the .csv file %1, but its folder could not be "
                 "opened. You can now add this project (.csv) to your G calendar. For more details, "
                 "please read the user manual.")
            + nights,
        QStringLiteral("exports.html#google-calendar"));
}

void exportIcs(QWidget *parent, const Project &project)
{
    const Schedule &built = project.schedule();
    if (const std::optional<Refusal> refusal = icsHoursRefusal(built.startsAt, built.endsAt)) {
        MessageBox::show(parent, refusal->text, MessageBox::ooopsTitle(), MessageBox::Exclamation);
        return;
    }
    const QString path = chooseTarget(parent, ExportDestination::Ics, project,
        Text::tr("Export to iCalendar"), Text::tr("iCalendar file (*.ics)"),
        Text::tr("Overwrite the previous .ics file (maybe from another project)?"));
    if (path.isEmpty())
        return;
    if (const std::optional<Refusal> failed = project.exportCalendarIcs(path, Clock::now())) {
        MessageBox::show(parent, failed->text, MessageBox::errorTitle(), MessageBox::Critical);
        return;
    }
    reportExported(parent, project, path,
        Text::tr("Done! The software will now open a folder which contains a .ics file with your project. "
                 "You can import it into any calendar program: Google Calendar, Outlook, Apple Calendar "
                 "or Thunderbird."),
        Text::tr("Done! Your project was saved to the .ics file %1, but its folder could not be opened. "
                 "You can import it into any calendar program: Google Calendar, Outlook, Apple Calendar "
                 "or Thunderbird."),
        QStringLiteral("exports.html#ics"));
}

} // namespace

void exportCalendar(
    QWidget *parent, Project &project, CalendarFormat format, const std::function<void()> &rebuild)
{
    if (!readyToExport(parent, project, rebuild))
        return;
    if (format == CalendarFormat::Csv)
        exportCsv(parent, project);
    else
        exportIcs(parent, project);
}

bool readyToPublish(QWidget *parent, Project &project, const std::function<void()> &rebuild)
{
    return readyToExport(parent, project, rebuild);
}

} // namespace ambrel
