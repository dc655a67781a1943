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
    };

    // An empty title shows the application's name.
    static Answer show(
        QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons = OkOnly);

    static void setTesting(bool testing);
    static void setNextAnswer(Answer answer);
    static const QList<Shown> &shown();
    static void clearShown();
};

} // namespace ambrel
