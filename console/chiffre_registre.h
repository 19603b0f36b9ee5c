#pragma once
// A digit of a distance register: a remembered label that fills its box with the
// panel's colour, which it inherits, so that the panel under it is not painted
// again at each change. No other control lies under a digit.

#include "horodatage_peinture.h"
#include "label_memorise.h"

class Tchiffre_registre : public Tlabel_memorise {
    Q_OBJECT
public:
    explicit Tchiffre_registre(QWidget* parent = nullptr) : Tlabel_memorise(parent) {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        Tlabel_memorise::paintEvent(e);
        // When a pulse reaches the screen: measured by scripts/bench, off otherwise.
        if (horodatage_peinture_actif) [[unlikely]]
            note_fin_peinture(*this);
    }
};
