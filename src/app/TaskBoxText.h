#pragma once

#include <QObject>
#include <QString>

class QPlainTextEdit;
class QTextDocument;
class QThread;

namespace ambrel {

// Puts an opened project's task text into the task box. A long text is laid into a document on a thread of
// its own while the window builds and shows the list, and takes the box's place once it is whole; until
// then the box shows nothing. Whatever reaches the box meanwhile (a key, a click, a drop) first waits for the
// text, so nothing typed is lost or lands in the wrong place.
class TaskBoxText final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskBoxText)

public:
    // Texts shorter than this are set at once: they take the box a few milliseconds.
    static constexpr qsizetype LongText = 256 * 1024;

    explicit TaskBoxText(QPlainTextEdit *box);
    ~TaskBoxText() override;

    // Shows text in the box without raising the box's signals; the box's history starts afresh.
    void show(const QString &text);
    // The box with its whole text in it, waiting for a long text that is still being laid out.
    QPlainTextEdit *settled();
    // Whether a long text is still being laid out.
    bool filling() const { return m_thread != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Sets the laid-out document in the box; from the thread's finish or from a wait.
    void take();
    // Waits for the thread and forgets its document.
    void abandon();
    // Waits for the thread and hands over its document; null when no text was being laid out.
    QTextDocument *join();
    void replaceDocument(QTextDocument *document);

    QPlainTextEdit *m_box;
    QThread *m_thread = nullptr;
    // Written by the thread before it finishes, read only after that.
    QTextDocument *m_laidOut = nullptr;
};

} // namespace ambrel
