#include "frmDaysOff.h"

#include "app/DaysOffImportDialog.h"
#include "app/FileDialog.h"
#include "app/WindowLook.h"
#include "corekit/Clock.h"
#include "corekit/TextFormat.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace ambrel {

frmDaysOff::frmDaysOff(const Settings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_days(settings.namedDaysOff)
{
    setObjectName(QStringLiteral("frmDaysOff"));
    setWindowTitle(tr("Days Off"));
    setModal(true);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_model->setHorizontalHeaderLabels(
        { tr("Date"), tr("Weekday"), tr("Name") });
    m_lstDaysOff = new QTreeView(this);
    m_lstDaysOff->setObjectName(QStringLiteral("lstDaysOff"));
    m_lstDaysOff->setModel(m_model);
    m_lstDaysOff->setRootIsDecorated(false);
    m_lstDaysOff->setUniformRowHeights(true);
    m_lstDaysOff->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstDaysOff->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstDaysOff->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstDaysOff->header()->setStretchLastSection(true);
    m_lstDaysOff->setAccessibleName(tr("Days off"));

    m_dtpDayOff = new QDateEdit(Clock::today(), this);
    m_dtpDayOff->setObjectName(QStringLiteral("dtpDayOff"));
    m_dtpDayOff->setCalendarPopup(true);
    m_dtpDayOff->setDisplayFormat(shortDateFormat());
    // Only the years the file can hold as YYYY-MM-DD.
    m_dtpDayOff->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtName->setPlaceholderText(tr("Name (optional)"));
    m_txtName->setAccessibleName(tr("Name of the day off"));
    m_txtName->setAccessibleDescription(tr("Optional; Enter adds the day"));
    auto *cmdAdd = makeDialogButton(this, "cmdAdd", tr("Add"));
    connect(cmdAdd, &QPushButton::clicked, this, &frmDaysOff::cmdAdd_Click);
    connect(m_txtName, &QLineEdit::returnPressed, this, &frmDaysOff::cmdAdd_Click);

    auto *addRow = new QHBoxLayout;
    auto *lblDayOff = new QLabel(tr("Day off:"), this);
    lblDayOff->setBuddy(m_dtpDayOff);
    addRow->addWidget(lblDayOff);
    addRow->addWidget(m_dtpDayOff);
    addRow->addWidget(m_txtName, 1);
    addRow->addWidget(cmdAdd);

    auto *buttons = new QHBoxLayout;
    connect(makeDialogButton(this, "cmdRemove", tr("Remove")), &QPushButton::clicked, this,
        &frmDaysOff::cmdRemove_Click);
    connect(makeDialogButton(this, "cmdImport", tr("Import from an iCalendar file…")),
        &QPushButton::clicked, this, &frmDaysOff::cmdImport_Click);
    connect(makeDialogButton(this, "cmdSave", tr("Save")), &QPushButton::clicked, this,
        &frmDaysOff::cmdSave_Click);
    connect(makeDialogButton(this, "cmdCancel", tr("Cancel")), &QPushButton::clicked, this,
        &frmDaysOff::cmdCancel_Click);
    for (const char *name : { "cmdRemove", "cmdImport" })
        buttons->addWidget(findChild<QPushButton *>(QString::fromLatin1(name)));
    buttons->addStretch(1);
    for (const char *name : { "cmdSave", "cmdCancel" })
        buttons->addWidget(findChild<QPushButton *>(QString::fromLatin1(name)));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lstDaysOff, 1);
    layout->addLayout(addRow);
    layout->addLayout(buttons);
    resize(560, 420);

    showDays();
}

void frmDaysOff::showDays(const QDate &current)
{
    const QLocale locale;
    m_model->setRowCount(0);
    m_model->setRowCount(int(m_days.size()));
    int currentRow = -1;
    for (int row = 0; row < int(m_days.size()); ++row) {
        const DayOff &day = m_days[size_t(row)];
        m_model->setItem(row, DateColumn, new QStandardItem(formatShortDate(day.date, locale)));
        m_model->setItem(row, WeekdayColumn, new QStandardItem(locale.dayName(day.date.dayOfWeek())));
        m_model->setItem(row, NameColumn, new QStandardItem(day.name));
        if (day.date == current)
            currentRow = row;
    }
    if (currentRow >= 0)
        m_lstDaysOff->setCurrentIndex(m_model->index(currentRow, DateColumn));
}

void frmDaysOff::cmdAdd_Click()
{
    const QDate date = m_dtpDayOff->date();
    DaysOff::insert(m_days, { date, DaysOff::cleanName(m_txtName->text()) }, true);
    m_txtName->clear();
    showDays(date);
}

void frmDaysOff::cmdRemove_Click()
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_lstDaysOff->selectionModel()->selectedRows())
        rows.push_back(index.row());
    // From the bottom up, so the rows still to go keep their numbers.
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        if (row >= 0 && row < int(m_days.size()))
            m_days.erase(m_days.begin() + row);
    }
    showDays();
}

void frmDaysOff::cmdImport_Click()
{
    const QString path = FileDialog::getOpenFileName(this, tr("Import Days Off"), QString(),
        tr("iCalendar files (*.ics);;All files (*)"));
    if (path.isEmpty())
        return;
    DaysOffImportDialog dialog(path, Clock::today().year(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<DayOff> chosen = dialog.chosenDays();
    // Days already listed keep the names the person gave them.
    for (const DayOff &day : chosen)
        DaysOff::insert(m_days, day);
    showDays(chosen.empty() ? QDate() : chosen.front().date);
}

void frmDaysOff::cmdSave_Click()
{
    m_settings.setDaysOff(m_days);
    accept();
}

void frmDaysOff::cmdCancel_Click()
{
    reject();
}

} // namespace ambrel
