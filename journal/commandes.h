#pragma once
// The controls through which the crew feeds the engine, by their names: the window
// wires its widgets from these lists, and a journal names them the same way.

#include "moteur.h"

#include <string>
#include <string_view>
#include <vector>

using Tgestionnaire = void (Tmoteur::*)();

// A button or panel and the handler of its click.
struct Tclic {
    std::string_view nom;
    Tgestionnaire gestionnaire;
};
const std::vector<Tclic>& clics();
// Nothing when no control of that name is clicked.
Tgestionnaire gestionnaire_clic(std::string_view nom);

// A check box or radio button, whose state the crew sets.
Tmodele_case* case_nommee(Tmoteur& m, std::string_view nom);
bool est_une_case(std::string_view nom);

// An edit field, combo box or multi-line field, whose text the crew types: writes the
// typed text into it; false when no field has that name.
bool ecrit_champ(Tmoteur& m, std::string_view nom, const std::string& texte);
bool est_un_champ(std::string_view nom);

// A combo box whose handler runs on the crew's own choice or keystroke.
struct Tchoix {
    std::string_view nom;
    Tmodele_champ Tmoteur::*modele;
    Tgestionnaire gestionnaire;
};
const std::vector<Tchoix>& choix();
const Tchoix* choix_nomme(std::string_view nom);
