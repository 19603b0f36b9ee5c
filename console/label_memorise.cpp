#include "label_memorise.h"

#include "images_memorisees.h"
#include "ligne_numerique.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <QTextLayout>

#include <array>
#include <cmath>
#include <vector>

Tlabel_memorise::Tlabel_memorise(QWidget* parent) : QLabel(parent) {
    // Its texts are numbers and dots, never markup.
    setTextFormat(Qt::PlainText);
}

void Tlabel_memorise::changeEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
    case QEvent::ActivationChange:
        apparence_a_jour_ = false;
        break;
    default:
        break;
    }
    QLabel::changeEvent(e);
}

// A text set on a QLabel clears any picture or movie, so a label with a text is a text label.
// On Windows QLabel draws text on its opaque background with the system's subpixel
// smoothing, which a picture kept apart from any background cannot hold: QLabel draws there.
bool Tlabel_memorise::memorisable() const {
#ifdef Q_OS_WIN
    return false;
#endif
    const bool texte_brut = textFormat() == Qt::PlainText ||
                            (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
    const auto selection = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    return !text().isEmpty() && texte_brut && !wordWrap() &&
           !(textInteractionFlags() & selection) && buddy() == nullptr;
}

Tlabel_memorise::Tgeometrie Tlabel_memorise::geometrie(qreal ratio) const {
    return {contentsRect(),   margin(),         indent(),
            frameWidth(),     int(alignment()), text().isRightToLeft(),
            isActiveWindow(), foregroundRole(), ratio};
}

// QLabel's own layout of a plain text: its contents less the margin and, where it has
// one, the indent on the aligned sides (half an "x" beside a frame when none is set).
QRect Tlabel_memorise::zone_du_texte(const Tgeometrie& g, int alignement) const {
    QRect zone = g.contenu.adjusted(g.marge, g.marge, -g.marge, -g.marge);
    int retrait = g.retrait;
    if (retrait < 0 && g.cadre > 0)
        retrait = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - g.marge;
    if (retrait > 0) {
        if (alignement & Qt::AlignLeft) zone.setLeft(zone.left() + retrait);
        if (alignement & Qt::AlignRight) zone.setRight(zone.right() - retrait);
        if (alignement & Qt::AlignTop) zone.setTop(zone.top() + retrait);
        if (alignement & Qt::AlignBottom) zone.setBottom(zone.bottom() - retrait);
    }
    return zone;
}

Tlabel_memorise::Tapparence Tlabel_memorise::apparence(const Tgeometrie& g) const {
    const Qt::LayoutDirection sens = g.droite_a_gauche ? Qt::RightToLeft : Qt::LeftToRight;
    const int alignement = QStyle::visualAlignment(sens, Qt::Alignment(g.alignement));
    Tapparence a;
    a.zone = zone_du_texte(g, alignement);
    a.drapeaux = alignement |
                 (sens == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    a.ratio = g.ratio;
    QStyleOption option;
    option.initFrom(this);
    a.brosse = option.palette.brush(foregroundRole());
    a.cle_encre = font().key() + QLatin1Char('|') + QString::number(a.brosse.color().rgba()) +
                  QLatin1Char('|') + QString::number(a.brosse.style());
    a.cle = QStringLiteral("velmora_label|%1|%2|%3|%4,%5,%6x%7|%8|%9|")
                .arg(style()->name(), a.cle_encre)
                .arg(isEnabled())
                .arg(a.zone.x())
                .arg(a.zone.y())
                .arg(a.zone.width())
                .arg(a.zone.height())
                .arg(a.drapeaux)
                .arg(g.ratio);
    return a;
}

// The label's drawing of its text, cut down to its ink.
Timage_memorisee Tlabel_memorise::dessin(const Tapparence& a) const {
    if (std::optional<Timage_memorisee> image = compose(a)) return *image;
    QImage image((QSizeF(a.zone.size()) * a.ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(a.ratio);
    image.fill(Qt::transparent);
    QStyleOption option;
    option.initFrom(this);
    QPainter p(&image);
    p.setFont(font());
    style()->drawItemText(&p, QRect(QPoint(), a.zone.size()), a.drapeaux, option.palette,
                          isEnabled(), text(), foregroundRole());
    p.end();
    return rogne_a_l_encre(image);
}

namespace {

// A text's glyphs on one line, with the line's advance and height.
struct Tglyphes_en_ligne {
    std::vector<QGlyphRun> suites;
    qreal avance = 0;
    qreal hauteur = 0;
};

// A number's glyphs from its characters' measures; any other text's from Qt's layout.
Tglyphes_en_ligne glyphes_en_ligne(const QFont& police, const QString& texte) {
    Tglyphes_en_ligne l;
    if (const std::optional<Tligne_numerique> ligne = ligne_numerique(police, texte)) {
        QGlyphRun suite;
        suite.setRawFont(ligne->police);
        suite.setGlyphIndexes(ligne->glyphes);
        suite.setPositions(ligne->positions);
        l.suites.push_back(suite);
        l.avance = ligne->avance;
        l.hauteur = ligne->hauteur;
        return l;
    }
    QTextLayout mise_en_page(texte, police);
    const QTextLine ligne = dispose_sur_une_ligne(mise_en_page);
    const QList<QGlyphRun> suites = mise_en_page.glyphRuns();
    l.suites.assign(suites.begin(), suites.end());
    l.avance = ligne.horizontalAdvance();
    l.hauteur = ligne.ascent() + ligne.descent();
    return l;
}

// Where QLabel's painter starts one line in a rectangle of `zone`: by the line's advance
// across, by its ascent and descent down.
QPointF debut_de_ligne(QSizeF zone, int drapeaux, const Tglyphes_en_ligne& l) {
    const qreal x = (drapeaux & Qt::AlignRight)     ? zone.width() - l.avance
                    : (drapeaux & Qt::AlignHCenter) ? (zone.width() - l.avance) / 2
                                                    : 0;
    const qreal y = (drapeaux & Qt::AlignBottom)    ? zone.height() - l.hauteur
                    : (drapeaux & Qt::AlignVCenter) ? (zone.height() - l.hauteur) / 2
                                                    : 0;
    return {x, y};
}

// The glyphs' pictures, each at its place in label pixels, as one picture of their union.
Timage_memorisee assemble(const std::vector<Timage_memorisee>& glyphes) {
    QRect encre;
    for (const Timage_memorisee& g : glyphes)
        encre |= QRect(g.ou, g.image.size());
    if (encre.isEmpty()) return {};
    QImage image(encre.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    for (const Timage_memorisee& g : glyphes)
        p.drawImage(g.ou - encre.topLeft(), g.image);
    p.end();
    return {image, encre.topLeft()};
}

} // namespace

// The text put together glyph by glyph, each glyph's picture at the whole pixel of its
// origin. Only where a line is the whole story: one line, left to right, at one pixel a
// pixel, in a plain colour; a right-aligned text starting with blanks is left to Qt, which
// places it by its width without them.
std::optional<Timage_memorisee> Tlabel_memorise::compose(const Tapparence& a) const {
    if (a.ratio != 1 || !isEnabled() || a.brosse.style() != Qt::SolidPattern ||
        (a.drapeaux & Qt::TextForceRightToLeft) || text().contains(QLatin1Char('\n')) ||
        ((a.drapeaux & Qt::AlignRight) && text().startsWith(QLatin1Char(' '))))
        return std::nullopt;
    const Tglyphes_en_ligne ligne = glyphes_en_ligne(font(), text());
    const QPointF debut = debut_de_ligne(a.zone.size(), a.drapeaux, ligne);
    std::vector<Timage_memorisee> glyphes;
    for (const QGlyphRun& suite : ligne.suites) {
        const QList<quint32> indices = suite.glyphIndexes();
        const QList<QPointF> positions = suite.positions();
        for (qsizetype i = 0; i < indices.size(); ++i) {
            const QPointF ou = debut + positions[i];
            const QPoint pixel(static_cast<int>(std::floor(ou.x())),
                               static_cast<int>(std::floor(ou.y())));
            Timage_memorisee g = glyphe(suite.rawFont(), indices[i], ou - pixel, a);
            if (g.image.isNull()) continue;
            g.ou += pixel;
            glyphes.push_back(std::move(g));
        }
    }
    return assemble(glyphes);
}

// One glyph as Qt draws it with its origin at `fraction` of a pixel, remembered. The key
// holds the fraction's exact bits.
Timage_memorisee Tlabel_memorise::glyphe(const QRawFont& police, quint32 indice, QPointF fraction,
                                         const Tapparence& a) const {
    const std::array<double, 2> xy{fraction.x(), fraction.y()};
    QString cle = QStringLiteral("velmora_glyphe|") + a.cle_encre + QLatin1Char('|') +
                  QString::number(indice) + QLatin1Char('|');
    cle.append(reinterpret_cast<const QChar*>(xy.data()), sizeof xy / sizeof(QChar));
    Timage_memorisee image;
    if (image_memorisee(cle, image)) return image;
    // Room around the outline's box, which hinting may leave by a pixel.
    const QRect cadre =
        police.boundingRect(indice).translated(fraction).toAlignedRect().adjusted(-3, -3, 3, 3);
    QImage dessin(cadre.size(), QImage::Format_ARGB32_Premultiplied);
    dessin.fill(Qt::transparent);
    {
        QGlyphRun seul;
        seul.setRawFont(police);
        seul.setGlyphIndexes({indice});
        seul.setPositions({QPointF()});
        QPainter p(&dessin);
        p.setPen(QPen(a.brosse, 1));
        p.drawGlyphRun(fraction - QPointF(cadre.topLeft()), seul);
    }
    image = rogne_a_l_encre(dessin);
    image.ou += cadre.topLeft();
    memorise(cle, image);
    return image;
}

void Tlabel_memorise::paintEvent(QPaintEvent* e) {
    if (!memorisable()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    if (frameShape() != QFrame::NoFrame) drawFrame(&p);
    // The ratio of what is painted on, which a render into a picture may not share
    // with the screen.
    const Tgeometrie g = geometrie(p.paintEngine()->paintDevice()->devicePixelRatio());
    if (!apparence_a_jour_ || !(g == geometrie_)) {
        apparence_ = apparence(g);
        geometrie_ = g;
        apparence_a_jour_ = true;
    }
    const QString cle = apparence_.cle + text();
    Timage_memorisee image;
    if (!image_memorisee(cle, image)) {
        image = dessin(apparence_);
        memorise(cle, image);
    }
    if (!image.image.isNull())
        p.drawImage(QPointF(apparence_.zone.topLeft()) + QPointF(image.ou) / apparence_.ratio,
                    image.image);
}
