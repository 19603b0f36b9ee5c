#include "defilement.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

Tdefilement::Tdefilement(QWidget* parent) : QScrollBar(parent) {}

void Tdefilement::keyPressEvent(QKeyEvent* e) {
    // Qt's own scroll bar inverts the arrows for scrolling a page of text; a speed
    // setting goes up to the right.
    SliderAction action = SliderNoAction;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QScrollBar::keyPressEvent(e);
        return;
    }
    triggerAction(action);
    e->accept();
}

void Tdefilement::paintEvent(QPaintEvent* e) {
    QScrollBar::paintEvent(e);
    if (!hasFocus()) return;
    QStyleOptionSlider barre;
    initStyleOption(&barre);
    QStyleOptionFocusRect cadre;
    cadre.initFrom(this);
    cadre.rect =
        style()->subControlRect(QStyle::CC_ScrollBar, &barre, QStyle::SC_ScrollBarSlider, this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &cadre, &p, this);
}
