#include "rejeu.h"

#include "horloges_journal.h"
#include "texte_journal.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::string entre_guillemets(const std::string& t) {
    return "« " + t + " »";
}

std::string hexa(const std::vector<std::uint8_t>& o) {
    return octets_en_hexa(o.data(), o.size());
}

} // namespace

std::string decrit_ligne(const Tjournal& j, const Tligne_journal& l) {
    switch (l.genre) {
    case Tgenre_ligne::evenement:
        return "évènement : " + decrit_evenement(j.evenement(l));
    case Tgenre_ligne::heure:
        return "heure";
    case Tgenre_ligne::heure_texte:
        return "texte de l'heure";
    case Tgenre_ligne::separateur:
        return "séparateur décimal";
    case Tgenre_ligne::repertoire:
        return "dossier du programme";
    case Tgenre_ligne::fichier:
        return "lecture du fichier " + j.contenu(l).texte;
    case Tgenre_ligne::boite:
        return "message " + entre_guillemets(j.contenu(l).texte);
    case Tgenre_ligne::fin_boite:
        return "fermeture du message";
    case Tgenre_ligne::dialogue:
        return "choix d'un fichier";
    case Tgenre_ligne::fin_dialogue:
        return "fin du choix d'un fichier";
    case Tgenre_ligne::hid_connect:
        return "boîtier : Connect";
    case Tgenre_ligne::hid_vid:
        return "boîtier : GetVendorID(" + std::to_string(l.n[0]) + ")";
    case Tgenre_ligne::hid_pid:
        return "boîtier : GetProductID(" + std::to_string(l.n[0]) + ")";
    case Tgenre_ligne::hid_handle:
        return "boîtier : GetHandle";
    case Tgenre_ligne::hid_notif:
        return "boîtier : SetReadNotify(" + std::to_string(l.n[0]) + ")";
    case Tgenre_ligne::hid_lit:
        return "boîtier : Read(" + std::to_string(l.n[0]) + ")";
    case Tgenre_ligne::hid_ecrit:
        return "boîtier : Write(" + std::to_string(l.n[0]) + ")";
    case Tgenre_ligne::point:
        return "point de contrôle de " + j.points[l.index].heure;
    case Tgenre_ligne::question:
        return "question " + entre_guillemets(j.contenu(l).texte);
    case Tgenre_ligne::fin_question:
        return "réponse à la question";
    case Tgenre_ligne::saut_horloge:
        return "saut de l'horloge de l'ordinateur";
    }
    return {};
}

void Trejeu::rejoue(Tentree& entree) {
    entree_ = &entree;
    try {
        boucle(std::nullopt);
    } catch (const Tarret_rejeu&) {
    }
}

void Trejeu::diverge(std::string controle, std::string enregistre, std::string rejoue,
                     std::optional<std::string> heure) {
    const std::size_t n = std::min(i_, j_.lignes.size());
    const std::uint32_t ligne = n < j_.lignes.size() ? j_.lignes[n].numero
                                : j_.lignes.empty()  ? 0
                                                     : j_.lignes.back().numero + 1;
    divergence_ = Tdivergence{heure.value_or(heure_courante()), ligne, std::move(controle),
                              std::move(enregistre), std::move(rejoue)};
    throw Tarret_rejeu{};
}

void Trejeu::fin_du_journal(const std::string& demande) {
    if (j_.complet) diverge("demande du moteur", "fin du journal", demande);
    coupe_ = true;
    throw Tarret_rejeu{};
}

const Tligne_journal& Trejeu::attend(Tgenre_ligne g, const std::string& demande) {
    if (i_ >= j_.lignes.size()) fin_du_journal(demande);
    const Tligne_journal& l = j_.lignes[i_];
    if (l.genre != g) diverge("demande du moteur", decrit_ligne(j_, l), demande);
    ++i_;
    return l;
}

