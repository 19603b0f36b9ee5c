#include "image_jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// Larger pictures are refused rather than allocated.
constexpr JDIMENSION cote_max = 4096;

struct Tgestion_erreur {
    jpeg_error_mgr standard;
    std::jmp_buf retour;
};

[[noreturn]] void sortie_sur_erreur(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Tgestion_erreur*>(info->err)->retour, 1);
}

// Warnings (a truncated stream among them) are counted, not printed.
void message_muet(j_common_ptr) {}

struct Tpixels {
    unsigned char* octets = nullptr; // RGB, 3 bytes a pixel, malloc'd
    JDIMENSION largeur = 0;
    JDIMENSION hauteur = 0;
};

// Plain C from here on: nothing with a destructor lives while longjmp may be taken.
bool decode_brut(const unsigned char* donnees, unsigned long taille, Tpixels* sortie) {
    jpeg_decompress_struct info;
    Tgestion_erreur erreur;
    info.err = jpeg_std_error(&erreur.standard);
    erreur.standard.error_exit = sortie_sur_erreur;
    erreur.standard.output_message = message_muet;
    if (setjmp(erreur.retour)) {
        jpeg_destroy_decompress(&info);
        std::free(sortie->octets);
        sortie->octets = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, donnees, taille);
    jpeg_read_header(&info, TRUE);
    if (info.image_width > cote_max || info.image_height > cote_max) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const std::size_t ligne = std::size_t{info.output_width} * 3;
    sortie->largeur = info.output_width;
    sortie->hauteur = info.output_height;
    sortie->octets = static_cast<unsigned char*>(std::malloc(ligne * info.output_height));
    if (sortie->octets == nullptr) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW rang = sortie->octets + ligne * info.output_scanline;
        if (jpeg_read_scanlines(&info, &rang, 1) != 1) break;
    }
    const bool complete = info.output_scanline == info.output_height;
    if (complete) jpeg_finish_decompress(&info);
    const bool propre = complete && erreur.standard.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    if (!propre) {
        std::free(sortie->octets);
        sortie->octets = nullptr;
    }
    return propre;
}

} // namespace

QImage decode_jpeg(const QByteArray& octets) {
    if (octets.isEmpty()) return {};
    Tpixels pixels;
    if (!decode_brut(reinterpret_cast<const unsigned char*>(octets.constData()),
                     static_cast<unsigned long>(octets.size()), &pixels))
        return {};
    QImage image(static_cast<int>(pixels.largeur), static_cast<int>(pixels.hauteur),
                 QImage::Format_RGB888);
    const std::size_t ligne = std::size_t{pixels.largeur} * 3;
    if (!image.isNull())
        for (JDIMENSION y = 0; y < pixels.hauteur; ++y)
            std::memcpy(image.scanLine(static_cast<int>(y)), pixels.octets + ligne * y, ligne);
    std::free(pixels.octets);
    return image;
}
