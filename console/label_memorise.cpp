#include "label_memorise.h"

#include <QEvent>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

// A picture is kept as the alpha of its pixels: in one look every pixel of a given
// alpha has the same colour, so a table of 256 colours gives the drawing back exactly,
// in a quarter of the memory. A drawing that the table cannot give back (two edges
// blended into one pixel, say) is kept whole.
struct Tlabel_memorise::Tjeu {
    struct Timage {
        QImage alpha; // Format_Alpha8, or the whole drawing
        QRect place;  // in label pixels; empty for a text without ink
    };
    QHash<QString, Timage> images;
    std::array<QRgb, 256> couleurs{};
    std::array<bool, 256> connues{};
    qsizetype octets = 0;
};

namespace {

// Past this, a look starts afresh (the trip-update entry as it is typed, say): the
// ten digits come back at once, the rest is seldom shown twice.
constexpr qsizetype octets_par_jeu = 64 * 1024;

// Whatever changes the look of a text, apart from the text itself.
QString cle_du_jeu(const QLabel& l, qreal ratio) {
    QStyleOption option;
    option.initFrom(&l);
    return QStringLiteral("%1|%2|%3|%4x%5|%6|%7")
        .arg(l.font().key())
        .arg(option.palette.color(l.foregroundRole()).rgba())
        .arg(l.isEnabled())
        .arg(l.contentsRect().width())
        .arg(l.contentsRect().height())
        .arg(QStyle::visualAlignment(l.layoutDirection(), l.alignment()))
        .arg(ratio);
}

// The label's own drawing of its text, on a transparent picture of its contents.
QImage dessin_du_label(const QLabel& l, qreal ratio) {
    QStyleOption option;
    option.initFrom(&l);
    const QRect zone(QPoint(), l.contentsRect().size());
    QImage image((QSizeF(zone.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(l.font());
    p.setLayoutDirection(l.layoutDirection());
    l.style()->drawItemText(&p, zone, QStyle::visualAlignment(l.layoutDirection(), l.alignment()),
                            option.palette, l.isEnabled(), l.text(), l.foregroundRole());
    return image;
}

// The smallest rectangle of whole label pixels that holds every inked pixel, in label
// pixels; the whole picture where the ratio is not whole.
QRect encre(const QImage& image, qreal ratio) {
    int gauche = image.width(), haut = image.height(), droite = -1, bas = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(ligne[x]) == 0) continue;
            gauche = std::min(gauche, x);
            droite = std::max(droite, x);
            haut = std::min(haut, y);
            bas = std::max(bas, y);
        }
    }
    if (droite < 0) return {};
    const int r = static_cast<int>(ratio);
    if (r != ratio) return QRect(QPoint(), image.deviceIndependentSize().toSize());
    return QRect(QPoint(gauche / r, haut / r), QPoint(droite / r, bas / r));
}

// Learns the look's colour of each alpha from the drawing; false if two pixels of the
// same alpha differ, the colours then untouched.
bool apprend_couleurs(const QImage& dessin, std::array<QRgb, 256>& couleurs,
                      std::array<bool, 256>& connues) {
    auto c = couleurs;
    auto k = connues;
    for (int y = 0; y < dessin.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(dessin.constScanLine(y));
        for (int x = 0; x < dessin.width(); ++x) {
            const int a = qAlpha(ligne[x]);
            if (k[a] && c[a] != ligne[x]) return false;
            c[a] = ligne[x];
            k[a] = true;
        }
    }
    couleurs = c;
    connues = k;
    return true;
}

} // namespace

Tlabel_memorise::Tlabel_memorise(QWidget* parent) : QLabel(parent) {}

void Tlabel_memorise::changeEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
        jeu_ = nullptr;
        break;
    default:
        break;
    }
    QLabel::changeEvent(e);
}

void Tlabel_memorise::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The ratio of what is painted on, which a render into a picture may not share
    // with the screen.
    const qreal ratio = p.paintEngine()->paintDevice()->devicePixelRatio();
    if (jeu_ == nullptr || ratio != ratio_) {
        // Never freed: one small table per look, for the life of the program.
        static std::map<QString, Tjeu> jeux;
        jeu_ = &jeux[cle_du_jeu(*this, ratio)];
        ratio_ = ratio;
    }
    Tjeu& jeu = *jeu_;
    auto trouve = jeu.images.constFind(text());
    if (trouve == jeu.images.cend()) {
        if (jeu.octets > octets_par_jeu) {
            jeu.images.clear();
            jeu.octets = 0;
        }
        const QImage dessin = dessin_du_label(*this, ratio);
        Tjeu::Timage image;
        image.place = encre(dessin, ratio);
        if (!image.place.isEmpty()) {
            image.alpha = dessin.copy(
                QRectF(QPointF(image.place.topLeft()) * ratio, QSizeF(image.place.size()) * ratio)
                    .toRect());
            if (apprend_couleurs(image.alpha, jeu.couleurs, jeu.connues))
                image.alpha = image.alpha.convertToFormat(QImage::Format_Alpha8);
            jeu.octets += image.alpha.sizeInBytes();
        }
        trouve = jeu.images.insert(text(), image);
    }
    if (trouve->place.isEmpty()) return;
    const QPoint ou = contentsRect().topLeft() + trouve->place.topLeft();
    const QImage& alpha = trouve->alpha;
    if (alpha.format() != QImage::Format_Alpha8) {
        p.drawImage(ou, alpha);
        return;
    }
    // The drawing given back in a buffer shared by every label: painting is one thread.
    static std::vector<QRgb> tampon;
    tampon.resize(static_cast<std::size_t>(alpha.width()) * alpha.height());
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* a = alpha.constScanLine(y);
        QRgb* ligne = tampon.data() + static_cast<std::size_t>(y) * alpha.width();
        for (int x = 0; x < alpha.width(); ++x)
            ligne[x] = jeu.couleurs[a[x]];
    }
    QImage dessin(reinterpret_cast<const uchar*>(tampon.data()), alpha.width(), alpha.height(),
                  alpha.width() * 4, QImage::Format_ARGB32_Premultiplied);
    dessin.setDevicePixelRatio(ratio);
    p.drawImage(ou, dessin);
}
