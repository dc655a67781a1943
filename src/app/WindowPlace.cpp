#include "app/WindowPlace.h"

#include "project/ProjectSession.h"

#include <QList>
#include <QWidget>

#include <algorithm>

namespace ambrel::WindowPlace {

namespace {

constexpr int kGap = 8; // between the side panel and the button

} // namespace

// The session file holds the geometry as saveGeometry gives it, in base64, and the list's width on the next
// line.
int restore(QWidget *window)
{
    const QList<QByteArray> lines = ProjectSession::windowPlace().split('\n');
    if (lines.isEmpty() || lines.first().isEmpty())
        return 0;
    window->restoreGeometry(QByteArray::fromBase64(lines.first().trimmed()));
    bool ok = false;
    const int listWidth = lines.size() > 1 ? lines.at(1).trimmed().toInt(&ok) : 0;
    return ok ? std::max(0, listWidth) : 0;
}

void save(const QWidget *window, int listWidthBesideTimeline)
{
    ProjectSession::setWindowPlace(
        window->saveGeometry().toBase64() + '\n' + QByteArray::number(listWidthBesideTimeline) + '\n');
}

void fitExportButton(QWidget *button, const QWidget *sidePanel, int designWidth)
{
    const int right = button->geometry().right();
    const int room = right + 1 - (sidePanel->geometry().right() + 1 + kGap);
    const int width = std::clamp(room, std::min(button->sizeHint().width(), designWidth), designWidth);
    if (width != button->width())
        button->setGeometry(right + 1 - width, button->y(), width, button->height());
}

} // namespace ambrel::WindowPlace
