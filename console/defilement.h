#pragma once
// The speed scroll bar, moved from the keyboard as on the crew's old laptops: Left and
// Up one step down, Right and Down one step up, Page Up and Page Down a page, Home and
// End to either end; while it has the focus a frame shows around its thumb.

#include <QScrollBar>

class Tdefilement : public QScrollBar {
    Q_OBJECT
public:
    explicit Tdefilement(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};
