#include "style_a_l_echelle.h"

#include <QPaintDevice>
#include <QStyleOptionComboBox>
#include <QStyleOptionSlider>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

int arrondi(qreal v) {
    return static_cast<int>(std::lround(v));
}

// A device of no pixels, of the resolution it is given: font metrics made for it carry that
// resolution to the style.
class Tresolution : public QPaintDevice {
public:
    explicit Tresolution(int dpi) : dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    int dpi_;
};

template <class Option, class Action>
auto avec_resolution(const QStyleOptionComplex* o, const QWidget* w, int dpi, Action action) {
    const auto* concret = qstyleoption_cast<const Option*>(o);
    if (concret == nullptr || arrondi(o->fontMetrics.fontDpi()) == dpi) return action(o);
    Option copie(*concret);
    const Tresolution appareil(dpi);
    copie.fontMetrics = QFontMetrics(w->font(), &appareil);
    return action(static_cast<const QStyleOptionComplex*>(&copie));
}

} // namespace

template <class Action>
auto Tstyle_a_l_echelle::a_l_echelle(ComplexControl cc, const QStyleOptionComplex* o,
                                     const QWidget* w, Action action) const {
    if (w == nullptr || echelle == 1) return action(o);
    // The resolution the widget's own options carry, at the scale.
    const int dpi = std::max(1, arrondi(w->fontMetrics().fontDpi() * echelle));
    if (cc == CC_ComboBox) return avec_resolution<QStyleOptionComboBox>(o, w, dpi, action);
    if (cc == CC_ScrollBar) return avec_resolution<QStyleOptionSlider>(o, w, dpi, action);
    return action(o);
}

int Tstyle_a_l_echelle::pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const {
    const int v = QProxyStyle::pixelMetric(m, o, w);
    switch (m) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_ComboBoxFrameWidth:
    case PM_DefaultFrameWidth:
    case PM_ButtonMargin:
        return std::max(v > 0 ? 1 : 0, arrondi(v * echelle));
    default:
        return v;
    }
}

QRect Tstyle_a_l_echelle::subControlRect(ComplexControl cc, const QStyleOptionComplex* o,
                                         SubControl sc, const QWidget* w) const {
    return a_l_echelle(cc, o, w, [&](const QStyleOptionComplex* option) {
        QRect r = QProxyStyle::subControlRect(cc, option, sc, w);
        if (cc != CC_ComboBox || sc != SC_ComboBoxEditField || echelle == 1) return r;
        // The frame the style leaves around a combo box's field, at the scale too.
        const QRect tout = option->rect;
        const bool fleche_a_droite = option->direction != Qt::RightToLeft;
        const int cote = fleche_a_droite ? r.left() - tout.left() : tout.right() - r.right();
        const int haut = r.top() - tout.top();
        const int bas = tout.bottom() - r.bottom();
        if (fleche_a_droite)
            r.setLeft(tout.left() + arrondi(cote * echelle));
        else
            r.setRight(tout.right() - arrondi(cote * echelle));
        r.setTop(tout.top() + arrondi(haut * echelle));
        r.setBottom(tout.bottom() - arrondi(bas * echelle));
        return r;
    });
}

void Tstyle_a_l_echelle::drawComplexControl(ComplexControl cc, const QStyleOptionComplex* o,
                                            QPainter* p, const QWidget* w) const {
    a_l_echelle(cc, o, w, [&](const QStyleOptionComplex* option) {
        QProxyStyle::drawComplexControl(cc, option, p, w);
    });
}
