#pragma once
// The steps of a schedule's validation that build the segment table, shared by the
// window and the time-table program.

#include "controles.h"
#include "etat_regularite.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The rows of a schedule: the indices, among the first 201, where both fields hold a
// line. A line of blanks counts; the rows need not follow one another.
std::int32_t compte_rangees(const Tmodele_memo& kms, const Tmodele_memo& moy);

// Converts the first n rows of a field exactly, in thousandths (km to m, km/h to m/h),
// into `colonne`, and rewrites each line as prepared. A row that does not convert keeps
// its line and its entry, and its index goes to `echec`, in order.
void convertit_rangees(Tmodele_memo& champ, std::array<std::int32_t, nbr_lignes_max>& colonne,
                       std::int32_t n, const std::string& separateur,
                       const std::function<void(std::int32_t)>& echec);

// Durations and cumulative end times of the first n rows. An average of 0 throws the
// default error box's division error there: the durations before that row are already
// replaced and the end times are not touched.
void calcule_fins_rangees(Ttable_zr& table, std::int32_t n);
