#include "TaskBoxText.h"

#include <QEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QThread>

#include <memory>
#include <utility>

namespace ambrel {

TaskBoxText::TaskBoxText(QPlainTextEdit *box)
    : QObject(box)
    , m_box(box)
{
    m_box->installEventFilter(this);
    m_box->viewport()->installEventFilter(this);
}

TaskBoxText::~TaskBoxText()
{
    abandon();
}

void TaskBoxText::show(const QString &text)
{
    abandon();
    const QSignalBlocker blocker(m_box);
    if (text.size() < LongText) {
        m_box->setPlainText(text);
        return;
    }
    m_box->clear();
    // Laid out with what the box's own document would use, so that the text looks the same.
    const QTextDocument *shown = m_box->document();
    m_thread = QThread::create([this, text, font = shown->defaultFont(), option = shown->defaultTextOption(),
                                   margin = shown->documentMargin(), window = thread()] {
        auto *document = new QTextDocument;
        document->setDefaultFont(font);
        document->setDefaultTextOption(option);
        document->setDocumentMargin(margin);
        document->setPlainText(text);
        document->moveToThread(window);
        m_laidOut = document;
    });
    // A finish that arrives after a wait already took the text, or after another text replaced it, is old news.
    connect(m_thread, &QThread::finished, this, [this, started = m_thread] {
        if (m_thread == started)
            take();
    });
    m_thread->start();
}

QPlainTextEdit *TaskBoxText::settled()
{
    take();
    return m_box;
}

void TaskBoxText::take()
{
    QTextDocument *document = join();
    if (!document)
        return;
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    replaceDocument(document);
}

void TaskBoxText::abandon()
{
    delete join();
}

QTextDocument *TaskBoxText::join()
{
    if (!m_thread)
        return nullptr;
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    return std::exchange(m_laidOut, nullptr);
}

void TaskBoxText::replaceDocument(QTextDocument *document)
{
    // The box deletes only the document it made itself; one set here before is deleted here.
    QTextDocument *previous = m_box->document();
    std::unique_ptr<QTextDocument> ours(previous->parent() == m_box ? previous : nullptr);
    const QSignalBlocker blocker(m_box);
    m_box->setDocument(document);
    document->setParent(m_box);
}

bool TaskBoxText::eventFilter(QObject *watched, QEvent *event)
{
    if (filling()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop:
            take();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ambrel
