#include "MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

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

MessageBox::Answer MessageBox::show(
    QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    const QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    Script &s = script();
    if (s.testing) {
        s.shown.append({ text, caption, icon, buttons });
        const Answer fallback = buttons == YesNo ? Yes : Ok;
        return s.answers.isEmpty() ? fallback : s.answers.takeFirst();
    }

    QMessageBox box(toQt(icon), caption, text,
        buttons == YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    const int result = box.exec();
    if (buttons == OkOnly)
        return Ok;
    return result == QMessageBox::Yes ? Yes : No;
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
