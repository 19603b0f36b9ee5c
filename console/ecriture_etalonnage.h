#pragma once
// A measured pair written into its slot of etalonnage.txt, the rest of the file kept byte for
// byte, through a save that replaces the file only once the new one is whole on the disk.

#include "avant_depart.h"

#include <QString>

#include <optional>

// Nothing when saved; otherwise the French text for the crew, the file untouched. A file
// marked read-only is left alone even for a user the system would let write it.
std::optional<QString> enregistre_etalonnage(const QString& chemin, int emplacement,
                                             Tpaire_etalonnage paire);
