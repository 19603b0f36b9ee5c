#pragma once
// The gap gauge: minimum 0, a maximum and a position, no text. It fills from its
// zero end (the left, or the right under a right-to-left layout direction); the
// green-yellow-red gradient spans the whole bar and only the part up to the
// position shows, so the colour tells how close the gap is to the threshold.

#include <QWidget>

class Tbarre_ecart : public QWidget {
    Q_OBJECT
public:
    explicit Tbarre_ecart(QWidget* parent = nullptr);

    int maximum() const { return maximum_; }
    int position() const { return position_; }
    void ecrit_maximum(int m);
    void ecrit_position(int p);

    // Width in pixels of the filled part, inside the frame.
    int largeur_remplie() const;
    // The area inside the frame.
    QRect interieur() const;

    QSize sizeHint() const override { return {217, 26}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;

private:
    int maximum_ = 20;
    int position_ = 0;
};
