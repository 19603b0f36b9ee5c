// Draws the steering wheel of the simulation strip, as the driver sees it, and
// writes it as a JPEG (181 x 183). Run by hand when the picture is to change:
//     genere_volant console/volant.jpg
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

#include <jpeglib.h>

namespace {

constexpr int largeur = 181;
constexpr int hauteur = 183;

QImage dessine() {
    QImage image(largeur, hauteur, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The dashboard behind the wheel, lit from the windscreen.
    QLinearGradient planche(0, 0, 0, hauteur);
    planche.setColorAt(0.0, QColor(96, 100, 108));
    planche.setColorAt(0.45, QColor(52, 54, 58));
    planche.setColorAt(1.0, QColor(28, 28, 30));
    p.fillRect(image.rect(), planche);
    // The instrument hood seen through the wheel.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 22, 24));
    p.drawEllipse(QPointF(90.5, 70), 58, 30);
    p.setBrush(QColor(235, 235, 235));
    for (double x : {62.0, 119.0}) {
        p.setBrush(QColor(12, 12, 14));
        p.drawEllipse(QPointF(x, 70), 20, 20);
        p.setPen(QPen(QColor(230, 230, 230), 1.2));
        for (int g = 0; g < 9; ++g) {
            const QTransform t = QTransform().translate(x, 70).rotate(-225 + g * 33.75);
            p.drawLine(t.map(QPointF(14, 0)), t.map(QPointF(18, 0)));
        }
        p.setPen(QPen(QColor(255, 80, 0), 1.6));
        p.drawLine(QPointF(x, 70), QPointF(x - 9, 62));
        p.setPen(Qt::NoPen);
    }

    const QPointF centre(90.5, 91.5);
    // Spokes at three, nine and six o'clock.
    QLinearGradient metal(0, 80, 0, 104);
    metal.setColorAt(0.0, QColor(150, 152, 158));
    metal.setColorAt(0.5, QColor(88, 90, 96));
    metal.setColorAt(1.0, QColor(40, 40, 44));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(10, 84, 161, 16), 6, 6);
    QPainterPath bas;
    bas.moveTo(78, 100);
    bas.lineTo(103, 100);
    bas.lineTo(98, 172);
    bas.lineTo(83, 172);
    bas.closeSubpath();
    p.drawPath(bas);

    // Hub with its horn pad and badge.
    QRadialGradient moyeu(centre - QPointF(6, 8), 34);
    moyeu.setColorAt(0.0, QColor(84, 86, 92));
    moyeu.setColorAt(1.0, QColor(20, 20, 22));
    p.setBrush(moyeu);
    p.drawEllipse(centre, 27, 24);
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(centre, 8, 8);
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(centre, 3, 3);

    // The rim: leather, with a light catching its top.
    QRadialGradient cuir(centre, 88);
    cuir.setColorAt(0.80, QColor(20, 20, 20));
    cuir.setColorAt(0.88, QColor(70, 66, 62));
    cuir.setColorAt(0.97, QColor(18, 18, 18));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(cuir), 15));
    p.drawEllipse(centre, 80, 80);
    p.setPen(QPen(QColor(150, 146, 140, 160), 2));
    p.drawArc(QRectF(centre.x() - 84, centre.y() - 84, 168, 168), 50 * 16, 80 * 16);
    // The straight-ahead mark at the top of the rim.
    p.setPen(QPen(QColor(230, 200, 40), 4));
    p.drawLine(QPointF(centre.x(), centre.y() - 87), QPointF(centre.x(), centre.y() - 73));
    p.end();
    return image;
}

bool ecrit_jpeg(const QImage& image, const char* chemin) {
    std::FILE* f = std::fopen(chemin, "wb");
    if (f == nullptr) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg takes non-const rows; it only reads them.
        JSAMPROW rang =
            const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &rang, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage : %s fichier.jpg\n", argv[0]);
        return 2;
    }
    return ecrit_jpeg(dessine(), argv[1]) ? 0 : 1;
}
