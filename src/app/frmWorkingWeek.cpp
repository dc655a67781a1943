#include "frmWorkingWeek.h"

#include "app/MessageBox.h"
#include "app/WindowLook.h"
#include "workweek/TimeOfDay.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace ambrel {

namespace {

QComboBox *makeHourBox(QWidget *parent, const char *name, double left)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // Enter in the box must not add the typed text to the choices: the choices are hours.txt alone.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setEditText(QStringLiteral("Combo1"));
    box->view()->setAccessibleName(frmWorkingWeek::tr("Hours"));
    placeInTwips(box, left, 2025, 1770, 315);
    return box;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, double left)
{
    QPushButton *button = makeDialogButton(parent, name, text);
    placeInTwips(button, left, 2790, 2265, 555);
    return button;
}

} // namespace

frmWorkingWeek::frmWorkingWeek(const Settings &settings, const QStringList &hourChoices, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("frmWorkingWeek"));
    setWindowTitle(tr("Working Week"));
    setModal(true);
    // Slightly smaller than the main window's text, so that "Each Working Day Begins at:" fits its box.
    setFont(verdana(8));
    setFixedSize(twipsToPixelsX(this, 9765), twipsToPixelsY(this, 3750));

    makeLabel(this, "Label1", tr("My Working Week"), 405, 495, 8025, 465)
        ->setFont(verdana(14.25, true));

    struct Day {
        const char *text;
        double left;
        double width;
    };
    const Day days[] = { { QT_TR_NOOP("Monday"), 450, 1320 }, { QT_TR_NOOP("Tuesday"), 1845, 1185 },
        { QT_TR_NOOP("Wednesday"), 3150, 1275 }, { QT_TR_NOOP("Thursday"), 4545, 1140 },
        { QT_TR_NOOP("Friday"), 5760, 870 }, { QT_TR_NOOP("Saturday"), 6750, 1095 },
        { QT_TR_NOOP("Sunday"), 7965, 1050 } };
    // A day whose name is longer in the person's language than its place widens it and moves the next days on.
    double nextLeft = 0;
    for (int d = 1; d <= 7; ++d) {
        const Day &day = days[d - 1];
        auto *box = new QCheckBox(tr(day.text), this);
        box->setObjectName(QStringLiteral("chkWorkingDay_%1").arg(d));
        const double left = std::max(day.left, nextLeft);
        const double width = std::max(day.width, pixelsToTwipsX(this, box->sizeHint().width()));
        placeInTwips(box, left, 1260, width, 420);
        nextLeft = left + width + (d < 7 ? days[d].left - day.left - day.width : 0);
        m_chkWorkingDay[size_t(d)] = box;
    }

    m_cboStartsAt = makeHourBox(this, "cboStartsAt", 3060);
    makeLabel(this, "Label2", tr("Each Working Day Begins at:"), 495, 2025, 2355, 285)->setBuddy(m_cboStartsAt);
    m_cboEndsAt = makeHourBox(this, "cboEndsAt", 6390);
    makeLabel(this, "Label3", tr("And Ends at:"), 5040, 2025, 2355, 285)->setBuddy(m_cboEndsAt);
    // The boxes' own text fields, where the hour is typed, are read by their labels too.
    m_cboStartsAt->lineEdit()->setAccessibleName(tr("Each Working Day Begins at:"));
    m_cboEndsAt->lineEdit()->setAccessibleName(tr("And Ends at:"));

    connect(makeButton(this, "Command1", tr("Save"), 2430), &QPushButton::clicked, this,
        &frmWorkingWeek::Command1_Click);
    connect(makeButton(this, "Command2", tr("Cancel"), 4950), &QPushButton::clicked, this,
        &frmWorkingWeek::Command2_Click);

    Form_Load(hourChoices);
}

void frmWorkingWeek::Form_Load(const QStringList &hourChoices)
{
    for (int d = 1; d <= 7; ++d)
        m_chkWorkingDay[size_t(d)]->setChecked(m_settings.WorkingWeek[size_t(d)] == 1);
    const std::pair<QComboBox *, QString> boxes[]
        = { { m_cboStartsAt, m_settings.hours.starts }, { m_cboEndsAt, m_settings.hours.endsAt } };
    for (const auto &[box, hour] : boxes) {
        box->addItems(hourChoices);
        // Without choices the box shows the hour in force, which Save then reads as a typed hour.
        if (hourChoices.isEmpty())
            box->setEditText(hour);
        else
            box->setCurrentIndex(firstChoiceWithin(hourChoices, hour));
    }
}

int frmWorkingWeek::choicePosition(const QComboBox *box)
{
    const QString text = box->currentText();
    const int current = box->currentIndex();
    if (current >= 0 && box->itemText(current) == text)
        return current;
    return box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

std::optional<QString> frmWorkingWeek::hoursRefusal() const
{
    const int startsAt = choicePosition(m_cboStartsAt);
    const int endsAt = choicePosition(m_cboEndsAt);
    // Choices from the list are taken as they are; a typed hour must be a time a calendar can read.
    for (const QComboBox *box : { m_cboStartsAt, m_cboEndsAt }) {
        if (choicePosition(box) < 0 && !readTimeOfDay(box->currentText())) {
            return tr("\"%1\" is not a time of day. Please write an hour such as 09:00 AM, 9 AM or 17:30.")
                .arg(box->currentText());
        }
    }
    const QString endsAtHigher = tr("Your 'Ends At' Hour should be higher.");
    if (startsAt >= 0 && endsAt >= 0)
        return endsAt <= startsAt ? std::optional(endsAtHigher) : std::nullopt;
    const std::optional<QTime> begins = readTimeOfDay(m_cboStartsAt->currentText());
    const std::optional<QTime> ends = readTimeOfDay(m_cboEndsAt->currentText());
    if (!begins || !ends || *ends <= *begins)
        return endsAtHigher;
    return std::nullopt;
}

void frmWorkingWeek::Command1_Click()
{
    if (const std::optional<QString> refusal = hoursRefusal()) {
        MessageBox::show(this, *refusal, MessageBox::errorTitle(), MessageBox::Information);
        return;
    }

    WorkingWeekFlags WorkingWeek = m_settings.WorkingWeek;
    int n = 0;
    for (int d = 1; d <= 7; ++d) {
        const bool working = m_chkWorkingDay[size_t(d)]->isChecked();
        WorkingWeek[size_t(d)] = working ? 1 : 0;
        n += working ? 1 : 0;
    }
    if (n == 0) {
        MessageBox::show(this,
            tr("Please select 1 or more working days (for a better software performance "
               "we recommend to select 4 at least)."),
            MessageBox::errorTitle(), MessageBox::Information);
        return;
    }
    if (n < 4) {
        const QString question = tr("Your working week has %n working days. For a better software performance is "
                                    "recommended to increase this value to 4 (min.). Save your changes anyway?",
            nullptr, n);
        if (MessageBox::show(
                this, question, tr("Important "), MessageBox::Information, MessageBox::YesNo)
            == MessageBox::No)
            return;
    }

    m_settings.hours = { m_cboStartsAt->currentText(), m_cboEndsAt->currentText() };
    m_settings.WorkingWeek = WorkingWeek;
    accept();
}

void frmWorkingWeek::Command2_Click()
{
    reject();
}

} // namespace ambrel
