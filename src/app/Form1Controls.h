#pragma once

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeView;
class QWidget;

namespace ambrel {

// The main window's controls, each named as the window's tools and tests find it and placed in twips where
// the design puts it. The window wires them; building them connects nothing.
struct Form1Controls {
    QWidget *Picture1 = nullptr;
    QLabel *Label13 = nullptr;
    QPushButton *Command2 = nullptr;
    QWidget *picSidebar = nullptr;
    QLineEdit *txtProjectName = nullptr;
    QLabel *Label15 = nullptr;
    QWidget *Frame2 = nullptr;
    QButtonGroup *optDate = nullptr;
    QCalendarWidget *Calendar2 = nullptr;
    QTimer *tmrDate = nullptr;
    QCheckBox *chkExcludeWeekends = nullptr;
    QLabel *lblSetWorkingDays = nullptr;
    QPlainTextEdit *txtTodo = nullptr;
    QPushButton *cmdToList = nullptr;
    QTreeView *ListView1 = nullptr;
    QLabel *lblHints = nullptr;
    QTreeView *ListView2 = nullptr;
    QLineEdit *txtStarts = nullptr;
    QLineEdit *txtEndsAt = nullptr;
    QLineEdit *txtTask = nullptr;
    QLineEdit *txtTaskID = nullptr;
    QLineEdit *txtStartDate = nullptr;
    QLineEdit *txtDaysToPostPone = nullptr;
};

// Builds the controls on body; the links and the text boxes report their events to window's event filter.
Form1Controls buildForm1Controls(QMainWindow *window, QWidget *body);
// Tab goes through the controls from the project's name down to the export button, never stuck in the task
// box.
void setKeyboardOrder(const Form1Controls &ui);

} // namespace ambrel
