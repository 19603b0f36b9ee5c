#include "page_imprimee.h"

namespace {

QFont face(bool gras) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(gras);
    return f;
}

} // namespace

QFont police_points(double points, bool gras) {
    QFont f = face(gras);
    f.setPointSizeF(points);
    return f;
}

QFont police_pixels(double hauteur, bool gras) {
    QFont f = face(gras);
    f.setPixelSize(static_cast<int>(hauteur));
    return f;
}
