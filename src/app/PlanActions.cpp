#include "PlanActions.h"

#include "app/MessageBox.h"
#include "app/TaskBoxText.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace ambrel {

PlanActions::PlanActions(ProjectDocument &document, const Form1Controls &ui, TaskBoxText *taskBox,
    const QAbstractItemModel *tasks, QWidget *window, std::function<void()> columnsChanged)
    : QObject(window)
    , m_document(document)
    , m_project(document.project())
    , m_ui(ui)
    , m_taskBox(taskBox)
    , m_tasks(tasks)
    , m_window(window)
    , m_columnsChanged(std::move(columnsChanged))
    , m_calendarDate(ui.Calendar2->selectedDate())
{
    connect(
        m_ui.Calendar2, &QCalendarWidget::selectionChanged, this, &PlanActions::onCalendarSelectionChanged);
}

void PlanActions::load()
{
    m_project.begin(Clock::today());

    // The hours are read first, the week after; each file's trouble is told in that order.
    LoadedSettings loaded = loadSettings(Paths::settingsFolder(), {}, m_project.settings());
    for (const Refusal &message : loaded.messages)
        MessageBox::show(m_window, message.text, MessageBox::errorTitle(), MessageBox::Exclamation);
    // A missing days-off file is simply no days off; lines that name no date are told once.
    QStringList skipped = loaded.skippedDaysOff;
    if (loaded.daysOffError)
        skipped << loaded.daysOffError->text;
    if (!skipped.isEmpty())
        MessageBox::show(m_window, tr("Some days off were left out:\n") + skipped.join(QLatin1Char('\n')),
            tr("Days Off"), MessageBox::Exclamation);
    applySettings(loaded.settings);
    watchInputs();
}

void PlanActions::watchInputs()
{
    // Each edit goes into the project as it happens; the project tells the document, which then knows
    // whether it is modified.
    connect(m_ui.txtTodo, &QPlainTextEdit::textChanged, this,
        [this] { m_project.setTaskText(m_ui.txtTodo->toPlainText()); });
    connect(m_ui.txtProjectName, &QLineEdit::textChanged, &m_project, &Project::setName);
    connect(m_ui.optDate, &QButtonGroup::idToggled, this,
        [this] { m_project.setStartOnPickedDate(m_ui.optDate->checkedId() == 1); });
    connect(m_ui.chkExcludeWeekends, &QCheckBox::toggled, &m_project, &Project::setWorkingWeekApplies);
    connect(&m_document, &ProjectDocument::contentReplaced, this, &PlanActions::showContent);
}

void PlanActions::applySettings(const Settings &settings)
{
    m_project.setSettings(settings);
    m_ui.txtStarts->setText(settings.hours.starts);
    m_ui.txtEndsAt->setText(settings.hours.endsAt);
}

void PlanActions::SetProjectStartDate()
{
    m_project.SetProjectStartDate(Clock::today());
}

bool PlanActions::rebuild()
{
    const int columnsBefore = m_tasks->columnCount();
    if (auto refusal = m_project.rebuild(Clock::today())) {
        MessageBox::show(m_window, refusal->text, MessageBox::ooopsTitle(), MessageBox::Information);
        return false;
    }
    if (m_tasks->columnCount() != columnsBefore)
        m_columnsChanged();
    return true;
}

void PlanActions::startOn(const QDate &date)
{
    QAbstractButton *pickedOption = m_ui.optDate->button(1);
    if (!pickedOption->isChecked()) {
        // Selecting the option from code counts as its click, which builds with the previous date.
        pickedOption->setChecked(true);
        rebuild();
    }
    m_project.setPickedStartDate(date);
    m_project.setStartIsSaved(false); // a date clicked now is a new pick, checked against today
    SetProjectStartDate();
    rebuild();
}

void PlanActions::onCalendarSelectionChanged()
{
    const QDate NewDate = m_ui.Calendar2->selectedDate();
    if (NewDate == m_calendarDate)
        return;
    const QDate OldDate = m_calendarDate;
    m_calendarDate = NewDate;
    emit calendarDateChanged(OldDate, NewDate);
}

void PlanActions::checkCalendarDate()
{
    m_ui.tmrDate->stop();
    const bool wasModified = m_document.isModified();
    const QDate today = Clock::today();
    if (m_ui.Calendar2->selectedDate() < today)
        m_ui.Calendar2->setSelectedDate(today);
    // The check moves the date on the person's behalf; that is no change of theirs to save.
    if (!wasModified)
        m_document.markSaved();
}

void PlanActions::editWorkingWeek()
{
    SettingsWindows::editWorkingWeek(m_window, m_project.settings(), settingsApplier());
}

void PlanActions::editDaysOff()
{
    SettingsWindows::editDaysOff(m_window, m_project.settings(), settingsApplier());
}

SettingsWindows::Apply PlanActions::settingsApplier()
{
    return [this](const Settings &settings, bool saved) {
        applySettings(settings);
        if (saved)
            rebuild();
    };
}

void PlanActions::showContent()
{
    // The opened dates are the person's own, so the start-up check must not move them.
    m_ui.tmrDate->stop();
    const QDate date = m_project.startsOnPickedDate() ? m_project.pickedStartDate() : Clock::today();
    {
        const QSignalBlocker calendar(m_ui.Calendar2);
        const QSignalBlocker options(m_ui.optDate);
        const QSignalBlocker name(m_ui.txtProjectName);
        const QSignalBlocker week(m_ui.chkExcludeWeekends);
        m_ui.Calendar2->setSelectedDate(date);
        m_calendarDate = m_ui.Calendar2->selectedDate();
        m_ui.optDate->button(m_project.startsOnPickedDate() ? 1 : 0)->setChecked(true);
        m_ui.txtProjectName->setText(m_project.name());
        m_ui.chkExcludeWeekends->setChecked(m_project.workingWeekApplies());
    }
    m_taskBox->show(m_project.taskText());
    m_project.setPickedStartDate(date);
    SetProjectStartDate();
    rebuild();
}

} // namespace ambrel