void Trejeu::boucle(std::optional<Tgenre_ligne> fin) {
    for (;;) {
        if (i_ >= j_.lignes.size()) {
            if (!fin) return;
            fin_du_journal(*fin == Tgenre_ligne::fin_boite      ? "fermeture du message"
                           : *fin == Tgenre_ligne::fin_dialogue ? "fin du choix d'un fichier"
                                                                : "réponse à la question");
        }
        const Tligne_journal& l = j_.lignes[i_];
        if (fin && l.genre == *fin) return;
        if (l.genre == Tgenre_ligne::evenement) {
            const Tevenement e = j_.evenement(l);
            ligne_evenement_ = l.numero;
            if (avant) avant(e, l.n[0]);
            ++i_;
            entree_->distribue(e);
            if (apres) apres(e);
            point_apres(e);
        } else if (l.genre == Tgenre_ligne::point) {
            // A checkpoint where the recorder writes none.
            diverge("point de contrôle", decrit_ligne(j_, l), "aucun", j_.points[l.index].heure);
        } else {
            // An answer the engine did not ask for.
            diverge("demande du moteur", decrit_ligne(j_, l),
                    fin ? "aucune, avant la fin de la boîte" : "aucune");
        }
    }
}

void Trejeu::point_apres(const Tevenement& e) {
    // As the recorder does: after the first event that ends in a new second of the engine's
    // clock, and after the window's close.
    const std::string heure = heure_du_moteur(entree_->moteur());
    if (heure.empty() ||
        (heure == heure_du_dernier_point_ && e.genre != Tgenre_evenement::fermeture))
        return;
    heure_du_dernier_point_ = heure;
    const std::string attendu = "point de contrôle de " + heure;
    if (i_ >= j_.lignes.size()) fin_du_journal(attendu);
    const Tligne_journal& l = j_.lignes[i_];
    if (l.genre != Tgenre_ligne::point) diverge("point de contrôle", decrit_ligne(j_, l), attendu);
    ++i_;
    verifie(j_.points[l.index]);
}

std::uint32_t Trejeu::ligne_atteinte() const {
    if (divergence_) return divergence_->ligne;
    const std::size_t n = std::min(i_, j_.lignes.size());
    return n == 0 ? 0 : j_.lignes[n - 1].numero;
}

void Trejeu::verifie(const Tpoint_controle& enregistre) {
    const Tpoint_controle rejoue = prend_point(entree_->moteur());
    if (enregistre.heure != rejoue.heure) {
        --i_;
        diverge("heure", enregistre.heure, rejoue.heure, enregistre.heure);
    }
    if (enregistre.ordinateur != rejoue.ordinateur) {
        --i_;
        const auto ou_aucune = [](const std::string& h) {
            return h.empty() ? std::string("la même que l'heure officielle") : h;
        };
        diverge("heure de l'ordinateur", ou_aucune(enregistre.ordinateur),
                ou_aucune(rejoue.ordinateur), enregistre.heure);
    }
    for (const auto& v : valeurs_controlees)
        if (enregistre.*v.valeur != rejoue.*v.valeur) {
            --i_; // the checkpoint's own line
            diverge(v.controle, enregistre.*v.valeur, rejoue.*v.valeur, enregistre.heure);
        }
    ++points_compares_;
    if (sur_point) sur_point(enregistre);
}

void Trejeu::message(const std::string& texte) {
    const Tligne_journal& l = attend(Tgenre_ligne::boite, "message " + entre_guillemets(texte));
    if (const std::string& enregistre = j_.contenu(l).texte; enregistre != texte) {
        --i_;
        diverge("message", enregistre, texte);
    }
    if (boite_ouverte) boite_ouverte(texte);
    boucle(Tgenre_ligne::fin_boite);
    ++i_;
    if (boite_fermee) boite_fermee();
}

