#include "DaysOffImportDialog.h"

#include "app/WindowLook.h"
#include "corekit/TextFormat.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <atomic>

namespace ambrel {

// The dates found, one row each, with a tick in the first column.
class FoundDatesModel final : public QAbstractTableModel {
public:
    enum Column { DateColumn, WeekdayColumn, TimeColumn, NameColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setDates(std::vector<IcsFoundDate> dates)
    {
        beginResetModel();
        m_dates = std::move(dates);
        m_ticked.assign(m_dates.size(), false);
        for (size_t row = 0; row < m_dates.size(); ++row)
            m_ticked[row] = m_dates[row].allDay;
        endResetModel();
    }

    void tickAll(bool ticked)
    {
        if (m_dates.empty())
            return;
        m_ticked.assign(m_dates.size(), ticked);
        emit dataChanged(index(0, DateColumn), index(rowCount() - 1, DateColumn), { Qt::CheckStateRole });
    }

    std::vector<DayOff> ticked() const
    {
        std::vector<DayOff> days;
        for (size_t row = 0; row < m_dates.size(); ++row) {
            if (m_ticked[row])
                days.push_back({ m_dates[row].date, m_dates[row].name });
        }
        return days;
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_dates.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const IcsFoundDate &found = m_dates[size_t(index.row())];
        if (role == Qt::CheckStateRole && index.column() == DateColumn)
            return m_ticked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case DateColumn:
            return formatShortDate(found.date, m_locale);
        case WeekdayColumn:
            return m_locale.dayName(found.date.dayOfWeek());
        case TimeColumn:
            return found.allDay
                ? DaysOffImportDialog::tr("All day")
                : QStringLiteral("%1 – %2").arg(m_locale.toString(found.begins, QLocale::ShortFormat),
                    m_locale.toString(found.ends, QLocale::ShortFormat));
        case NameColumn:
            return found.name;
        }
        return {};
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::CheckStateRole
            || index.column() != DateColumn)
            return false;
        m_ticked[size_t(index.row())] = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, { Qt::CheckStateRole });
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.isValid() && index.column() == DateColumn)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char *const titles[] = { QT_TRANSLATE_NOOP("ambrel::DaysOffImportDialog", "Date"),
            QT_TRANSLATE_NOOP("ambrel::DaysOffImportDialog", "Weekday"),
            QT_TRANSLATE_NOOP("ambrel::DaysOffImportDialog", "Time"),
            QT_TRANSLATE_NOOP("ambrel::DaysOffImportDialog", "Name") };
        return section >= 0 && section < ColumnCount ? DaysOffImportDialog::tr(titles[section]) : QVariant();
    }

private:
    QLocale m_locale;
    std::vector<IcsFoundDate> m_dates;
    std::vector<bool> m_ticked;
};

// What the reading thread shares with the window. It outlives a window closed while the reading goes on,
// so that Cancel never waits for the reading to notice.
struct DaysOffImportDialog::Reading {
    std::atomic<bool> cancel = false;
    std::atomic<int> done = 0;
    std::atomic<int> total = 0;
    Refusable<IcsDaysOffImport> result = Refusal {};
};

