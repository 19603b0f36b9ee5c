#include "lecture_journal.h"

#include "disque.h"
#include "enregistreur.h"
#include "horloges_journal.h"
#include "texte_affichable.h"
#include "texte_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

namespace {

constexpr std::int64_t max_u32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t min_i32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t max_i32 = std::numeric_limits<std::int32_t>::max();
// A counter's milliseconds: any origin, within centuries of it.
constexpr std::int64_t compteur_max = std::int64_t{1} << 46;

// The start of a line as a message quotes it: as the journal writes a text, then as every
// program escapes what it prints.
std::string extrait(std::string_view ligne) {
    std::string t;
    ajoute_texte(t, ligne.substr(0, 60));
    if (ligne.size() > 60) t.insert(t.size() - 1, "…");
    return texte_affichable(t);
}

bool semble_binaire(std::string_view octets) {
    const std::string_view debut = octets.substr(0, 512);
    for (char c : debut)
        if (c == '\0') return true;
    // A cut in the middle of a UTF-8 sequence at the 512th byte is not binary.
    std::size_t fin = debut.size();
    while (fin > 0 && debut.size() - fin < 4 &&
           (static_cast<unsigned char>(debut[fin - 1]) & 0xC0) == 0x80)
        --fin;
    if (fin > 0 && static_cast<unsigned char>(debut[fin - 1]) >= 0xC0) --fin;
    std::string_view texte = debut.substr(0, fin);
    for (std::size_t i = 0; i < texte.size();) {
        const std::size_t nl = texte.find('\n', i);
        const std::string_view l = texte.substr(i, nl == std::string_view::npos ? nl : nl - i);
        std::string_view sans_cr = l;
        if (!sans_cr.empty() && sans_cr.back() == '\r') sans_cr.remove_suffix(1);
        if (!ligne_lisible(sans_cr)) return true;
        if (nl == std::string_view::npos) break;
        i = nl + 1;
    }
    return false;
}

class Tlecteur {
public:
    Tlecteur(std::string_view octets, std::string nom) : octets_(octets), nom_(std::move(nom)) {}

    Tjournal lit() {
        if (octets_.empty())
            throw Tjournal_illisible(nom_ + " est vide : ce n'est pas un journal de bord VELMORA");
        if (semble_binaire(octets_))
            throw Tjournal_illisible(nom_ +
                                     " est un fichier binaire, pas un journal de bord VELMORA");
        const auto premiere = suivante();
        if (!premiere || *premiere != signature_journal)
            throw Tjournal_illisible(
                nom_ + " n'est pas un journal de bord VELMORA : sa première ligne n'est pas « " +
                std::string(signature_journal) + " »");
        entete();
        corps();
        return std::move(j_);
    }

private:
    // The next whole line, or nothing at the end; a last line without its line feed is cut.
    std::optional<std::string_view> suivante() {
        if (pos_ >= octets_.size()) return std::nullopt;
        const std::size_t nl = octets_.find('\n', pos_);
        ++numero_;
        if (nl == std::string_view::npos) {
            j_.ligne_coupee = numero_;
            pos_ = octets_.size();
            return std::nullopt;
        }
        std::string_view l = octets_.substr(pos_, nl - pos_);
        pos_ = nl + 1;
        // A copy through a mail client ends its lines with CR LF: a journal's texts escape
        // their CRs, so a last one is the line's end.
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (l.size() > longueur_ligne_journal_max)
            throw Tjournal_illisible(nom_ + " : ligne " + std::to_string(numero_) +
                                     " illisible : elle dépasse " +
                                     std::to_string(longueur_ligne_journal_max >> 20) +
                                     " Mio, ce qu'aucun parcours n'écrit");
        return l;
    }

    [[noreturn]] void illisible(std::string_view ligne, const std::string& pourquoi = {}) const {
        throw Tjournal_illisible(nom_ + " : ligne " + std::to_string(numero_) + " illisible : " +
                                 extrait(ligne) + (pourquoi.empty() ? "" : " (" + pourquoi + ")"));
    }