std::string Trejeu::heure_courante() const {
    const std::string h = entree_ ? heure_du_moteur(entree_->moteur()) : std::string();
    return h.empty() ? "--:--:--" : h;
}

bool Trejeu::question(const std::string& texte, const std::string& oui, const std::string& non) {
    const Tligne_journal& l = attend(Tgenre_ligne::question, "question " + entre_guillemets(texte));
    const Tcontenu_ligne& c = j_.contenu(l);
    if (c.texte != texte || c.lignes != std::vector<std::string>{oui, non}) {
        --i_;
        diverge("question", c.texte, texte);
    }
    if (boite_ouverte) boite_ouverte(texte);
    boucle(Tgenre_ligne::fin_question);
    const bool r = j_.lignes[i_++].n[0] != 0;
    if (boite_fermee) boite_fermee();
    return r;
}

Thorloges Trejeu::horloges() {
    if (j_.format < 2 && i_ < j_.lignes.size() &&
        j_.lignes[i_].genre == Tgenre_ligne::heure_texte) {
        texte_heure_format_1_ = j_.contenu(j_.lignes[i_]).texte;
        ++i_;
    }
    const Tligne_journal& l = attend(Tgenre_ligne::heure, "heure");
    return {l.n[1], heure_de_ms(l.n[0])};
}

std::string Trejeu::heure_format_long(const Theure_du_jour& h) {
    if (texte_heure_format_1_) return *std::exchange(texte_heure_format_1_, std::nullopt);
    const Tligne_journal& l = attend(Tgenre_ligne::heure_texte, "texte de l'heure");
    if (l.n[0] >= 0 && l.n[0] != ms_du_jour(h)) {
        --i_;
        diverge("texte de l'heure", "texte de " + texte_hms(heure_de_ms(l.n[0])),
                "texte de " + texte_hms(h));
    }
    return j_.contenu(l).texte;
}

void Trejeu::saut_horloge(const Tsaut_horloge& s) {
    const std::string demande = "saut de l'horloge de l'ordinateur de " +
                                std::to_string(s.saut_ms) + " ms, " + mot_suite_saut(s.suite);
    const Tligne_journal& l = attend(Tgenre_ligne::saut_horloge, demande);
    if (l.n[0] != s.saut_ms || l.n[1] != static_cast<std::int64_t>(s.suite)) {
        --i_;
        diverge("saut de l'horloge",
                std::to_string(l.n[0]) + " ms, " + mot_suite_saut(static_cast<Tsuite_saut>(l.n[1])),
                std::to_string(s.saut_ms) + " ms, " + mot_suite_saut(s.suite));
    }
}

std::string Trejeu::separateur_decimal() {
    return j_.contenu(attend(Tgenre_ligne::separateur, "séparateur décimal")).texte;
}

std::string Trejeu::repertoire_executable() {
    return j_.contenu(attend(Tgenre_ligne::repertoire, "dossier du programme")).texte;
}

std::optional<std::string> Trejeu::choisit_fichier() {
    attend(Tgenre_ligne::dialogue, "choix d'un fichier");
    boucle(Tgenre_ligne::fin_dialogue);
    const Tligne_journal& l = j_.lignes[i_++];
    if (!l.present) return std::nullopt;
    return j_.contenu(l).texte;
}

std::optional<std::vector<std::string>>
Trejeu::lit_fichier(const std::string& chemin, Tfins_de_ligne fins, std::size_t nbr_lignes) {
    const Tligne_journal& l = attend(Tgenre_ligne::fichier, "lecture du fichier " + chemin);
    const std::int64_t genre = fins == Tfins_de_ligne::etalonnage ? 0 : 1;
    const Tcontenu_ligne& c = j_.contenu(l);
    if (c.texte != chemin || l.n[1] != genre || l.n[0] != static_cast<std::int64_t>(nbr_lignes)) {
        --i_;
        diverge("fichier lu", c.texte, chemin);
    }
    if (!l.present) return std::nullopt;
    return c.lignes;
}

