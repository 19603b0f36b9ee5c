#include "afficheur.h"

#include <QCache>
#include <QEvent>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QStyle>

namespace {

struct Tcaractere {
    quint32 glyphe = 0;
    qreal avance = 0;
    QRectF encre; // from the glyph's origin on the baseline
};

// A font's glyphs, each character measured the first time a text shows it.
struct Tface {
    QRawFont brute;
    QHash<char16_t, Tcaractere> caracteres;
};

// The window's instrument shows a few fonts: each scale's, and the gap's steps down.
QCache<QString, Tface>& faces() {
    static QCache<QString, Tface> cache(32);
    return cache;
}

Tface* face(const QFont& police) {
    const QString cle = police.key();
    if (Tface* f = faces().object(cle)) return f;
    auto* f = new Tface{QRawFont::fromFont(police), {}};
    faces().insert(cle, f);
    return faces().object(cle);
}

} // namespace

Tafficheur::Tafficheur(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

Tafficheur::Trangee Tafficheur::rangee(const QFont& police, const QString& texte) {
    Trangee r;
    Tface* f = face(police);
    if (f == nullptr || !f->brute.isValid()) return r;
    r.ascendante = f->brute.ascent();
    r.hauteur = f->brute.ascent() + f->brute.descent();
    QList<quint32> indices;
    QList<QPointF> positions;
    indices.reserve(texte.size());
    positions.reserve(texte.size());
    for (const QChar c : texte) {
        // What one glyph a character cannot show: QLabel's layout shows it.
        if (c.isSurrogate() || c.category() == QChar::Mark_NonSpacing ||
            c.category() == QChar::Other_Control)
            return r;
        auto it = f->caracteres.find(c.unicode());
        if (it == f->caracteres.end()) {
            Tcaractere m;
            const QList<quint32> g = f->brute.glyphIndexesForString(QString(c));
            if (g.size() != 1 || g[0] == 0) return r;
            m.glyphe = g[0];
            m.avance = f->brute.advancesForGlyphIndexes(g).value(0).x();
            m.encre = f->brute.boundingRect(m.glyphe);
            it = f->caracteres.insert(c.unicode(), m);
        }
        if (!it->encre.isEmpty()) r.encre |= it->encre.translated(r.avance, 0);
        indices.push_back(it->glyphe);
        positions.push_back(QPointF(r.avance, 0));
        r.avance += it->avance;
    }
    r.glyphes.setRawFont(f->brute);
    r.glyphes.setGlyphIndexes(indices);
    r.glyphes.setPositions(positions);
    r.valide = true;
    return r;
}

QPointF Tafficheur::origine(const Trangee& r) const {
    const QRectF zone = contentsRect();
    const Qt::Alignment a = QStyle::visualAlignment(layoutDirection(), alignment());
    const qreal x = (a & Qt::AlignRight)     ? zone.x() + zone.width() - r.avance
                    : (a & Qt::AlignHCenter) ? zone.x() + (zone.width() - r.avance) / 2
                                             : zone.x();
    const qreal haut = (a & Qt::AlignBottom) ? zone.y() + zone.height() - r.hauteur
                       : (a & Qt::AlignTop)  ? zone.y()
                                             : zone.y() + (zone.height() - r.hauteur) / 2;
    return {x, haut + r.ascendante};
}

bool Tafficheur::tient(const QFont& police, const QString& texte) const {
    const Trangee r = rangee(police, texte);
    if (!r.valide) return false;
    return r.encre.isEmpty() || QRectF(contentsRect()).contains(r.encre.translated(origine(r)));
}

void Tafficheur::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) rangees_a_jour_ = false;
    QLabel::changeEvent(e);
}

void Tafficheur::paintEvent(QPaintEvent* e) {
    // A digit shows ten texts again and again: their rows are kept for its font.
    if (!rangees_a_jour_ || rangees_.size() > 16) rangees_.clear();
    rangees_a_jour_ = true;
    auto it = rangees_.find(text());
    if (it == rangees_.end()) it = rangees_.insert(text(), rangee(font(), text()));
    const Trangee& r = *it;
    if (!r.valide) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    if (frameShape() != QFrame::NoFrame) drawFrame(&p);
    const QPointF o = origine(r);
    // A repaint of a neighbour that only meets the blank part of the box: nothing to draw.
    if (!e->rect().intersects(r.encre.translated(o).toAlignedRect())) return;
    p.setPen(palette().color(foregroundRole()));
    p.drawGlyphRun(o, r.glyphes);
}
