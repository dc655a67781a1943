#include "frmTips.h"

#include "app/WindowLook.h"

#include <QLabel>
#include <QPushButton>

namespace ambrel {

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, double left,
    double top, double width, double height)
{
    return ambrel::makeLabel(parent, name, text, left, top, width, height, &font);
}

} // namespace

frmTips::frmTips(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(tr("Tips"));
    setModal(true);
    setFont(verdana(9.75));
    setFixedSize(twipsToPixelsX(this, 12555), twipsToPixelsY(this, 4875));

    const QFont text = verdana(9.75);
    const QColor example = colorFromBgr(0x00C00000);
    makeLabel(this, "Label1", tr("Tips:"), verdana(14.25, true), 450, 180, 8025, 465);
    makeLabel(this, "Label2",
        tr("You can set the duration of each task by adding a \"+ X days\"  of it."), text, 450,
        765, 11220, 465);
    makeLabel(this, "Label3", tr("Example: "), text, 1755, 1215, 1185, 645);
    setTextColor(
        makeLabel(this, "Label7", tr(" Do This + 7 Days"), text, 2970, 1215, 4965, 330), example);
    makeLabel(this, "Label5", tr("or "), text, 1755, 1620, 420, 555);
    setTextColor(
        makeLabel(this, "Label6", tr(" Do This + 7"), text, 2250, 1620, 1770, 555), example);
    makeLabel(this, "Label4", tr("This will set the duration of the task to 7 days."), text, 495,
        2340, 11220, 555);
    m_lblPro = makeLabel(this, "lblPro",
        tr("In the \"Pro\" version, you can create parallel tasks (tasks that begin on "
           "the same date). To make a parallel task simply add // at the beginning of "
           "it and it and it will inherit the start date of the previous task."),
        text, 495, 3015, 11220, 870);
    m_lblPro->setWordWrap(true);
    m_lblPro->hide();

    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setFont(verdana(9.75, true));
    placeInTwips(close, 4680, 3915, 3300, 690);
    connect(close, &QPushButton::clicked, this, &frmTips::Command1_Click);

    Form_Load();
}

void frmTips::Form_Load()
{
    m_lblPro->setVisible(true);
}

void frmTips::Command1_Click()
{
    close();
}

} // namespace ambrel
