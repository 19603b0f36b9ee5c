#pragma once
// The zone the window measurements drive: started a minute ago, three rows, typed in as a crew
// would, through the window's entrance, so that a recorded run replays. VALIDER is left to the
// caller.
#include "entree.h"

#include <QTime>

#include <string>
#include <utility>

inline void tape_une_zone_commencee(Tentree& entree) {
    const auto deux_chiffres = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    const QTime depart = QTime::currentTime().addSecs(-60);
    const std::pair<const char*, std::string> saisies[] = {
        {"cb_heure_zr", deux_chiffres(depart.hour())},
        {"cb_min_zr", deux_chiffres(depart.minute())},
        {"cb_sec_zr", deux_chiffres(depart.second())},
        {"memo_kms", "2.500\n7.250\n120.000"},
        {"memo_moy", "45.00\n48.5\n40"}};
    for (const auto& [champ, texte] : saisies)
        entree.distribue(Tevenement::texte_tape(champ, texte));
}
