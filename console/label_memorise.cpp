#include "label_memorise.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

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
bool Tlabel_memorise::memorisable() const {
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
Tlabel_memorise::Tapparence Tlabel_memorise::apparence(const Tgeometrie& g) const {
    const Qt::LayoutDirection sens = g.droite_a_gauche ? Qt::RightToLeft : Qt::LeftToRight;
    const int alignement = QStyle::visualAlignment(sens, Qt::Alignment(g.alignement));
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
    const int drapeaux = alignement | (sens == Qt::LeftToRight ? Qt::TextForceLeftToRight
                                                               : Qt::TextForceRightToLeft);
    QStyleOption option;
    option.initFrom(this);
    const QString cle = QStringLiteral("velmora_label|%1|%2|%3|%4,%5,%6x%7|%8|%9|")
                            .arg(style()->name(), font().key())
                            .arg(option.palette.color(foregroundRole()).rgba())
                            .arg(zone.x())
                            .arg(zone.y())
                            .arg(zone.width())
                            .arg(zone.height())
                            .arg(drapeaux)
                            .arg(g.ratio);
    return {zone, drapeaux, g.ratio, cle};
}

// The label's own drawing of its text, on a transparent picture of the text's rectangle.
QPixmap Tlabel_memorise::dessin(const Tapparence& a) const {
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
    return QPixmap::fromImage(std::move(image));
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
    QPixmap image;
    if (!QPixmapCache::find(cle, &image)) {
        image = dessin(apparence_);
        QPixmapCache::insert(cle, image);
    }
    p.drawPixmap(apparence_.zone.topLeft(), image);
}
