#include "MessageBox.h"

#include "app/UserManual.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(MessageBox)
};

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

// Named buttons, as the standard ones have no Reload or Overwrite; Cancel, the default, changes nothing.
MessageBox::Answer askReloadOverwriteSaveAs(
    QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QAbstractButton *reload = box.addButton(Text::tr("Reload"), QMessageBox::ActionRole);
    QAbstractButton *overwrite = box.addButton(Text::tr("Overwrite"), QMessageBox::ActionRole);
    QAbstractButton *saveAs = box.addButton(Text::tr("Save As\u2026"), QMessageBox::ActionRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    return clicked == reload   ? MessageBox::Reload
        : clicked == overwrite ? MessageBox::Overwrite
        : clicked == saveAs    ? MessageBox::SaveAs
                               : MessageBox::Cancel;
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
            : buttons == ReloadOverwriteSaveAsCancel                       ? Cancel
                                                                           : Ok;
        return s.answers.isEmpty() ? fallback : s.answers.takeFirst();
    }

    if (buttons == ReloadOverwriteSaveAsCancel)
        return askReloadOverwriteSaveAs(parent, toQt(icon), caption, text);
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
    case ReloadOverwriteSaveAsCancel:
        break;
    }
    // Closing the box with Escape or its title bar keeps everything, as Cancel does.
    if (result == QMessageBox::Save)
        return Save;
    return result == QMessageBox::Discard ? Discard : Cancel;
}

QString MessageBox::errorTitle()
{
    return Text::tr("Error");
}

QString MessageBox::ooopsTitle()
{
    return QStringLiteral("Ooops!");
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
