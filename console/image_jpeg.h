#pragma once
// JPEG decoding with libjpeg's own interface. A picture that does not decode
// cleanly (corrupt, truncated, not a JPEG) gives a null image, never a crash.

#include <QByteArray>
#include <QImage>

QImage decode_jpeg(const QByteArray& octets);
