#pragma once
// A panel of the window: a framed area with a background colour, optionally a
// caption, that reports a click (the remote's red button is one).

#include <QLabel>

class Tpanneau : public QLabel {
    Q_OBJECT
public:
    explicit Tpanneau(QWidget* parent = nullptr);

signals:
    void clique();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool enfonce_ = false;
};
