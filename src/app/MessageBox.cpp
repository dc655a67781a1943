#include "MessageBox.h"

#include "app/UserManual.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ambrel {

namespace {

struct Script {
    bool testing = false;
    QList<MessageBox::Answer> answers;
    QList<MessageBox::Shown> shown;
};

Script &script()
{
    static Script instance;
    return instance;
}

QMessageBox::Icon toQt(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Information:
        return QMessageBox::Information;
    case MessageBox::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Critical:
        return QMessageBox::Critical;
    case MessageBox::Question:
        return QMessageBox::Question;
    case MessageBox::NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageBox::Answer MessageBox::show(QWidget *parent, const QString &text, const QString &title, Icon icon,
    Buttons buttons, const QString &helpPage)
{
    const QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    Script &s = script();
    if (s.testing) {
        s.shown.append({ text, caption, icon, buttons, helpPage });
        const Answer fallback = buttons == YesNo || buttons == YesNoCancel ? Yes
            : buttons == SaveDiscardCancel                                 ? Discard
                                                                           : Ok;
        return s.answers.isEmpty() ? fallback : s.answers.takeFirst();
    }

    QMessageBox::StandardButtons shownButtons = QMessageBox::Ok;
    if (buttons == YesNo)
        shownButtons = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == SaveDiscardCancel)
        shownButtons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    else if (buttons == YesNoCancel)
        shownButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(toQt(icon), caption, text, shownButtons, parent);
    if (buttons == SaveDiscardCancel)
        box.setDefaultButton(QMessageBox::Save);
    if (!helpPage.isEmpty()) {
        // The Help button opens the page and leaves the message where it is.
        QPushButton *help = box.addButton(QMessageBox::Help);
        help->disconnect();
        QObject::connect(
            help, &QPushButton::clicked, &box, [parent, helpPage] { UserManual::open(parent, helpPage); });
    }
    const int result = box.exec();
    switch (buttons) {
    case OkOnly:
        return Ok;
    case YesNo:
        return result == QMessageBox::Yes ? Yes : No;
    case YesNoCancel:
        return result == QMessageBox::Yes ? Yes : result == QMessageBox::No ? No : Cancel;
    case SaveDiscardCancel:
        break;
    }
    // Closing the box with Escape or its title bar keeps everything, as Cancel does.
    if (result == QMessageBox::Save)
        return Save;
    return result == QMessageBox::Discard ? Discard : Cancel;
}

void MessageBox::setTesting(bool testing)
{
    script().testing = testing;
    script().answers.clear();
    script().shown.clear();
}

void MessageBox::setNextAnswer(Answer answer)
{
    script().answers.append(answer);
}

const QList<MessageBox::Shown> &MessageBox::shown()
{
    return script().shown;
}

void MessageBox::clearShown()
{
    script().shown.clear();
}

} // namespace ambrel
