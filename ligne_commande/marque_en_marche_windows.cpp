#include "marque_en_marche.h"

#include <windows.h>

void pose_marque_en_marche() {
    // The handle stays open until the program ends: it is the mark.
    CreateMutexW(nullptr, FALSE, L"" VELMORA_MARQUE_EN_MARCHE);
}
