#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QAbstractScrollArea;
class QLabel;
class QWidget;

class QPushButton;

namespace ambrel {

// The windows are drawn at fixed positions given in twips (1440 to the inch), converted at the
// screen's logical DPI so that they keep their proportions on any screen.
int twipsToPixelsX(const QWidget *widget, double twips);
int twipsToPixelsY(const QWidget *widget, double twips);
double pixelsToTwipsX(const QWidget *widget, int pixels);
QRect twipsRect(const QWidget *widget, double left, double top, double width, double height);
void placeInTwips(QWidget *widget, double left, double top, double width, double height);

// Colours are written 0x00BBGGRR, blue in the high byte.
QColor colorFromBgr(quint32 bbggrr);

// Verdana when the system has it, otherwise the closest sans-serif face installed.
QFont verdana(double pointSize, bool bold = false, bool underline = false);

// The colour of a label's text, or of the caption of a check box or option button.
void setTextColor(QWidget *widget, const QColor &color);
void setBackgroundColor(QWidget *widget, const QColor &color);

// A named label whose text starts at its top left corner, placed in twips; the window's font unless given.
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, double left, double top, double width,
    double height, const QFont *font = nullptr);

// A named dialog button that Enter in a text box does not press: typing a name or an hour and pressing Enter
// must not save or close the window behind the person's back.
QPushButton *makeDialogButton(QWidget *parent, const char *name, const QString &text);

// A screen reader names a scroll bar only by what it is told: which way it scrolls.
void nameScrollBars(QAbstractScrollArea *area);

} // namespace ambrel
