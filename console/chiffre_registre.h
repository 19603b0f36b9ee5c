#pragma once
// A digit of a distance register: Qt's own label, filling its box with the panel's colour,
// which it inherits, so that the panel under it is not painted again at each change. No
// other control lies under a digit.

#include "horodatage_peinture.h"

#include <QLabel>

class Tchiffre_registre : public QLabel {
    Q_OBJECT
public:
    explicit Tchiffre_registre(QWidget* parent = nullptr) : QLabel(parent) {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QLabel::paintEvent(e);
        // When a pulse reaches the screen: measured by scripts/bench, off otherwise.
        if (horodatage_peinture_actif) [[unlikely]]
            note_fin_peinture(*this);
    }
};
