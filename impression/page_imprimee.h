#pragma once
// What the two companions' printed pages share: the text's road into Qt and the one face they
// are printed in.

#include <QFont>
#include <QString>

#include <string>

// The program's UTF-8 text as Qt's.
inline QString q(const std::string& t) {
    return QString::fromStdString(t);
}

// The pages' one face, Liberation Sans (Arial's metrics, on every system the build runs on),
// bold or not, at a size in points (velmora-tableau's pages) or in the page's own units
// (velmora-journal's, tenths of a millimetre).
QFont police_points(double points, bool gras = false);
QFont police_pixels(double hauteur, bool gras = false);
