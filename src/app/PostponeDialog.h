#pragma once

#include <QDialog>

class QSpinBox;

namespace ambrel {

// Asks by how many days to move the selected task and every task below it: a signed whole number, where a
// negative one advances them. The caller reads days() after exec() and applies it.
class PostponeDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PostponeDialog)

public:
    PostponeDialog(const QString &taskName, int days, QWidget *parent = nullptr);

    int days() const;

private:
    QSpinBox *m_days = nullptr;
};

} // namespace ambrel
