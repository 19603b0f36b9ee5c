#pragma once
// The pictures the window's labels remember, in one cache shared by them all. Qt's
// QCache bounds it (the least recently used picture goes first) and it goes with the
// application.

#include <QImage>
#include <QPoint>
#include <QString>

struct Timage_memorisee {
    QImage image; // premultiplied, at the ratio it was drawn for; null for a drawing without ink
    QPoint ou; // where its top-left corner goes, in pixels of the image from the drawing's origin
};

// The picture kept under `cle`, if any.
bool image_memorisee(const QString& cle, Timage_memorisee& image);
// How many pictures are kept now.
qsizetype nombre_images_memorisees();
// Keeps `image` under `cle`, while it fits in the bound.
void memorise(const QString& cle, const Timage_memorisee& image);
// `dessin` cut down to the smallest rectangle that holds its ink. Where the picture's ratio
// is whole, the cut falls on whole label pixels, so that the picture is copied, not resampled;
// otherwise the picture is kept whole.
Timage_memorisee rogne_a_l_encre(const QImage& dessin);
