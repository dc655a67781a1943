#pragma once

#include <QDialog>

class QLabel;

namespace ambrel {

// The tips window: how to give a task its duration and how to mark a parallel task. Each opening is a
// fresh instance, so it keeps nothing between openings.
class frmTips final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmTips)

public:
    explicit frmTips(QWidget *parent = nullptr);

public slots:
    void Command1_Click();

private:
    void Form_Load();

    QLabel *m_lblPro = nullptr;
};

} // namespace ambrel
