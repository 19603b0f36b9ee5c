#include "images_memorisees.h"

#include <QCache>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

// Room for the digits in every colour, the gap's glyphs and a few dozen whole texts.
constexpr qsizetype octets_au_plus = 1024 * 1024;

class Tmemoire : public QObject {
public:
    using QObject::QObject;
    QCache<QString, Timage_memorisee> images{octets_au_plus};

    // Made on first use as a child of the application, so freed with it.
    static Tmemoire& commune() {
        static QPointer<Tmemoire> memoire;
        if (memoire.isNull()) memoire = new Tmemoire(QCoreApplication::instance());
        return *memoire;
    }
};

} // namespace

bool image_memorisee(const QString& cle, Timage_memorisee& image) {
    const Timage_memorisee* trouvee = Tmemoire::commune().images.object(cle);
    if (trouvee == nullptr) return false;
    image = *trouvee;
    return true;
}

qsizetype nombre_images_memorisees() {
    return Tmemoire::commune().images.count();
}

void memorise(const QString& cle, const Timage_memorisee& image) {
    const qsizetype octets = std::max<qsizetype>(1, image.image.sizeInBytes());
    if (octets <= octets_au_plus)
        Tmemoire::commune().images.insert(cle, new Timage_memorisee(image), octets);
}

Timage_memorisee rogne_a_l_encre(const QImage& dessin) {
    int gauche = dessin.width(), haut = dessin.height(), droite = -1, bas = -1;
    for (int y = 0; y < dessin.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(dessin.constScanLine(y));
        for (int x = 0; x < dessin.width(); ++x) {
            if (qAlpha(ligne[x]) == 0) continue;
            gauche = std::min(gauche, x);
            droite = std::max(droite, x);
            haut = std::min(haut, y);
            bas = std::max(bas, y);
        }
    }
    if (droite < 0) return {};
    const qreal ratio = dessin.devicePixelRatio();
    const int r = static_cast<int>(ratio);
    if (r != ratio) return {dessin, QPoint()};
    const QRect coupe(QPoint(gauche / r * r, haut / r * r),
                      QPoint(droite / r * r + r - 1, bas / r * r + r - 1));
    QImage image = dessin.copy(coupe);
    image.setDevicePixelRatio(ratio);
    return {image, coupe.topLeft()};
}