    std::string_view ligne_d_entete(const char* attendu) {
        const auto l = suivante();
        if (!l)
            throw Tjournal_illisible(nom_ + " est coupé dans son en-tête (ligne " +
                                     std::to_string(numero_) + ") : il n'y a rien à rejouer");
        const std::string_view a(attendu);
        if (l->substr(0, a.size()) != a) illisible(*l);
        return l->substr(a.size());
    }

    void entete() {
        const std::string_view format = ligne_d_entete("format ");
        const auto v = lit_nombre(format, format_journal_min, max_i32);
        if (!v) illisible("format " + std::string(format));
        j_.format = static_cast<int>(*v);
        if (j_.format > version_format_journal)
            throw Tjournal_illisible(nom_ + " est au format " + std::to_string(j_.format) +
                                     ", plus récent que celui que ce programme sait lire (format " +
                                     std::to_string(version_format_journal) +
                                     ") : mettez VELMORA à jour pour le lire");
        j_.programme = std::string(ligne_d_entete("programme "));
        if (j_.programme.size() > 64 || !ligne_lisible(j_.programme))
            illisible("programme " + j_.programme);
        j_.date = std::string(ligne_d_entete("date "));
        if (j_.date.size() > 64 || !ligne_lisible(j_.date)) illisible("date " + j_.date);
        const std::string_view debut = ligne_d_entete("debut");
        if (!debut.empty()) illisible("debut" + std::string(debut));
    }

    void corps() {
        // As many lines as line feeds at most: reserved at once, the lines cost no more than
        // they need (a growing vector would hold up to twice as many for a while).
        j_.lignes.reserve(static_cast<std::size_t>(
            std::count(octets_.begin() + static_cast<std::ptrdiff_t>(pos_), octets_.end(), '\n')));
        while (const auto l = suivante()) {
            if (j_.complet) illisible(*l); // nothing after the closing line
            if (*l == "fin") {
                j_.complet = true;
                continue;
            }
            const auto mots = decoupe_ligne(*l);
            if (!mots || mots->empty()) illisible(*l);
            if (const auto pourquoi = interprete(*mots)) illisible(*l, *pourquoi);
            j_.lignes.back().numero = numero_;
        }
    }

    // Numbers mots[debut..] into n[], each within its bounds.
    bool nombres(const std::vector<std::string>& mots, std::size_t debut,
                 std::initializer_list<std::pair<std::int64_t, std::int64_t>> bornes,
                 Tligne_journal& l) {
        std::size_t k = 0;
        for (const auto& [min, max] : bornes) {
            if (debut + k >= mots.size()) return false;
            const auto v = lit_nombre(mots[debut + k], min, max);
            if (!v) return false;
            l.n[k++] = *v;
        }
        return true;
    }

    // A time of day "H M S MS" from mots[debut..] into n[0], in milliseconds.
    bool heure(const std::vector<std::string>& mots, std::size_t debut, Tligne_journal& l) {
        if (!nombres(mots, debut, {{0, 23}, {0, 59}, {0, 59}, {0, 999}}, l)) return false;
        l.n[0] = ms_du_jour({static_cast<std::int32_t>(l.n[0]), static_cast<std::int32_t>(l.n[1]),
                             static_cast<std::int32_t>(l.n[2]), static_cast<std::int32_t>(l.n[3])});
        l.n[1] = l.n[2] = l.n[3] = 0;
        return true;
    }

