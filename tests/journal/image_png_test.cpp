#include "image_png.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Pages of every shape read back as they were drawn: every pixel, its channels in their order,
// and the resolution.
TEST(ImagePng, une_page_se_relit_pixel_pour_pixel) {
    for (const QSize taille : {QSize(1, 1), QSize(7, 3), QSize(1753, 1240)}) {
        SCOPED_TRACE(taille.width());
        QImage page(taille, QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(5906);
        page.setDotsPerMeterY(3937);
        {
            QPainter p(&page);
            p.setRenderHint(QPainter::Antialiasing);
            p.fillRect(QRectF(0, 0, taille.width() / 2.0, taille.height() / 3.0),
                       QColor(208, 238, 208));
            p.setPen(QPen(QColor(200, 30, 90), 3));
            p.setBrush(QColor(10, 120, 240));
            p.drawEllipse(QRectF(page.rect()).adjusted(1.5, 0.5, -0.5, -1.5));
        }
        page.setPixel(taille.width() - 1, 0, qRgb(255, 0, 1));
        const QByteArray png = png_de_page(page);
        QImage relue;
        ASSERT_TRUE(relue.loadFromData(png, "PNG"));
        EXPECT_EQ(relue.convertToFormat(QImage::Format_RGB32), page);
        EXPECT_EQ(relue.dotsPerMeterX(), 5906);
        EXPECT_EQ(relue.dotsPerMeterY(), 3937);
    }
    EXPECT_TRUE(png_de_page(QImage()).isEmpty());
}

} // namespace
