#include "app/PublishDialog.h"

#include "app/MessageBox.h"
#include "app/PasswordKeeper.h"
#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "export/IcsWriter.h"
#include "project/Project.h"
#include "publish/ProjectPlan.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ambrel {

namespace {

const char *const kTitle = QT_TRANSLATE_NOOP("ambrel::PublishDialog", "Publish to Calendar");
const char *const kNewCalendar = QT_TRANSLATE_NOOP("ambrel::PublishDialog", "New calendar named after the project");
// Fewer requests than this are over before a bar would mean anything.
constexpr int kBarFrom = 4;

QLabel *wrappedLabel(const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

PublishDialog::PublishDialog(const Project &project, const QString &projectFile, QWidget *parent)
    : QDialog(parent)
    , m_project(project)
    , m_projectId(lastingProjectId(project.id(), project.name()))
    , m_projectFile(projectFile)
    , m_target(loadPublishTarget(Paths::dataFolder(), m_projectId))
    , m_pages(new QStackedWidget)
    , m_server(new QLineEdit)
    , m_user(new QLineEdit)
    , m_password(new QLineEdit)
    , m_keyringNote(wrappedLabel("keyringNote"))
    , m_calendars(new QListWidget)
    , m_setupStatus(wrappedLabel("setupStatus"))
    , m_publishing(wrappedLabel("publishingTo"))
    , m_progress(new QProgressBar)
    , m_result(wrappedLabel("result"))
{
    setWindowTitle(tr(kTitle));
    setObjectName(QStringLiteral("PublishDialog"));
    m_server->setObjectName(QStringLiteral("serverEdit"));
    m_server->setPlaceholderText(QStringLiteral("https://calendar.example.org/"));
    m_user->setObjectName(QStringLiteral("userEdit"));
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_calendars->setObjectName(QStringLiteral("calendarList"));
    m_progress->setObjectName(QStringLiteral("progressBar"));

    auto *setup = new QWidget;
    auto *form = new QFormLayout;
    form->addRow(tr("&Server address:"), m_server);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    auto *setupLayout = new QVBoxLayout(setup);
    setupLayout->setContentsMargins(0, 0, 0, 0);
    setupLayout->addLayout(form);
    setupLayout->addWidget(m_keyringNote);
    auto *calendarLabel = new QLabel(tr("&Calendar:"));
    calendarLabel->setBuddy(m_calendars);
    m_calendars->setAccessibleName(tr("Calendar"));
    setupLayout->addWidget(calendarLabel);
    setupLayout->addWidget(m_calendars);
    setupLayout->addWidget(m_setupStatus);
    m_keyringNote->hide();

    auto *progressPage = new QWidget;
    auto *progressLayout = new QVBoxLayout(progressPage);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(m_publishing);
    progressLayout->addWidget(m_progress);
    progressLayout->addWidget(m_result);
    progressLayout->addStretch();
    m_pages->addWidget(setup);
    m_pages->addWidget(progressPage);

    auto *buttons = new QDialogButtonBox;
    m_find = buttons->addButton(tr("&Find Calendars"), QDialogButtonBox::ActionRole);
    m_find->setObjectName(QStringLiteral("findButton"));
    m_other = buttons->addButton(tr("&Other Calendar…"), QDialogButtonBox::ActionRole);
    m_other->setObjectName(QStringLiteral("otherButton"));
    m_publish = buttons->addButton(tr("P&ublish"), QDialogButtonBox::AcceptRole);
    m_publish->setObjectName(QStringLiteral("publishButton"));
    m_close = buttons->addButton(QDialogButtonBox::Cancel);
    m_close->setObjectName(QStringLiteral("closeButton"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    resize(520, 420);

    connect(m_find, &QPushButton::clicked, this, &PublishDialog::findCalendars);
    connect(m_server, &QLineEdit::returnPressed, this, &PublishDialog::findCalendars);
    connect(m_publish, &QPushButton::clicked, this, &PublishDialog::publishChosen);
    connect(m_calendars, &QListWidget::itemDoubleClicked, this, &PublishDialog::publishChosen);
    connect(m_calendars, &QListWidget::currentRowChanged, this, [this](int row) { m_publish->setEnabled(row >= 0); });
    connect(m_other, &QPushButton::clicked, this, [this] { showSetup(QString()); });
    connect(m_close, &QPushButton::clicked, this, [this] {
        // Cancelling a running publish stops it; the requests already answered stay recorded.
        if (m_publisher)
            m_publisher->cancel();
        else
            reject();
    });

    if (m_target) {
        m_server->setText(m_target->server.toString());
        m_user->setText(m_target->user);
        const PasswordKeeper::Read kept = PasswordKeeper::instance().read(keyringKey());
        m_keyring = kept.available;
        if (kept.password || m_target->user.isEmpty()) {
            m_password->setText(kept.password.value_or(QString()));
            const QUrl calendar = m_target->calendar;
            QTimer::singleShot(0, this, [this, calendar] { publishTo(calendar, false); });
            m_pages->setCurrentIndex(1);
            m_publishing->setText(tr("Publishing to %1…").arg(calendar.toDisplayString()));
            m_find->hide();
            m_publish->hide();
            return;
        }
    }
    if (m_target) {
        // The remembered calendar stays the choice: the password is all that is missing.
        auto *item = new QListWidgetItem(m_target->calendar.toDisplayString(), m_calendars);
        item->setData(Qt::UserRole, m_target->calendar);
        m_calendars->setCurrentItem(item);
    }
    showSetup(m_target ? tr("Enter the password for %1.").arg(m_target->user) : QString());
}

PublishDialog::~PublishDialog()
{
    // The publisher and finder use the connection: they go first.
    delete m_publisher;
    delete m_finder;
}

QString PublishDialog::keyringKey() const
{
    const QUrl server = QUrl::fromUserInput(m_server->text().trimmed());
    return m_user->text() + QLatin1Char('@')
        + server.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery).toString();
}

std::optional<QUrl> PublishDialog::serverAddress()
{
    const QUrl typed = QUrl::fromUserInput(m_server->text().trimmed());
    if (typed.userInfo().isEmpty())
        return typed;
    const QUrl address = typed.adjusted(QUrl::RemoveUserInfo);
    m_server->setText(address.toString());
    if (!typed.userName().isEmpty() && !m_user->text().isEmpty() && m_user->text() != typed.userName()) {
        showSetup(tr("The address names the user %1, the user name field %2: give one.")
                      .arg(typed.userName(), m_user->text()));
        return std::nullopt;
    }
    if (!typed.userName().isEmpty())
        m_user->setText(typed.userName());
    if (!typed.password().isEmpty()) {
        m_password->setText(typed.password());
        m_passwordFromAddress = true;
    }
    return address;
}

void PublishDialog::showSetup(const QString &message)
{
    m_pages->setCurrentIndex(0);
    m_find->show();
    m_publish->show();
    m_other->hide();
    m_publish->setEnabled(m_calendars->currentRow() >= 0);
    m_close->setText(tr("Cancel"));
    m_keyringNote->setText(
        tr("No keyring is available: Ambrel cannot keep the password and asks for it each time."));
    m_keyringNote->setVisible(!m_keyring);
    m_setupStatus->setText(message);
    (m_server->text().isEmpty() ? m_server : m_password)->setFocus();
}

void PublishDialog::setBusy(bool busy)
{
    m_find->setEnabled(!busy);
    m_publish->setEnabled(!busy && m_calendars->currentRow() >= 0);
    m_other->setEnabled(!busy);
    m_close->setText(busy ? tr("Cancel") : tr("Close"));
}

bool PublishDialog::connectToServer(const QUrl &address)
{
    delete m_publisher;
    delete m_finder;
    m_connection = std::make_unique<DavConnection>(m_user->text(), m_password->text());
    const QHash<QString, QSet<QByteArray>> trusted = loadTrustedCertificates(Paths::dataFolder());
    for (auto it = trusted.cbegin(); it != trusted.cend(); ++it) {
        for (const QByteArray &fingerprint : it.value())
            m_connection->trustCertificate(it.key(), fingerprint);
    }
    std::optional<Refusal> refusal = m_connection->addressRefusal(address);
    if (refusal && address.scheme() == QLatin1String("http") && !address.host().isEmpty()) {
        const QString warning = tr(
            "%1 is reached over plain http: the password and the plan travel unencrypted, and anyone on the way "
            "can read or change them. Publish over plain http all the same?")
                                    .arg(address.host());
        if (MessageBox::show(this, warning, tr(kTitle), MessageBox::Exclamation, MessageBox::YesNo) != MessageBox::Yes)
            return false;
        m_connection->setInsecureAllowed(true);
        refusal.reset();
    }
    if (refusal) {
        showSetup(refusal->text);
        return false;
    }
    return true;
}

bool PublishDialog::trusted(const TlsProblem &problem)
{
    const QString question = tr(
        "The certificate of %1 could not be verified (%2).\n\nIssued by: %3\nSHA-256 fingerprint: %4\n\n"
        "Trust this certificate for %1 from now on? Only do so if you know it is the server's own.")
                                 .arg(problem.host, problem.errors.join(QStringLiteral("; ")), problem.issuer,
                                     QString::fromLatin1(problem.fingerprint));
    if (MessageBox::show(this, question, tr(kTitle), MessageBox::Exclamation, MessageBox::YesNo) != MessageBox::Yes)
        return false;
    if (const std::optional<Refusal> failed
        = saveTrustedCertificate(Paths::dataFolder(), problem.host, problem.fingerprint))
        MessageBox::show(this, failed->text, MessageBox::errorTitle(), MessageBox::Critical);
    return true;
}

void PublishDialog::findCalendars()
{
    m_calendars->clear();
    if (m_server->text().trimmed().isEmpty())
        return;
    const std::optional<QUrl> address = serverAddress();
    if (!address || !connectToServer(*address))
        return;
    m_finder = new CalendarFinder(m_connection.get(), this);
    connect(m_finder, &CalendarFinder::found, this, &PublishDialog::found);
    setBusy(true);
    m_setupStatus->setText(tr("Looking for calendars…"));
    m_finder->find(*address);
}

void PublishDialog::found(const CalendarSearch &search)
{
    setBusy(false);
    m_home = search.home;
    if (search.tls && trusted(*search.tls)) {
        QTimer::singleShot(0, this, &PublishDialog::findCalendars);
        return;
    }
    if (search.unauthorized) {
        m_password->clear();
        showSetup(tr("The server refused the user name or password. Please enter them again."));
        return;
    }
    if (search.failure) {
        showSetup(search.failure->text);
        return;
    }
    const QUrl address = QUrl::fromUserInput(m_server->text().trimmed()).adjusted(QUrl::RemoveUserInfo);
    for (const CalendarInfo &calendar : search.calendars) {
        auto *item = new QListWidgetItem(calendar.displayName, m_calendars);
        item->setData(Qt::UserRole, calendar.url);
        item->setToolTip(calendar.url.toDisplayString());
        if (calendar.url == address || (m_target && calendar.url == m_target->calendar))
            m_calendars->setCurrentItem(item);
    }
    if (!search.home.isEmpty())
        new QListWidgetItem(tr(kNewCalendar), m_calendars);
    if (m_calendars->currentRow() < 0 && search.calendars.size() == 1)
        m_calendars->setCurrentRow(0);
    showSetup(m_calendars->count() == 0 ? tr("No calendar for events was found there.")
                                        : tr("Choose the calendar to publish to."));
}

void PublishDialog::publishChosen()
{
    QListWidgetItem *item = m_calendars->currentItem();
    if (!item)
        return;
    const QUrl calendar = item->data(Qt::UserRole).toUrl();
    if (!calendar.isEmpty()) {
        // The fields may have changed since the calendars were found: the publish uses what they say now.
        delete m_finder;
        m_connection.reset();
        publishTo(calendar, false);
        return;
    }
    if (!m_connection)
        return;
    m_finder = new CalendarFinder(m_connection.get(), this);
    connect(m_finder, &CalendarFinder::created, this, [this](const Refusable<QUrl> &created) {
        m_finder->deleteLater();
        if (created.refused())
            showSetup(created.refusal().text);
        else
            publishTo(*created, false);
    });
    setBusy(true);
    m_finder->createCalendar(m_home, m_project.name());
}

void PublishDialog::publishTo(const QUrl &calendar, bool overwriteEdited)
{
    Refusable<std::vector<PublishEvent>> plan = projectPlan(m_project, m_projectId, Clock::now());
    if (plan.refused()) {
        MessageBox::show(this, plan.refusal().text, tr(kTitle), MessageBox::Exclamation);
        reject();
        return;
    }
    // The first publish after the setup page connects here; a later one reuses the connection.
    const std::optional<QUrl> server = serverAddress();
    if (!server || (!m_connection && !connectToServer(calendar)))
        return;
    const QString other = otherFileWithId(Paths::dataFolder(), m_projectId, calendar, m_projectFile);
    if (!other.isEmpty() && !m_copyConfirmed) {
        const QString question = tr(
            "%1 was published to this calendar under the same project Id, and still holds it: this file is "
            "probably a copy of it. Publishing it takes that file's events away from the calendar.\n\n"
            "Publish all the same? (Save As gives a copy an Id of its own.)")
                                     .arg(QDir::toNativeSeparators(other));
        if (MessageBox::show(this, question, kTitle, MessageBox::Exclamation, MessageBox::YesNo)
            != MessageBox::Yes) {
            reject();
            return;
        }
        m_copyConfirmed = true;
    }

    const PublishTarget target { *server, m_user->text(), calendar };
    if (const std::optional<Refusal> failed = savePublishTarget(Paths::dataFolder(), m_projectId, target))
        MessageBox::show(this, failed->text, MessageBox::errorTitle(), MessageBox::Critical);
    if (m_keyring && !m_passwordFromAddress && !m_user->text().isEmpty())
        m_keyring = PasswordKeeper::instance().write(keyringKey(), m_password->text());

    m_pages->setCurrentIndex(1);
    m_find->hide();
    m_publish->hide();
    m_other->show();
    m_publishing->setText(tr("Publishing to %1…").arg(calendar.toDisplayString()));
    m_result->clear();
    m_progress->setVisible(false);
    m_publisher = new Publisher(m_connection.get(), this);
    connect(m_publisher, &Publisher::progress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
        m_progress->setVisible(total >= kBarFrom);
    });
    connect(m_publisher, &Publisher::finished, this,
        [this, calendar](const PublishOutcome &outcome) { published(outcome, calendar); });
    setBusy(true);
    PublishOptions options { calendar, m_projectId, Paths::dataFolder(), overwriteEdited };
    options.projectFile = m_projectFile;
    m_publisher->start(options, std::move(*plan));
}

void PublishDialog::published(const PublishOutcome &outcome, const QUrl &calendar)
{
    // Finished may come inside a network callback: the publisher goes once that is over.
    m_publisher->deleteLater();
    m_publisher = nullptr;
    setBusy(false);
    if (outcome.tls && trusted(*outcome.tls)) {
        delete m_finder;
        m_connection.reset();
        publishTo(calendar, false);
        return;
    }
    if (outcome.unauthorized) {
        m_password->clear();
        delete m_finder;
        m_connection.reset();
        showSetup(tr("The server refused the user name or password. Please enter them again."));
        return;
    }
    if (!outcome.editedThere.isEmpty()) {
        const QString question = tr(
            "These events were changed in the calendar since they were published:\n\n%1\n\n"
            "Overwrite them with the plan? No keeps theirs.")
                                     .arg(outcome.editedThere.join(QLatin1Char('\n')));
        if (MessageBox::show(this, question, tr(kTitle), MessageBox::Question, MessageBox::YesNo) == MessageBox::Yes) {
            publishTo(calendar, true);
            return;
        }
    }
    m_publishing->setText(tr("Published to %1.").arg(calendar.toDisplayString()));
    QStringList lines { outcome.summary() };
    if (!outcome.editedThere.isEmpty())
        lines << tr("Left as changed in the calendar: %1").arg(outcome.editedThere.join(QStringLiteral(", ")));
    lines << outcome.failures;
    if (outcome.stopped)
        lines << outcome.stopped->text;
    if (!m_keyring)
        lines << tr("No keyring is available: Ambrel could not keep the password.");
    m_result->setText(lines.join(QLatin1Char('\n')));
}

} // namespace ambrel
