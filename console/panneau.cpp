#include "panneau.h"

#include <QMouseEvent>

Tpanneau::Tpanneau(QWidget* parent) : QLabel(parent) {}

void Tpanneau::mousePressEvent(QMouseEvent* e) {
    enfonce_ = e->button() == Qt::LeftButton;
    QLabel::mousePressEvent(e);
}

// A click is a press and a release inside the panel, as for a button.
void Tpanneau::mouseReleaseEvent(QMouseEvent* e) {
    const bool clic =
        enfonce_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    enfonce_ = false;
    QLabel::mouseReleaseEvent(e);
    if (clic) emit clique();
}
