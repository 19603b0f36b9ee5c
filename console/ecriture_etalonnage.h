#pragma once
// A measured pair written into its slot of etalonnage.txt, the rest of the file kept byte for
// byte, through the one checked way of writing a file (Tecriture_fichier).

#include "avant_depart.h"

#include <QString>

#include <optional>

// Nothing when saved; otherwise the French text for the crew, the file untouched. A file
// marked read-only is left alone even for a user the system would let write it.
std::optional<QString> enregistre_etalonnage(const QString& chemin, int emplacement,
                                             Tpaire_etalonnage paire);
