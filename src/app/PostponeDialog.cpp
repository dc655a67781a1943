#include "PostponeDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ambrel {

namespace {

// About a hundred years either way, far more than any plan moves and well inside a date's range.
constexpr int kMostDays = 36500;

} // namespace

PostponeDialog::PostponeDialog(const QString &taskName, int days, QWidget *parent)
    : QDialog(parent)
    , m_days(new QSpinBox(this))
{
    setObjectName(QStringLiteral("PostponeDialog"));
    setWindowTitle(tr("Postpone or Advance"));

    auto *intro = new QLabel(
        tr("Move \"%1\" and every task below it.\nA negative number of days advances them.")
            .arg(taskName),
        this);
    intro->setObjectName(QStringLiteral("lblPostponeTask"));
    intro->setWordWrap(true);

    m_days->setObjectName(QStringLiteral("spnDays"));
    m_days->setRange(-kMostDays, kMostDays);
    m_days->setValue(days);
    m_days->setSuffix(tr(" days"));
    m_days->setAccessibleDescription(tr("A negative number of days advances the tasks"));
    m_days->selectAll();

    auto *form = new QFormLayout;
    form->addRow(tr("&Days:"), m_days);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

int PostponeDialog::days() const
{
    return m_days->value();
}

} // namespace ambrel
