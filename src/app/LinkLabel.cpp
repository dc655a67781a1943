#include "LinkLabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace ambrel {

LinkLabel::LinkLabel(QLabel *label, std::function<void()> activated)
    : QObject(label)
    , m_activated(std::move(activated))
{
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
}

void LinkLabel::attach(QLabel *label, std::function<void()> activated)
{
    new LinkLabel(label, std::move(activated));
}

bool LinkLabel::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = static_cast<QLabel *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            m_activated();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        const int pressed = key->key();
        if (!key->isAutoRepeat()
            && (pressed == Qt::Key_Return || pressed == Qt::Key_Enter || pressed == Qt::Key_Space)) {
            m_activated();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        label->setFrameShape(label->hasFocus() ? QFrame::Box : QFrame::NoFrame);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ambrel
