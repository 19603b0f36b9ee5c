#include "rythme_liste.h"

#include <algorithm>

using std::chrono::milliseconds;

Trythme_liste::Trythme_liste(int periode_ms, int filet_ms, Tinstant maintenant)
    : periode_ms_(std::max(1, periode_ms)), filet_ms_(std::max(periode_ms_, filet_ms)),
      prochaine_(maintenant + milliseconds(periode_ms_)) {}

void Trythme_liste::mot_du_systeme(Tinstant maintenant) {
    mots_vus_ = true;
    prochaine_ = maintenant + milliseconds(filet_ms_);
}

int Trythme_liste::attente_ms(Tinstant maintenant, int delai_max_ms) const {
    const auto reste = std::chrono::ceil<milliseconds>(prochaine_ - maintenant);
    const int jusqu_a_la_liste =
        static_cast<int>(std::clamp<long long>(reste.count(), 0, periode_ms()));
    return delai_max_ms < 0 ? jusqu_a_la_liste : std::min(delai_max_ms, jusqu_a_la_liste);
}

bool Trythme_liste::due(Tinstant maintenant) {
    if (maintenant < prochaine_) return false;
    prochaine_ = maintenant + milliseconds(periode_ms());
    return true;
}
