#pragma once

#include "publish/CalendarFinder.h"
#include "publish/Publisher.h"
#include "publish/PublishTargets.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace ambrel {

class Project;

// File → Publish to Calendar…: the first time asks for the server and the user, finds the calendars there
// and remembers the one chosen for the project; later it publishes straight there, with its progress, and
// says what changed.
class PublishDialog final : public QDialog {
    Q_OBJECT

public:
    // projectFile: the file the project was opened from or saved to; empty when it has none.
    PublishDialog(const Project &project, const QString &projectFile, QWidget *parent = nullptr);
    ~PublishDialog() override;

private:
    void showSetup(const QString &message);
    void findCalendars();
    void found(const ambrel::CalendarSearch &search);
    void publishChosen();
    void publishTo(const QUrl &calendar, bool overwriteEdited);
    void published(const ambrel::PublishOutcome &outcome, const QUrl &calendar);
    // A fresh connection for the fields' server and user; nothing when the person refused the address.
    bool connectToServer(const QUrl &address);
    bool trusted(const TlsProblem &problem);
    // The server field's address without user information, which goes to the user and password fields;
    // nothing, having said why, when it names another user than the user field.
    std::optional<QUrl> serverAddress();
    QString keyringKey() const;
    void setBusy(bool busy);

    const Project &m_project;
    QString m_projectId;
    QString m_projectFile;
    bool m_passwordFromAddress = false; // used for this publish only, never kept in the keyring
    bool m_copyConfirmed = false;
    std::optional<PublishTarget> m_target;
    bool m_keyring = true;
    std::unique_ptr<DavConnection> m_connection;
    QPointer<CalendarFinder> m_finder;
    QPointer<Publisher> m_publisher;
    QUrl m_home;

    QStackedWidget *m_pages;
    QLineEdit *m_server;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLabel *m_keyringNote;
    QListWidget *m_calendars;
    QLabel *m_setupStatus;
    QLabel *m_publishing;
    QProgressBar *m_progress;
    QLabel *m_result;
    QPushButton *m_find;
    QPushButton *m_publish;
    QPushButton *m_other;
    QPushButton *m_close;
};

} // namespace ambrel
