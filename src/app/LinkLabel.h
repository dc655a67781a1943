#pragma once

#include <QObject>

#include <functional>

class QLabel;

namespace ambrel {

// Makes a label act as a link: a left click on it, or Enter or Space while it has the keyboard's focus,
// calls back, and a frame shows that focus, which a plain label has no look for.
class LinkLabel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    // The label owns what watches it.
    static void attach(QLabel *label, std::function<void()> activated);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LinkLabel(QLabel *label, std::function<void()> activated);

    std::function<void()> m_activated;
};

} // namespace ambrel
