#pragma once
// Where a dialog opens: the first of the places offered that is whole on the screen's free
// area and covers nothing of what the crew must keep reading; on a screen too small for that,
// the first place moved just enough to be whole on the screen.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <initializer_list>

QPoint place_dialogue(QSize taille, QRect libre, QRect a_garder,
                      std::initializer_list<QPoint> choix);
