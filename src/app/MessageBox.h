#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace ambrel {

// Every message box of the planner goes through here. Tests switch on testing mode: nothing is shown,
// each box is recorded, and the answer comes from the scripted answers (Ok, Yes, Discard or Cancel when
// none is left).
class MessageBox final {
public:
    enum Icon { NoIcon, Information, Exclamation, Critical, Question };
    enum Buttons { OkOnly, YesNo, SaveDiscardCancel, YesNoCancel, ReloadOverwriteSaveAsCancel };
    enum Answer { Ok, Yes, No, Save, Discard, Cancel, Reload, Overwrite, SaveAs };

    struct Shown {
        QString text;
        QString title;
        Icon icon = NoIcon;
        Buttons buttons = OkOnly;
        QString helpPage;
    };

    // An empty title shows the application's name. A helpPage of the user manual ("exports.html#ics") adds
    // a Help button that opens it.
    static Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon,
        Buttons buttons = OkOnly, const QString &helpPage = QString());

    // The titles of the planner's messages, worded once: "Error" when something could not be done, "Ooops!"
    // when the person's input needs mending.
    static QString errorTitle();
    static QString ooopsTitle();

    static void setTesting(bool testing);
    static void setNextAnswer(Answer answer);
    static const QList<Shown> &shown();
    static void clearShown();
};

} // namespace ambrel
