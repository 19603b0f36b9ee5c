#pragma once
// A drawn page as the bytes of a PNG file, made for pages of large even areas.

#include <QByteArray>

class QImage;

// Truecolour at 8 bits a channel, its resolution kept, each row unfiltered and the whole
// deflated at zlib's fastest level. Qt's own writer lets libpng try five filters on every row,
// which costs a page more than drawing it. Empty when it cannot be made (a null image, memory).
QByteArray png_de_page(const QImage& page);
