#pragma once
// A label in the large digit face, drawn from pictures it remembers. At 67 px Qt
// draws text as outlines, hinted and filled again at every paint; the register
// digits change dozens of times a second while the car runs, and the trip-update
// entry, which overlaps the TOTAL row, is painted again with them. Here each text
// is drawn once per font, colour, size and pixel ratio, exactly as the label would
// draw it, and every later paint copies that picture. Plain text without a frame,
// as the form gives these labels.

#include <QLabel>

class Tlabel_memorise : public QLabel {
    Q_OBJECT
public:
    explicit Tlabel_memorise(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct Tjeu;
    // The pictures of the texts drawn in one look, shared by the labels that look alike.
    Tjeu* jeu_ = nullptr;
    qreal ratio_ = 0;
};
