#include "place_dialogue.h"

#include <algorithm>

QPoint place_dialogue(QSize taille, QRect libre, QRect a_garder,
                      std::initializer_list<QPoint> choix) {
    for (const QPoint& p : choix) {
        const QRect r(p, taille);
        if (libre.contains(r) && !r.intersects(a_garder)) return p;
    }
    const QPoint p = choix.size() > 0 ? *choix.begin() : libre.topLeft();
    return {
        std::clamp(p.x(), libre.left(), std::max(libre.left(), libre.right() + 1 - taille.width())),
        std::clamp(p.y(), libre.top(),
                   std::max(libre.top(), libre.bottom() + 1 - taille.height()))};
}
