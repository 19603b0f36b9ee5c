#include "image_png.h"

#include <QImage>

#include <array>
#include <cstdint>

namespace {

// The CRC of the PNG chunks (ISO 3309, the one zlib and Ethernet use).
std::uint32_t crc_png(const char* octets, qsizetype n) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < n; ++i)
        c = table[(c ^ static_cast<unsigned char>(octets[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void ajoute_u32(QByteArray& o, std::uint32_t v) {
    for (int decalage : {24, 16, 8, 0})
        o.append(static_cast<char>((v >> decalage) & 0xFF));
}

void ajoute_bloc(QByteArray& png, const char (&type)[5], const QByteArray& donnees) {
    ajoute_u32(png, static_cast<std::uint32_t>(donnees.size()));
    const qsizetype debut = png.size();
    png.append(type, 4);
    png.append(donnees);
    ajoute_u32(png, crc_png(png.constData() + debut, png.size() - debut));
}

} // namespace

QByteArray png_de_page(const QImage& page) {
    if (page.isNull()) return {};
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return {};
    const qsizetype largeur = image.width(), hauteur = image.height();
    const qsizetype ligne = 1 + 3 * largeur; // the filter's byte (none), then the pixels
    QByteArray brut(ligne * hauteur, Qt::Uninitialized);
    if (brut.size() != ligne * hauteur) return {};
    for (qsizetype y = 0; y < hauteur; ++y) {
        char* o = brut.data() + y * ligne;
        *o++ = 0;
        const auto* pixels =
            reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
        for (qsizetype x = 0; x < largeur; ++x) {
            *o++ = static_cast<char>(qRed(pixels[x]));
            *o++ = static_cast<char>(qGreen(pixels[x]));
            *o++ = static_cast<char>(qBlue(pixels[x]));
        }
    }
    // qCompress gives the length first, then a zlib stream: what IDAT holds.
    QByteArray flot = qCompress(brut, 1);
    brut.clear();
    if (flot.size() <= 4) return {};
    flot.remove(0, 4);

    QByteArray entete;
    ajoute_u32(entete, static_cast<std::uint32_t>(largeur));
    ajoute_u32(entete, static_cast<std::uint32_t>(hauteur));
    entete.append("\x08\x02\x00\x00\x00",
                  5); // 8 bits, truecolour, deflate, no filter, no interlace
    QByteArray resolution;
    ajoute_u32(resolution, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    ajoute_u32(resolution, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    resolution.append('\x01'); // per metre

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    ajoute_bloc(png, "IHDR", entete);
    ajoute_bloc(png, "pHYs", resolution);
    ajoute_bloc(png, "IDAT", flot);
    ajoute_bloc(png, "IEND", {});
    return png;
}