    // Boxes and file dialogs open one in another: a box's or a dialog's closing line must
    // close the last one opened, and their nesting stays within what the replay can run.
    std::string imbrique(Tgenre_ligne g) {
        if (g == Tgenre_ligne::boite || g == Tgenre_ligne::dialogue ||
            g == Tgenre_ligne::question) {
            if (ouvertes_.size() >= imbrication_journal_max)
                return "plus de " + std::to_string(imbrication_journal_max) +
                       " messages ou choix de fichier ouverts l'un dans l'autre";
            ouvertes_.push_back(g);
        } else if (g == Tgenre_ligne::fin_boite || g == Tgenre_ligne::fin_dialogue ||
                   g == Tgenre_ligne::fin_question) {
            const Tgenre_ligne ouverture = g == Tgenre_ligne::fin_boite ? Tgenre_ligne::boite
                                           : g == Tgenre_ligne::fin_dialogue
                                               ? Tgenre_ligne::dialogue
                                               : Tgenre_ligne::question;
            if (ouvertes_.empty() || ouvertes_.back() != ouverture)
                return g == Tgenre_ligne::fin_boite      ? "aucun message n'est ouvert"
                       : g == Tgenre_ligne::fin_dialogue ? "aucun choix de fichier n'est ouvert"
                                                         : "aucune question n'est posée";
            ouvertes_.pop_back();
        }
        return {};
    }

