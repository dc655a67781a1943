#pragma once

#include "calendarimport/IcsDaysOff.h"

#include <QDialog>
#include <QPointer>
#include <QThread>
#include <QTimeZone>

#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace ambrel {

class FoundDatesModel;

// What an iCalendar file would add as days off, shown before anything is taken: every date found with its
// name and a tick (all-day events ticked, timed ones listed with their times and not), the events left
// out with their reasons, and any limit reached. The file is read off the window's thread with a progress
// bar; Cancel stops it. OK hands back the ticked dates through chosenDays(); the caller applies them.
// Controls: "lstFound", "lstLeftOut", "lblStatus", "prgReading", "cmdSelectAll", "cmdSelectNone", "cmdOK",
// "cmdCancel".
class DaysOffImportDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DaysOffImportDialog)

public:
    DaysOffImportDialog(const QString &path, int thisYear, QWidget *parent = nullptr,
        const QTimeZone &zone = QTimeZone::systemTimeZone());
    // Stops a reading still under way without waiting for it.
    ~DaysOffImportDialog() override;

    // The ticked dates with their names, in date order.
    std::vector<DayOff> chosenDays() const;
    bool isReading() const;

signals:
    void readingFinished();

public slots:
    void cmdSelectAll_Click();
    void cmdSelectNone_Click();
    void reject() override;

private:
    struct Reading;

    void showProgress();
    void showResult();

    QString m_fileName;
    std::shared_ptr<Reading> m_reading;
    QPointer<QThread> m_thread;
    QTimer *m_progressTimer = nullptr;
    FoundDatesModel *m_model = nullptr;
    QTreeView *m_lstFound = nullptr;
    QListWidget *m_lstLeftOut = nullptr;
    QLabel *m_lblStatus = nullptr;
    QLabel *m_lblLeftOut = nullptr;
    QProgressBar *m_prgReading = nullptr;
    QPushButton *m_cmdSelectAll = nullptr;
    QPushButton *m_cmdSelectNone = nullptr;
    QPushButton *m_cmdOK = nullptr;
};

} // namespace ambrel
