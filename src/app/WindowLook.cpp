#include "WindowLook.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(WindowLook)
};

constexpr double kTwipsPerInch = 1440.0;

QString sansFamily()
{
    static const QString family = [] {
        for (const char *candidate : { "Verdana", "DejaVu Sans", "Liberation Sans" }) {
            if (QFontDatabase::hasFamily(QString::fromLatin1(candidate)))
                return QString::fromLatin1(candidate);
        }
        return QFont().defaultFamily();
    }();
    return family;
}

} // namespace

int twipsToPixelsX(const QWidget *widget, double twips)
{
    return int(std::lround(twips * widget->logicalDpiX() / kTwipsPerInch));
}

int twipsToPixelsY(const QWidget *widget, double twips)
{
    return int(std::lround(twips * widget->logicalDpiY() / kTwipsPerInch));
}

double pixelsToTwipsX(const QWidget *widget, int pixels)
{
    return pixels * kTwipsPerInch / widget->logicalDpiX();
}

QRect twipsRect(const QWidget *widget, double left, double top, double width, double height)
{
    return QRect(twipsToPixelsX(widget, left), twipsToPixelsY(widget, top), twipsToPixelsX(widget, width),
        twipsToPixelsY(widget, height));
}

void placeInTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(twipsRect(widget, left, top, width, height));
}

QColor colorFromBgr(quint32 bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

QFont verdana(double pointSize, bool bold, bool underline)
{
    QFont font(sansFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, double left, double top, double width,
    double height, const QFont *font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (font)
        label->setFont(*font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeInTwips(label, left, top, width, height);
    return label;
}

QPushButton *makeDialogButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void nameScrollBars(QAbstractScrollArea *area)
{
    area->horizontalScrollBar()->setAccessibleName(Text::tr("Scroll sideways"));
    area->verticalScrollBar()->setAccessibleName(Text::tr("Scroll up and down"));
}

} // namespace ambrel