    // Nothing when the line's words are a journal line, kept; otherwise why not, in French
    // (empty when they are not one at all).
    std::optional<std::string> interprete(const std::vector<std::string>& m) {
        Tligne_journal l;
        Tcontenu_ligne c;
        const std::string& cle = m[0];
        const std::size_t t = m.size();
        bool bon = false;
        if (cle == "e") {
            l.genre = Tgenre_ligne::evenement;
            auto e = t >= 3 ? lit_evenement(m, 2) : std::nullopt;
            bon = e && nombres(m, 1, {{0, std::numeric_limits<std::int64_t>::max()}}, l);
            // The time of a monotonic clock since the journal was opened.
            if (bon && l.n[0] > temps_journal_max_ms)
                return "un évènement plus de 31 jours après le début du journal";
            if (bon && l.n[0] < temps_)
                return "un évènement daté d'avant le précédent, à " + std::to_string(temps_) +
                       " ms";
            if (bon) {
                temps_ = l.n[0];
                if (e->controle.empty() && e->texte.empty()) {
                    l.n[1] = static_cast<std::int64_t>(e->genre);
                    l.n[2] = e->genre == Tgenre_evenement::hid ? std::int64_t{e->wparam}
                                                               : std::int64_t{e->valeur};
                    l.n[3] = e->lparam;
                } else {
                    l.index = static_cast<std::uint32_t>(j_.evenements.size());
                    j_.evenements.push_back(std::move(*e));
                }
            }
        } else if (cle == "heure") {
            l.genre = Tgenre_ligne::heure;
            bon = heure(m, 1, l) && t == (j_.format < 2 ? 5u : 6u);
            if (bon && j_.format < 2) {
                l.n[1] = compteur_format_1_.suit(l.n[0]);
            } else if (bon) {
                const auto compteur = lit_nombre(m[5], -compteur_max, compteur_max);
                bon = compteur.has_value();
                if (bon) l.n[1] = *compteur;
            }
        } else if (cle == "heure-texte" && j_.format >= 2) {
            l.genre = Tgenre_ligne::heure_texte;
            bon = t == 6 && heure(m, 1, l);
            if (bon) c.texte = m[5];
        } else if (cle == "heure-texte" || cle == "separateur" || cle == "repertoire" ||
                   cle == "boite") {
            l.genre = cle == "heure-texte"  ? Tgenre_ligne::heure_texte
                      : cle == "separateur" ? Tgenre_ligne::separateur
                      : cle == "repertoire" ? Tgenre_ligne::repertoire
                                            : Tgenre_ligne::boite;
            bon = t == 2;
            l.n[0] = -1; // format 1's text of the time: asked for no time in particular
            // A decimal separator is a character or two in every locale: a long one would
            // be written in place of every point of a zone's fields.
            if (bon && l.genre == Tgenre_ligne::separateur && m[1].size() > separateur_journal_max)
                return "un séparateur décimal de plus de " +
                       std::to_string(separateur_journal_max) + " octets";
            if (bon) c.texte = m[1];
        } else if (cle == "question") {
            l.genre = Tgenre_ligne::question;
            bon = t == 4;
            if (bon) {
                c.texte = m[1];
                c.lignes = {m[2], m[3]};
            }
        } else if (cle == "fin-question") {
            l.genre = Tgenre_ligne::fin_question;
            bon = t == 2 && nombres(m, 1, {{0, 1}}, l);
        } else if (cle == "saut-horloge") {
            l.genre = Tgenre_ligne::saut_horloge;
            const auto suite = t == 3 ? suite_saut_du_mot(m[2]) : std::nullopt;
            bon = suite && nombres(m, 1, {{-ms_par_jour, ms_par_jour}}, l);
            if (bon) l.n[1] = static_cast<std::int64_t>(*suite);
        } else if (cle == "fin-boite" || cle == "dialogue") {
            l.genre = cle == "dialogue" ? Tgenre_ligne::dialogue : Tgenre_ligne::fin_boite;
            bon = t == 1;
        } else if (cle == "fin-dialogue") {
            // A chosen file's path; nothing when the dialog was cancelled.
            l.genre = Tgenre_ligne::fin_dialogue;
            bon = t <= 2;
            l.present = t == 2;
            if (l.present) c.texte = m[1];
        } else if (cle == "fichier") {
            l.genre = Tgenre_ligne::fichier;
            bon = t >= 5 && (m[1] == "etalonnage" || m[1] == "rallye") &&
                  nombres(m, 2, {{0, 1000000}}, l) && (m[4] == "absent" || m[4] == "lu");
            if (bon) {
                l.n[1] = m[1] == "etalonnage" ? 0 : 1;
                c.texte = m[3];
                l.present = m[4] == "lu";
                bon = l.present ? t - 5 <= static_cast<std::size_t>(l.n[0]) : t == 5;
                // The engine's reader keeps 4 KiB of a line, each byte at most two in UTF-8:
                // what it never gives, no replay is given.
                for (std::size_t k = 5; bon && k < t; ++k)
                    if (m[k].size() > ligne_fichier_journal_max)
                        return "une ligne de fichier de plus de " +
                               std::to_string(ligne_fichier_journal_max) + " octets";
                if (bon && l.present) c.lignes.assign(m.begin() + 5, m.end());
            }
        } else if (cle == "hid-connect") {
            l.genre = Tgenre_ligne::hid_connect;
            bon = t == 2 && nombres(m, 1, {{min_i32, max_i32}}, l);
        } else if (cle == "hid-vid" || cle == "hid-pid") {
            l.genre = cle == "hid-vid" ? Tgenre_ligne::hid_vid : Tgenre_ligne::hid_pid;
            bon = t == 3 && nombres(m, 1, {{0, max_u32}, {0, max_u32}}, l);
        } else if (cle == "hid-handle") {
            l.genre = Tgenre_ligne::hid_handle;
            bon = t == 4 && nombres(m, 1, {{0, max_u32}, {0, max_u32}, {0, max_u32}}, l);
        } else if (cle == "hid-notif") {
            l.genre = Tgenre_ligne::hid_notif;
            bon =
                t == 4 && nombres(m, 1, {{0, max_u32}, {min_i32, max_i32}, {min_i32, max_i32}}, l);
        } else if (cle == "hid-lit") {
            l.genre = Tgenre_ligne::hid_lit;
            bon = t == 5 && nombres(m, 1, {{0, max_u32}, {0, 1 << 16}, {min_i32, max_i32}}, l);
            auto o = bon ? hexa_en_octets(m[4]) : std::nullopt;
            // The bytes copied: as many as the answer says, never more than the buffer holds.
            bon = o && static_cast<std::int64_t>(o->size()) ==
                           std::clamp<std::int64_t>(l.n[2], 0, l.n[1]);
            if (bon) c.octets = std::move(*o);
        } else if (cle == "hid-ecrit") {
            l.genre = Tgenre_ligne::hid_ecrit;
            bon = t == 4 && nombres(m, 1, {{0, max_u32}, {min_i32, max_i32}}, l);
            auto o = bon ? hexa_en_octets(m[3]) : std::nullopt;
            bon = o.has_value();
            if (bon) c.octets = std::move(*o);
        } else if (cle == "point") {
            l.genre = Tgenre_ligne::point;
            auto p = lit_point(m);
            bon = p.has_value();
            if (bon) {
                l.index = static_cast<std::uint32_t>(j_.points.size());
                j_.points.push_back(std::move(*p));
            }
        }
        if (!bon) return std::string();
        if (std::string pourquoi = imbrique(l.genre); !pourquoi.empty()) return pourquoi;
        if (!c.texte.empty() || !c.lignes.empty() || !c.octets.empty() || l.present) {
            l.contenu = static_cast<std::uint32_t>(j_.contenus.size());
            j_.contenus.push_back(std::move(c));
        }
        j_.lignes.push_back(std::move(l));
        return std::nullopt;
    }

