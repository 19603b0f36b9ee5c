#pragma once
// A digit of a distance register: a number of the instrument that fills its box with the
// panel's colour, which it inherits, so that the panel under it is not painted again at each
// change. No other control lies under a digit.

#include "afficheur.h"
#include "horodatage_peinture.h"

class Tchiffre_registre : public Tafficheur {
    Q_OBJECT
public:
    explicit Tchiffre_registre(QWidget* parent = nullptr) : Tafficheur(parent) {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        Tafficheur::paintEvent(e);
        // When a pulse reaches the screen: measured by scripts/bench, off otherwise.
        if (horodatage_peinture_actif) [[unlikely]]
            note_fin_peinture(*this);
    }
};
