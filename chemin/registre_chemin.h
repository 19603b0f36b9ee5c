#pragma once
// The user's PATH where Windows keeps it (HKCU\Environment, value Path): read whole whatever
// its length, written back with the type it had (REG_SZ or REG_EXPAND_SZ; created as
// REG_EXPAND_SZ, as Windows creates it in a new profile), and announced to the programs
// running (WM_SETTINGCHANGE "Environment").

#include "entrees_chemin.h"

#include <string>
#include <string_view>

enum class Toperation_chemin { ajoute, retire };

struct Tbilan_chemin {
    Tissue_chemin issue = Tissue_chemin::deja_fait;
    // Why the registry could not be read or written, in French; empty when it could. The PATH
    // is then as it was.
    std::string erreur;
};

Tbilan_chemin modifie_chemin_utilisateur(Toperation_chemin operation, std::u16string_view dossier);