DaysOffImportDialog::DaysOffImportDialog(
    const QString &path, int thisYear, QWidget *parent, const QTimeZone &zone)
    : QDialog(parent)
    , m_fileName(QFileInfo(path).fileName())
    , m_reading(std::make_shared<Reading>())
{
    setObjectName(QStringLiteral("DaysOffImportDialog"));
    setWindowTitle(tr("Import Days Off"));
    setModal(true);

    m_lblStatus = new QLabel(tr("Reading %1…").arg(m_fileName), this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);
    m_prgReading = new QProgressBar(this);
    m_prgReading->setObjectName(QStringLiteral("prgReading"));
    // Until the first events are counted, the bar only shows that the file is being read.
    m_prgReading->setRange(0, 0);

    m_model = new FoundDatesModel(this);
    m_lstFound = new QTreeView(this);
    m_lstFound->setObjectName(QStringLiteral("lstFound"));
    m_lstFound->setAccessibleName(tr("Dates found"));
    m_lstFound->setModel(m_model);
    m_lstFound->setRootIsDecorated(false);
    m_lstFound->setUniformRowHeights(true);
    m_lstFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstFound->header()->setStretchLastSection(true);
    m_lstFound->setColumnWidth(FoundDatesModel::DateColumn, 130);
    m_lstFound->setColumnWidth(FoundDatesModel::TimeColumn, 130);

    m_lblLeftOut = new QLabel(tr("Left out:"), this);
    m_lstLeftOut = new QListWidget(this);
    m_lstLeftOut->setObjectName(QStringLiteral("lstLeftOut"));
    m_lstLeftOut->setAccessibleName(tr("Left out"));
    m_lblLeftOut->setVisible(false);
    m_lstLeftOut->setVisible(false);

    m_cmdSelectAll = makeDialogButton(this, "cmdSelectAll", tr("Select All"));
    m_cmdSelectNone = makeDialogButton(this, "cmdSelectNone", tr("Select None"));
    m_cmdOK = makeDialogButton(this, "cmdOK", tr("OK"));
    auto *cmdCancel = makeDialogButton(this, "cmdCancel", tr("Cancel"));
    connect(m_cmdSelectAll, &QPushButton::clicked, this, &DaysOffImportDialog::cmdSelectAll_Click);
    connect(m_cmdSelectNone, &QPushButton::clicked, this, &DaysOffImportDialog::cmdSelectNone_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &DaysOffImportDialog::reject);
    for (QPushButton *button : { m_cmdSelectAll, m_cmdSelectNone, m_cmdOK })
        button->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSelectAll);
    buttons->addWidget(m_cmdSelectNone);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblStatus);
    layout->addWidget(m_prgReading);
    layout->addWidget(m_lstFound, 3);
    layout->addWidget(m_lblLeftOut);
    layout->addWidget(m_lstLeftOut, 1);
    layout->addLayout(buttons);
    resize(640, 480);

    IcsImportOptions options;
    options.zone = zone;
    options.cancel = &m_reading->cancel;
    // Runs on the reading thread; the window shows it as its timer comes round.
    options.progress = [reading = m_reading.get()](int done, int total) {
        reading->total = total;
        reading->done = done;
    };
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &DaysOffImportDialog::showProgress);
    m_progressTimer->start();
    m_thread = QThread::create([path, thisYear, options, reading = m_reading] {
        reading->result = IcsDaysOff::readFile(path, thisYear, options);
    });
    connect(m_thread, &QThread::finished, this, &DaysOffImportDialog::showResult);
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    m_thread->start();
}

DaysOffImportDialog::~DaysOffImportDialog()
{
    m_reading->cancel = true;
}

bool DaysOffImportDialog::isReading() const
{
    return m_thread && !m_thread->isFinished();
}

void DaysOffImportDialog::reject()
{
    m_reading->cancel = true;
    QDialog::reject();
}

std::vector<DayOff> DaysOffImportDialog::chosenDays() const
{
    return m_model->ticked();
}

void DaysOffImportDialog::cmdSelectAll_Click()
{
    m_model->tickAll(true);
}

void DaysOffImportDialog::cmdSelectNone_Click()
{
    m_model->tickAll(false);
}

void DaysOffImportDialog::showProgress()
{
    if (const int total = m_reading->total; total > 0) {
        m_prgReading->setRange(0, total);
        m_prgReading->setValue(m_reading->done);
    }
}

void DaysOffImportDialog::showResult()
{
    m_progressTimer->stop();
    m_prgReading->setVisible(false);
    // A cancelled reading shows nothing: the window is closing.
    if (m_reading->cancel && m_reading->result.refused())
        return;
    if (m_reading->result.refused()) {
        m_lblStatus->setText(tr("Could not import %1: %2").arg(m_fileName, m_reading->result.refusal().text));
        emit readingFinished();
        return;
    }
    const IcsDaysOffImport &imported = *m_reading->result;

    int allDay = 0;
    for (const IcsFoundDate &found : imported.found)
        allDay += found.allDay ? 1 : 0;
    QStringList status;
    status << (imported.found.empty()
            ? tr("%1 holds no dates.").arg(m_fileName)
            : QStringLiteral(
                "%1 names %2 dates; the %3 of all-day events are ticked, timed events are listed "
                "with their times.")
                  .arg(m_fileName)
                  .arg(imported.found.size())
                  .arg(allDay));
    if (imported.capped)
        status << imported.capNote;
    m_lblStatus->setText(status.join(QLatin1Char(' ')));

    m_model->setDates(imported.found);
    for (const IcsLeftOut &event : imported.leftOut) {
        m_lstLeftOut->addItem(event.name.isEmpty() && event.line == 0
                ? event.reason
                : QStringLiteral("\"%1\" (line %2): %3").arg(event.name).arg(event.line).arg(event.reason));
    }
    m_lblLeftOut->setVisible(!imported.leftOut.empty());
    m_lstLeftOut->setVisible(!imported.leftOut.empty());
    const bool any = !imported.found.empty();
    for (QPushButton *button : { m_cmdSelectAll, m_cmdSelectNone, m_cmdOK })
        button->setEnabled(any);
    m_cmdOK->setDefault(true);
    emit readingFinished();
}

} // namespace ambrel
