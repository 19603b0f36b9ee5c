#include "label_memorise.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>

namespace {

// Beyond this many texts in one look (the trip-update entry as it is typed, say) the
// look starts afresh: the ten digits come back at once, the rest is seldom shown twice.
constexpr qsizetype textes_par_jeu = 32;

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
    dessine(p, p.paintEngine()->paintDevice()->devicePixelRatio());
}

void Tlabel_memorise::dessine(QPainter& p, qreal ratio) {
    if (jeu_ == nullptr || ratio != ratio_) {
        // Never freed: one small table of keys per look, for the life of the program.
        static std::map<QString, Tjeu> jeux;
        jeu_ = &jeux[cle_du_jeu(*this, ratio)];
        ratio_ = ratio;
    }
    QPixmap dessin;
    auto trouve = jeu_->constFind(text());
    if (trouve != jeu_->cend() && trouve->place.isEmpty()) return;
    if (trouve == jeu_->cend() || !QPixmapCache::find(trouve->cle, &dessin)) {
        if (jeu_->size() >= textes_par_jeu) {
            for (const Timage& i : std::as_const(*jeu_))
                QPixmapCache::remove(i.cle);
            jeu_->clear();
        }
        const QImage image = dessin_du_label(*this, ratio);
        const QRect place = encre(image, ratio);
        if (!place.isEmpty()) {
            const QRectF pixels(QPointF(place.topLeft()) * ratio, QSizeF(place.size()) * ratio);
            dessin = QPixmap::fromImage(image.copy(pixels.toRect()));
            dessin.setDevicePixelRatio(ratio);
        }
        trouve = jeu_->insert(
            text(), {dessin.isNull() ? QPixmapCache::Key() : QPixmapCache::insert(dessin), place});
        if (dessin.isNull()) return;
    }
    p.drawPixmap(contentsRect().topLeft() + trouve->place.topLeft(), dessin);
}