void Trejeu::memoire_insuffisante() {
    throw std::bad_alloc();
}

THidResult Trejeu::Connect(IHidTarget*) {
    return static_cast<THidResult>(attend(Tgenre_ligne::hid_connect, "boîtier : Connect").n[0]);
}

namespace {

std::string appel(const char* operation, std::initializer_list<std::int64_t> arguments) {
    std::string t = std::string("boîtier : ") + operation + "(";
    bool premier = true;
    for (std::int64_t a : arguments) {
        if (!premier) t += ", ";
        t += std::to_string(a);
        premier = false;
    }
    return t + ")";
}

} // namespace

THidId Trejeu::GetVendorID(THidHandle handle) {
    const auto demande = appel("GetVendorID", {handle});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_vid, demande);
    if (l.n[0] != handle) {
        --i_;
        diverge("demande du moteur", decrit_ligne(j_, l), demande);
    }
    return static_cast<THidId>(l.n[1]);
}

THidId Trejeu::GetProductID(THidHandle handle) {
    const auto demande = appel("GetProductID", {handle});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_pid, demande);
    if (l.n[0] != handle) {
        --i_;
        diverge("demande du moteur", decrit_ligne(j_, l), demande);
    }
    return static_cast<THidId>(l.n[1]);
}

THidHandle Trejeu::GetHandle(THidId vendorId, THidId productId) {
    const auto demande = appel("GetHandle", {vendorId, productId});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_handle, demande);
    if (l.n[0] != vendorId || l.n[1] != productId) {
        --i_;
        diverge("demande du moteur", appel("GetHandle", {l.n[0], l.n[1]}), demande);
    }
    return static_cast<THidHandle>(l.n[2]);
}

THidResult Trejeu::SetReadNotify(THidHandle handle, THidBool value) {
    const auto demande = appel("SetReadNotify", {handle, value});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_notif, demande);
    if (l.n[0] != handle || l.n[1] != value) {
        --i_;
        diverge("demande du moteur", appel("SetReadNotify", {l.n[0], l.n[1]}), demande);
    }
    return static_cast<THidResult>(l.n[2]);
}

THidResult Trejeu::Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) {
    const auto demande = appel("Read", {handle, static_cast<std::int64_t>(length)});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_lit, demande);
    if (l.n[0] != handle || l.n[1] != static_cast<std::int64_t>(length)) {
        --i_;
        diverge("demande du moteur", appel("Read", {l.n[0], l.n[1]}), demande);
    }
    // Never more than the caller's buffer holds, whatever the journal says.
    const std::vector<std::uint8_t>& octets = j_.contenu(l).octets;
    const std::size_t n = std::min(octets.size(), length);
    if (n > 0) std::memcpy(buffer, octets.data(), n);
    return static_cast<THidResult>(l.n[2]);
}

THidResult Trejeu::Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) {
    const auto demande = appel("Write", {handle});
    const Tligne_journal& l = attend(Tgenre_ligne::hid_ecrit, demande);
    const std::vector<std::uint8_t> envoyes(buffer, buffer + length);
    const std::vector<std::uint8_t>& octets = j_.contenu(l).octets;
    if (l.n[0] != handle || octets != envoyes) {
        --i_;
        diverge("rapport envoyé au boîtier", appel("Write", {l.n[0]}) + " " + hexa(octets),
                demande + " " + hexa(envoyes));
    }
    return static_cast<THidResult>(l.n[1]);
}

std::string texte_divergence(const Tdivergence& d) {
    return "première divergence à " + texte_pour_terminal(d.heure) + ", ligne " +
           std::to_string(d.ligne) +
           " du journal\n  contrôle   : " + texte_pour_terminal(d.controle) +
           "\n  enregistré : " + texte_pour_terminal(d.enregistre) +
           "\n  rejoué     : " + texte_pour_terminal(d.rejoue);
}