    std::string_view octets_;
    std::string nom_;
    std::size_t pos_ = 0;
    std::uint32_t numero_ = 0;
    std::int64_t temps_ = 0;
    // Format 1 kept the computer's clock alone: a counter that moves with it makes the rally
    // clock run as that clock ran then.
    Tcompteur_suivant compteur_format_1_;
    std::vector<Tgenre_ligne> ouvertes_;
    Tjournal j_;
};

} // namespace

Tevenement Tjournal::evenement(const Tligne_journal& l) const {
    if (l.index != sans_index) return evenements[l.index];
    Tevenement e = Tevenement::simple(static_cast<Tgenre_evenement>(l.n[1]));
    if (e.genre == Tgenre_evenement::defile) e.valeur = static_cast<std::int32_t>(l.n[2]);
    if (e.genre == Tgenre_evenement::hid) {
        e.wparam = static_cast<std::uint32_t>(l.n[2]);
        e.lparam = static_cast<std::uint32_t>(l.n[3]);
    }
    return e;
}

const Tcontenu_ligne& Tjournal::contenu(const Tligne_journal& l) const {
    static const Tcontenu_ligne vide;
    return l.contenu == sans_index ? vide : contenus[l.contenu];
}

Tjournal lit_journal_octets(std::string_view octets, const std::string& nom) {
    return Tlecteur(octets, nom).lit();
}

Tjournal lit_journal(const std::string& chemin_brut) {
    // Names are UTF-8 text, which Windows' narrow file names are not.
    const std::filesystem::path nom(std::u8string(chemin_brut.begin(), chemin_brut.end()));
    // As messages name it: escaped as everything the programs print.
    const std::string chemin = texte_affichable(chemin_brut, 200);
    std::error_code e;
    if (std::filesystem::is_directory(nom, e))
        throw Tjournal_illisible(chemin + " est un dossier, pas un journal de bord VELMORA");
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(ouvre_fichier(nom, "rb"), std::fclose);
    const auto raison = [] { return errno != 0 ? std::string(std::strerror(errno)) : "erreur"; };
    if (!f)
        throw Tjournal_illisible("Impossible d'ouvrir le journal " + chemin + " (" + raison() +
                                 ")");
    // Read to its end or its first error: a journal read in part is not a journal cut by a
    // crash, and is never replayed as one.
    // Its size known, the file is read into one block of that size: no copy while it grows.
    std::string octets;
    if (const auto taille = std::filesystem::file_size(nom, e); !e)
        octets.reserve(static_cast<std::size_t>(
            std::min<std::uintmax_t>(taille, taille_journal_max + sizeof(char[1 << 16]))));
    char bloc[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(bloc, 1, sizeof bloc, f.get());
        octets.append(bloc, n);
        if (octets.size() > taille_journal_max)
            throw Tjournal_illisible(chemin + " dépasse " +
                                     std::to_string(taille_journal_max >> 20) +
                                     " Mio, ce qu'aucun parcours n'écrit : ce n'est pas un "
                                     "journal de bord VELMORA");
        if (n < sizeof bloc) break;
    }
    if (std::ferror(f.get()))
        throw Tjournal_illisible("Impossible de lire le journal " + chemin + " (" + raison() +
                                 ", après " + std::to_string(octets.size()) + " octets)");
    return lit_journal_octets(octets, chemin);
}
