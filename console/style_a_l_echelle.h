#pragma once
// The window's style with its measures at the form's scale: a check box's square, a combo
// box's arrow, field and frames, a scroll bar's thickness and arrows. Left as they are, a
// combo box drawn at half size would have no room left for its number beside an arrow of full
// size, and in full screen the arrows would stay small beside everything else.

#include <QProxyStyle>

class Tstyle_a_l_echelle : public QProxyStyle {
public:
    explicit Tstyle_a_l_echelle(QStyle* base) : QProxyStyle(base) {}
    qreal echelle = 1;

    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* o, SubControl sc,
                         const QWidget* w) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* o, QPainter* p,
                            const QWidget* w) const override;

private:
    // `action` given `o` as drawn at the form's scale: the resolution it carries, by which the
    // style sizes the arrows of combo boxes and scroll bars, times the scale.
    template <class Action>
    auto a_l_echelle(ComplexControl cc, const QStyleOptionComplex* o, const QWidget* w,
                     Action action) const;
};
