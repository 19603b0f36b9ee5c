#pragma once
// The engine's colours as the window shows them. The theme colours are those of
// a classic light desktop, fixed so the window looks the same on every machine.

#include "controles.h"

#include <QColor>

QColor couleur_systeme(Tcouleur c);
