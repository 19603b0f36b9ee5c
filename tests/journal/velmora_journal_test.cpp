// velmora-journal as a crew member or a developer runs it on a journal: its verdicts,
// its refusals and their exit statuses.
#include "execution_programme.h"
#include "journaux_demesures.h"
#include "point_controle.h"
#include "scenarios.h"
#include "sortie_csv_journal.h"
#include "texte_affichable.h"
#include "texte_journal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

Texecution velmora_journal(const std::vector<std::string>& arguments,
                           const Trepertoire_temporaire& rep) {
    return lance(VELMORA_JOURNAL, arguments, rep);
}

std::string joint(const std::vector<std::string>& lignes) {
    std::string t;
    for (const auto& l : lignes)
        t += l + "\n";
    return t;
}

class VelmoraJournal : public ::testing::Test {
protected:
    Trepertoire_temporaire rep;
    std::vector<std::string> journal; // the lines of a recorded complete session

    void SetUp() override {
        rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
        const std::string chemin = rep.chemin() + "session.journal";
        {
            Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
            session_complete(p, VELMORA_RALLYE_EXEMPLE);
        }
        journal = lignes_de(lit_fichier(chemin));
        ASSERT_GT(journal.size(), 100u);
    }
    Texecution rejoue(const std::string& octets) {
        return velmora_journal({"rejoue", rep.ecrit("essai.journal", octets)}, rep);
    }
};

TEST_F(VelmoraJournal, un_journal_entier_se_rejoue_a_l_identique) {
    const Texecution r = rejoue(joint(journal));
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "identique\n");
    EXPECT_EQ(r.erreurs, "");
}

// The command line in GNU's forms, and each refusal in French after the program's name, with
// the usage and the status 2; a file's name passes byte for byte, whatever its bytes.
TEST_F(VelmoraJournal, la_ligne_de_commande_suit_les_conventions_gnu) {
    const std::string j = rep.ecrit("session.journal", joint(journal));
    const std::string latin1 = rep.ecrit("\xe9t\xe9.journal", joint(journal));
    rep.ecrit("-x.journal", joint(journal));
    const std::string tiret = "-x.journal"; // in the program's own folder
    struct {
        std::vector<std::string> arguments;
        int statut;
        std::string sortie;  // what standard output starts with
        std::string erreurs; // found in standard error after "velmora-journal : "
    } const cas[] = {
        {{"--aide"}, 0, "Usage : velmora-journal", ""},
        {{"rejoue", j, "-h"}, 0, "Usage : velmora-journal", ""},
        {{"--", "rejoue", j}, 0, "identique", ""},
        {{"rejoue", "--", tiret}, 0, "identique", ""},
        {{"rejoue", latin1}, 0, "identique", ""},
        {{"csv", j, "-o-"}, 0, "Heure", ""},
        {{"csv", "--sortie=-", j}, 0, "Heure", ""},
        {{}, 2, "", "il manque la commande : rejoue, csv, pdf ou etalonnage"},
        {{"rejoue"}, 2, "", "il manque le journal à lire"},
        {{"relis", j}, 2, "", "commande inconnue « relis »"},
        {{"rejoue", j, j}, 2, "", "argument en trop « "},
        {{"rejoue", j, "--vitesse", "2"}, 2, "", "option inconnue « --vitesse »"},
        {{"rejoue", j, "-x"}, 2, "", "option inconnue « -x »"},
        {{"pdf", j, "-o"}, 2, "", "il manque la valeur de l'option -o"},
        {{"pdf", j, "--png=oui", "-o", "p.png"}, 2, "", "l'option --png ne prend pas de valeur"},
        {{"pdf", j}, 2, "", "il manque le fichier à écrire : -o SORTIE.pdf"},
        {{"csv", j, "--png"}, 2, "", "--png ne sert qu'avec pdf"},
        {{"etalonnage", j, "--de", "24:00:00", "--a", "10:00:10", "--base", "1000"},
         2,
         "",
         "--de « 24:00:00 » n'est pas une heure HH:MM:SS ou HH:MM:SS,d"},
        {{"etalonnage", j, "--de=10:00:00", "--a", "10:00:10", "--base", "mille"},
         2,
         "",
         "--base « mille » n'est pas une longueur en mètres"},
    };
    for (const auto& c : cas) {
        std::string ligne;
        for (const auto& a : c.arguments)
            ligne += a + ' ';
        SCOPED_TRACE(ligne);
        const Texecution r = velmora_journal(c.arguments, rep);
        EXPECT_EQ(r.statut, c.statut) << r.erreurs;
        EXPECT_TRUE(r.sortie.starts_with(c.sortie)) << r.sortie.substr(0, 200);
        if (c.statut == 0) continue;
        EXPECT_EQ(r.sortie, "");
        EXPECT_TRUE(r.erreurs.starts_with("velmora-journal : " + c.erreurs)) << r.erreurs;
        EXPECT_NE(r.erreurs.find("\nUsage : velmora-journal"), std::string::npos) << r.erreurs;
    }
}

TEST_F(VelmoraJournal, un_journal_coupe_au_milieu_d_une_ligne_se_rejoue_jusqu_a_elle) {
    // Cut in the middle of a line of the last tenth of the run, as a cut of power would.
    const std::size_t n = journal.size() * 9 / 10;
    std::vector<std::string> debut(journal.begin(), journal.begin() + static_cast<long>(n));
    const std::string coupe = joint(debut) + journal[n].substr(0, journal[n].size() / 2);
    const Texecution r = rejoue(coupe);
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "identique\n");
    EXPECT_NE(r.erreurs.find("journal coupé au milieu de la ligne " + std::to_string(n + 1) +
                             " : rejoué jusqu'à la ligne " + std::to_string(n)),
              std::string::npos)
        << r.erreurs;
}

// The index of the first line of the journal's body that starts with `debut`.
std::size_t premiere(const std::vector<std::string>& l, std::string_view debut,
                     std::size_t apres = 5) {
    for (std::size_t i = apres; i < l.size(); ++i)
        if (l[i].starts_with(debut)) return i;
    ADD_FAILURE() << "aucune ligne « " << debut << " »";
    return l.size() - 1;
}

std::string numero(std::size_t index) {
    return std::to_string(index + 1);
}

struct Tabime {
    std::string octets;
    std::string message; // what standard error must say
};

struct Tjournal_abime {
    const char* nom;
    std::function<Tabime(std::vector<std::string>)> abime;
};

std::ostream& operator<<(std::ostream& o, const Tjournal_abime& c) {
    return o << c.nom;
}

class UnJournalAbime : public VelmoraJournal,
                       public ::testing::WithParamInterface<Tjournal_abime> {};

TEST_P(UnJournalAbime, est_refuse_avec_un_message_et_le_statut_2) {
    const Tabime a = GetParam().abime(journal);
    const std::string chemin = rep.ecrit("essai.journal", a.octets);
    // Every reader of a journal refuses it alike.
    for (const char* commande : {"rejoue", "csv", "pdf"}) {
        std::vector<std::string> arguments{commande, chemin};
        if (std::string_view(commande) == "pdf") arguments.insert(arguments.end(), {"-o", "s.pdf"});
        const Texecution r = velmora_journal(arguments, rep);
        EXPECT_EQ(r.statut, 2) << commande;
        EXPECT_EQ(r.sortie, "") << commande;
        EXPECT_NE(r.erreurs.find(a.message), std::string::npos) << commande << " : " << r.erreurs;
        EXPECT_LT(r.erreurs.size(), 1000u) << commande;
    }
}

INSTANTIATE_TEST_SUITE_P(Refus, UnJournalAbime,
                         ::
                             testing::
                                 Values(
                                     Tjournal_abime{"coupe_dans_l_entete",
                                                    [](std::vector<std::string> l) {
                                                        return Tabime{joint({l[0], l[1], l[2]}) +
                                                                          "da",
                                                                      "est coupé dans son en-tête "
                                                                      "(ligne 4) : il n'y a rien "
                                                                      "à rejouer"};
                                                    }},
                                     Tjournal_abime{
                                         "ligne_corrompue",
                                         [](std::vector<std::string> l) {
                                             l[40] = "e 1200 clic Button17";
                                             return Tabime{
                                                 joint(l),
                                                 "ligne 41 illisible : \"e 1200 clic Button17\""};
                                         }},
                                     Tjournal_abime{
                                         "format_futur",
                                         [](std::vector<std::string> l) {
                                             l[1] = "format 3";
                                             return Tabime{
                                                 joint(l),
                                                 "est au format 3, plus récent que celui que ce "
                                                 "programme sait lire (format 2) : mettez VELMORA "
                                                 "à "
                                                 "jour "
                                                 "pour le lire"};
                                         }},
                                     Tjournal_abime{
                                         "fichier_binaire",
                                         [](std::vector<std::string>) {
                                             std::string o;
                                             for (int i = 0; i < 4096; ++i)
                                                 o += static_cast<char>((i * 131 + 7) % 256);
                                             return Tabime{o, "est un fichier binaire, pas un "
                                                              "journal de bord VELMORA"};
                                         }},
                                     Tjournal_abime{"heure_de_point_illisible",
                                                    [](std::vector<std::string> l) {
                                                        const std::size_t i = premiere(l, "point ");
                                                        l[i].replace(6, 8, "xx:yy:zz");
                                                        return Tabime{
                                                            joint(l),
                                                            "ligne " + numero(i) +
                                                                " illisible : \"point xx:yy:zz"};
                                                    }},
                                     Tjournal_abime{
                                         "dix_mille_messages_imbriques",
                                         [](std::vector<std::string> l) {
                                             l.insert(l.begin() + 5, 10000, "boite \"x\"");
                                             return Tabime{joint(l),
                                                           "ligne 106 illisible : \"boite "
                                                           "\\\"x\\\"\" (plus de 100 "
                                                           "messages ou choix de fichier "
                                                           "ouverts l'un dans l'autre)"};
                                         }},
                                     Tjournal_abime{"format_zero",
                                                    [](std::vector<std::string> l) {
                                                        l[1] = "format 0";
                                                        return Tabime{
                                                            joint(l),
                                                            "ligne 2 illisible : \"format 0\""};
                                                    }},
                                     Tjournal_abime{
                                         "fin_de_question_sans_question",
                                         [](std::vector<std::string> l) {
                                             l.insert(l.begin() + 5,
                                                      {"boite \"x\"", "fin-question 1"});
                                             return Tabime{joint(l),
                                                           "ligne 7 illisible : \"fin-question 1\" "
                                                           "(aucune question n'est posée)"};
                                         }},
                                     Tjournal_abime{
                                         "fin_de_message_sans_message",
                                         [](std::vector<std::string> l) {
                                             l.insert(l.begin() + 5, "fin-boite");
                                             return Tabime{
                                                 joint(l),
                                                 "ligne 6 illisible : \"fin-boite\" (aucun "
                                                 "message n'est ouvert)"};
                                         }},
                                     Tjournal_abime{"ligne_de_dix_sept_mio",
                                                    [](std::vector<std::string> l) {
                                                        l.insert(l.begin() + 5,
                                                                 "boite \"" +
                                                                     std::string(17u << 20, 'a') +
                                                                     "\"");
                                                        return Tabime{joint(l),
                                                                      "ligne 6 illisible : elle "
                                                                      "dépasse 16 Mio"};
                                                    }},
                                     Tjournal_abime{
                                         "evenement_dans_des_siecles",
                                         [](std::vector<std::string> l) {
                                             const std::size_t i = premiere(l, "e ");
                                             l[i] = "e 9000000000000000" +
                                                    l[i].substr(l[i].find(' ', 2));
                                             return Tabime{joint(l),
                                                           "ligne " + numero(i) +
                                                               " illisible : \"e 9000000000000000"};
                                         }},
                                     Tjournal_abime{
                                         "evenement_qui_remonte_le_temps",
                                         [](std::vector<std::string> l) {
                                             const std::size_t i = premiere(l, "e "),
                                                               k = premiere(l, "e ", i + 1);
                                             l[i] = "e 500" + l[i].substr(l[i].find(' ', 2));
                                             l[k] = "e 499" + l[k].substr(l[k].find(' ', 2));
                                             return Tabime{joint(l), "ligne " + numero(k) +
                                                                         " illisible : \"e 499"};
                                         }},
                                     Tjournal_abime{
                                         "hid_lit_au_dela_du_tampon",
                                         [](std::vector<std::string> l) {
                                             const std::size_t i = premiere(l, "hid-lit ");
                                             std::istringstream mots(l[i]);
                                             std::string cle, h, longueur;
                                             mots >> cle >> h >> longueur;
                                             const int n = std::stoi(longueur) + 8;
                                             l[i] =
                                                 "hid-lit " + h + " " + longueur + " " +
                                                 std::to_string(n) + " " +
                                                 std::string(2 * static_cast<std::size_t>(n), 'a');
                                             return Tabime{joint(l),
                                                           "ligne " + numero(i) + " illisible"};
                                         }}),
                         [](const auto& i) { return std::string(i.param.nom); });

// A line of the journal changed: the replay stops at it, dated by the checkpoint (or the
// engine's time for a request), naming it and what differs.
struct Tchangement {
    std::size_t ligne; // index of the line changed
    std::string heure; // the divergence's time, empty when not checked
    std::string controle;
    std::string enregistre;
};

struct Tcas_divergence {
    const char* nom;
    std::function<Tchangement(std::vector<std::string>&)> change;
};

std::ostream& operator<<(std::ostream& o, const Tcas_divergence& c) {
    return o << c.nom;
}

// A checkpoint in the middle of the run, with one of its fields changed by `change`.
Tchangement point_change(std::vector<std::string>& l, const char* controle,
                         const std::function<std::string&(Tpoint_controle&)>& champ) {
    const std::size_t i = premiere(l, "point ", l.size() / 2);
    auto p = lit_point(*decoupe_ligne(l[i]));
    const std::string heure = p->heure;
    std::string& v = champ(*p);
    const std::string ancien = v;
    v = controle == std::string("heure")   ? "23:59:59"
        : controle == std::string("LED")   ? "pa_m30"
        : controle == std::string("ECART") ? "x"
                                           : "987654";
    EXPECT_NE(v, ancien);
    l[i].clear();
    ajoute_point(l[i], *p);
    return {i, controle == std::string("heure") ? v : heure, controle, v};
}

class UneDivergence : public VelmoraJournal,
                      public ::testing::WithParamInterface<Tcas_divergence> {};

TEST_P(UneDivergence, est_dite_a_sa_ligne_et_a_son_heure) {
    const Tchangement c = GetParam().change(journal);
    const Texecution r = rejoue(joint(journal));
    EXPECT_EQ(r.statut, 1) << r.erreurs;
    std::string attendu = ", ligne " + numero(c.ligne) +
                          " du journal\n  contrôle   : " + c.controle +
                          "\n  enregistré : " + c.enregistre + "\n";
    if (!c.heure.empty()) attendu = "première divergence à " + c.heure + attendu;
    EXPECT_NE(r.sortie.find(attendu), std::string::npos) << attendu << "\n---\n" << r.sortie;
}

INSTANTIATE_TEST_SUITE_P(
    Rejeu, UneDivergence,
    ::testing::Values(Tcas_divergence{"total",
                                      [](auto& l) {
                                          return point_change(
                                              l, "TOTAL", [](auto& p) -> auto& { return p.total; });
                                      }},
                      Tcas_divergence{"partiel",
                                      [](auto& l) {
                                          return point_change(
                                              l, "PARTIEL",
                                              [](auto& p) -> auto& { return p.partiel; });
                                      }},
                      Tcas_divergence{"caden",
                                      [](auto& l) {
                                          return point_change(
                                              l, "CADEN", [](auto& p) -> auto& { return p.caden; });
                                      }},
                      Tcas_divergence{"ecart",
                                      [](auto& l) {
                                          return point_change(
                                              l, "ECART", [](auto& p) -> auto& { return p.ecart; });
                                      }},
                      Tcas_divergence{"led",
                                      [](auto& l) {
                                          return point_change(
                                              l, "LED", [](auto& p) -> auto& { return p.led; });
                                      }},
                      Tcas_divergence{"heure",
                                      [](auto& l) {
                                          return point_change(
                                              l, "heure", [](auto& p) -> auto& { return p.heure; });
                                      }},
                      // A byte the engine sends the box, changed in the record.
                      Tcas_divergence{"rapport_envoye",
                                      [](auto& l) {
                                          const std::size_t i = premiere(l, "hid-ecrit ");
                                          char& dernier = l[i].back();
                                          dernier = dernier == '0' ? '1' : '0';
                                          const std::size_t espace = l[i].rfind(' ');
                                          return Tchangement{
                                              i, "", "rapport envoyé au boîtier",
                                              "boîtier : Write(" +
                                                  l[i].substr(10, l[i].find(' ', 10) - 10) + ") " +
                                                  l[i].substr(espace + 1)};
                                      }}),
    [](const auto& i) { return std::string(i.param.nom); });

// What the replay says of journals that are read but that it cannot call identical, or that a
// mail client changed: a status and a text for each, never a raw control byte or a flood.
struct Tverdict {
    std::string octets;
    int statut;
    std::string sortie;  // found in standard output
    std::string erreurs; // found in standard error
};

struct Tcas_verdict {
    const char* nom;
    std::function<Tverdict(std::vector<std::string>)> journal;
};

std::ostream& operator<<(std::ostream& o, const Tcas_verdict& c) {
    return o << c.nom;
}

class UnVerdict : public VelmoraJournal, public ::testing::WithParamInterface<Tcas_verdict> {};

TEST_P(UnVerdict, dit_ce_qui_a_ete_compare) {
    const Tverdict v = GetParam().journal(journal);
    const Texecution r = rejoue(v.octets);
    EXPECT_EQ(r.statut, v.statut) << r.sortie << r.erreurs;
    EXPECT_NE(r.sortie.find(v.sortie), std::string::npos) << r.sortie;
    EXPECT_NE(r.erreurs.find(v.erreurs), std::string::npos) << r.erreurs;
    for (const std::string* t : {&r.sortie, &r.erreurs}) {
        EXPECT_LT(t->size(), 2000u);
        // Not a byte that the programs' escaping would take: no C0, DEL, C1 or bidi control.
        EXPECT_EQ(lignes_affichables(*t), *t);
    }
}

// A message box the engine never opened, just before the journal's closing line.
std::string message_ajoute(std::vector<std::string>& l, const std::string& texte) {
    std::string b = "boite ";
    ajoute_texte(b, texte);
    l.insert(l.end() - 1, {b, "fin-boite"});
    return numero(l.size() - 3);
}

INSTANTIATE_TEST_SUITE_P(
    Rejeu, UnVerdict,
    ::testing::Values(
        Tcas_verdict{"copie_en_crlf",
                     [](std::vector<std::string> l) {
                         std::string t;
                         for (const auto& x : l)
                             t += x + "\r\n";
                         return Tverdict{t, 0, "identique\n", ""};
                     }},
        Tcas_verdict{"en_tete_seul",
                     [](std::vector<std::string> l) {
                         return Tverdict{joint({l.begin(), l.begin() + 5}), 3,
                                         "rien de comparé : aucun point de contrôle", ""};
                     }},
        Tcas_verdict{"sans_points_de_controle",
                     [](std::vector<std::string> l) {
                         std::erase_if(l, [](const auto& x) { return x.starts_with("point "); });
                         return Tverdict{joint(l), 1, "contrôle   : point de contrôle\n", ""};
                     }},
        Tcas_verdict{"points_tous_a_23_59_59",
                     [](std::vector<std::string> l) {
                         const std::size_t i = premiere(l, "point ");
                         const std::string heure = l[i].substr(6, 8);
                         for (auto& x : l)
                             if (x.starts_with("point ")) x.replace(6, 8, "23:59:59");
                         return Tverdict{joint(l), 1,
                                         "première divergence à 23:59:59, ligne " + numero(i) +
                                             " du journal\n  contrôle   : heure\n  enregistré : "
                                             "23:59:59\n  rejoué     : " +
                                             heure + "\n",
                                         ""};
                     }},
        Tcas_verdict{"message_aux_octets_de_commande",
                     [](std::vector<std::string> l) {
                         const std::string n = message_ajoute(l, "\x1b[2J\x07\x7f fin");
                         return Tverdict{
                             joint(l), 1,
                             "ligne " + n +
                                 " du journal\n  contrôle   : demande du "
                                 "moteur\n  enregistré : message « \\x1b[2J\\x07\\x7f fin »\n",
                             ""};
                     }},
        // CSI in one character, a line end of its own, a right-to-left override and isolate.
        Tcas_verdict{"message_aux_commandes_c1_et_bidi",
                     [](std::vector<std::string> l) {
                         const std::string n =
                             message_ajoute(l, "\xc2\x9b"
                                               "2J\xc2\x85\xe2\x80\xae\xe2\x81\xa6 fin");
                         return Tverdict{joint(l), 1,
                                         "ligne " + n +
                                             " du journal\n  contrôle   : demande du "
                                             "moteur\n  enregistré : message « "
                                             "\\u009b2J\\u0085\\u202e\\u2066 fin »\n",
                                         ""};
                     }},
        Tcas_verdict{"message_d_un_mio",
                     [](std::vector<std::string> l) {
                         const std::string n = message_ajoute(l, std::string(1 << 20, 'a'));
                         return Tverdict{joint(l), 1,
                                         "ligne " + n +
                                             " du journal\n  contrôle   : demande du "
                                             "moteur\n  enregistré : message « aaaa",
                                         ""};
                     }},
        // Cut by a crash after a divergence: the note says where the replay stopped.
        Tcas_verdict{"divergence_dans_un_journal_coupe",
                     [](std::vector<std::string> l) {
                         const std::size_t i = premiere(l, "point ", l.size() / 3);
                         l[i].replace(15, 6, "987654");
                         const std::size_t n = l.size() * 9 / 10;
                         std::vector<std::string> debut(l.begin(),
                                                        l.begin() + static_cast<long>(n));
                         return Tverdict{joint(debut) + l[n].substr(0, l[n].size() / 2), 1,
                                         "ligne " + numero(i) + " du journal",
                                         "journal coupé au milieu de la ligne " + numero(n) +
                                             " : rejoué jusqu'à la ligne " + numero(i) + "\n"};
                     }}),
    [](const auto& i) { return std::string(i.param.nom); });

// A page a validated zone, up to 100: beyond, nothing is drawn, neither a PDF nor pictures.
TEST_F(VelmoraJournal, au_dela_de_cent_zones_rien_n_est_dessine) {
    std::size_t i = premiere(journal, "e ");
    while (!journal[i].ends_with(" clic valid_heure_zr"))
        i = premiere(journal, "e ", i + 1);
    const std::string clic = journal[i];
    for (int n = 0; n < 2000; ++n)
        journal.insert(journal.begin() + static_cast<long>(i) + 2, {clic, "separateur \",\""});
    const std::string chemin = rep.ecrit("zones.journal", joint(journal));
    for (const bool png : {false, true}) {
        std::vector<std::string> arguments{"pdf", chemin, "-o", rep.chemin() + "z.pdf"};
        if (png) arguments.push_back("--png");
        const Texecution r = velmora_journal(arguments, rep);
        EXPECT_EQ(r.statut, 2) << r.erreurs;
        // The 101st zone: the 100th validation after the first one.
        EXPECT_NE(r.erreurs.find("ligne " + numero(i + 2 + 2 * 99) +
                                 " : une zone validée de plus que les 100 pages"),
                  std::string::npos)
            << r.erreurs;
        EXPECT_FALSE(std::filesystem::exists(rep.chemin() + "z.pdf"));
    }
}

// A zone of a few metres: the distance axis reads in tens of metres, each graduation its own
// text, and the two trip corrections made at its start share one mark.
TEST_F(VelmoraJournal, une_zone_courte_se_lit_sur_le_dessin) {
    const std::string chemin = rep.chemin() + "courte.journal";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        boites_pendant_la_course(p, VELMORA_RALLYE_EXEMPLE);
    }
    const Texecution pdf = velmora_journal({"pdf", chemin, "-o", rep.chemin() + "c.pdf"}, rep);
    ASSERT_EQ(pdf.statut, 0) << pdf.erreurs;
    const std::string texte = rep.chemin() + "c.txt";
    const std::string commande =
        VELMORA_POPPLER "/pdftotext '" + rep.chemin() + "c.pdf' '" + texte + "'";
    ASSERT_EQ(std::system(commande.c_str()), 0);
    const std::string t = lit_fichier(texte);
    for (const char* graduation : {"0,00", "0,01", "0,05", "0,10"})
        EXPECT_NE(t.find(graduation), std::string::npos) << graduation << "\n" << t;
    EXPECT_NE(t.find("trip +3973 m ; trip -28 m"), std::string::npos) << t;
}

// A journal too big for the memory left is refused like any unreadable one, not called a
// divergence.
TEST_F(VelmoraJournal, une_memoire_insuffisante_est_un_refus) {
#if defined(__SANITIZE_ADDRESS__) || !defined(__linux__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    std::string gros = joint({journal.begin(), journal.begin() + 5});
    for (std::size_t n = 0; n < (40u << 20) / 9; ++n)
        gros += "e 0 tic1\n";
    const Texecution r = lance(VELMORA_JOURNAL, {"rejoue", rep.ecrit("gros.journal", gros)}, rep,
                               "ulimit -v 250000; ");
    EXPECT_EQ(r.statut, 2) << r.sortie << r.erreurs;
    EXPECT_NE(r.erreurs.find("Mémoire insuffisante pour lire ce journal"), std::string::npos)
        << r.erreurs;
}

// A journal that cannot be read to its end is refused, never replayed as a cut one.
TEST_F(VelmoraJournal, une_erreur_de_lecture_est_un_refus) {
#ifndef __linux__
    GTEST_SKIP() << "/proc/self/mem gives EIO at its first byte on Linux only";
#endif
    const Texecution r = velmora_journal({"rejoue", "/proc/self/mem"}, rep);
    EXPECT_EQ(r.statut, 2);
    EXPECT_EQ(r.sortie, "");
    EXPECT_NE(r.erreurs.find("Impossible de lire le journal /proc/self/mem (Input/output error"),
              std::string::npos)
        << r.erreurs;
}

// The survey of a complete session: a line a second for the spreadsheet, a page for its
// one validated zone; a drawing that cannot be written is an error.
TEST_F(VelmoraJournal, le_releve_donne_une_ligne_par_seconde_et_une_page_par_zone) {
    const std::string chemin = rep.ecrit("session.journal", joint(journal));
    std::size_t points = 0;
    for (const auto& l : journal)
        points += l.rfind("point ", 0) == 0;
    const Texecution csv = velmora_journal({"csv", chemin}, rep);
    EXPECT_EQ(csv.statut, 0) << csv.erreurs;
    const auto lignes = lignes_de(csv.sortie);
    ASSERT_EQ(lignes.size(), points + 1);
    EXPECT_EQ(lignes[0], "Heure;Chronomètre;TOTAL (km);PARTIEL (km);CADEN (km);Écart (m);"
                         "LED allumée;Moyenne (km/h);Boîtier");
    // Each row shows its checkpoint's registers (metres) in kilometres, and every number
    // with the French decimal comma.
    std::size_t k = 1, differents = 0;
    for (const auto& l : journal) {
        if (!l.starts_with("point ") || k >= lignes.size()) continue;
        const auto p = lit_point(*decoupe_ligne(l));
        std::vector<std::string> colonnes;
        std::istringstream cellules(lignes[k++]);
        for (std::string c; std::getline(cellules, c, ';');)
            colonnes.push_back(c);
        ASSERT_EQ(colonnes.size(), 9u) << lignes[k - 1];
        const auto km = [](const std::string& chiffres) {
            const int m = std::stoi(chiffres);
            char t[32];
            std::snprintf(t, sizeof t, "%d,%03d", m / 1000, m % 1000);
            return std::string(t);
        };
        EXPECT_EQ(colonnes[0], p->heure);
        EXPECT_EQ(colonnes[2], km(p->total)) << lignes[k - 1];
        EXPECT_EQ(colonnes[3], km(p->partiel)) << lignes[k - 1];
        EXPECT_EQ(colonnes[4], km(p->caden)) << lignes[k - 1];
        EXPECT_EQ(colonnes[7].find('.'), std::string::npos) << lignes[k - 1];
        EXPECT_NE(colonnes[7].find(','), std::string::npos) << lignes[k - 1];
        differents += p->total != p->partiel;
    }
    EXPECT_GT(differents, 0u); // the columns could not be told apart otherwise

    const Texecution pdf = velmora_journal({"pdf", chemin, "-o", rep.chemin() + "s.pdf"}, rep);
    EXPECT_EQ(pdf.statut, 0) << pdf.erreurs;
    const std::string pages =
        VELMORA_POPPLER "/pdfinfo '" + rep.chemin() + "s.pdf' | grep -q '^Pages: *1$'";
    EXPECT_EQ(std::system(pages.c_str()), 0);

    const Texecution refus = velmora_journal({"pdf", chemin, "-o", rep.chemin()}, rep);
    EXPECT_EQ(refus.statut, 1);
    EXPECT_NE(refus.erreurs.find("Impossible d'écrire le fichier " + rep.chemin()),
              std::string::npos)
        << refus.erreurs;
}

// What the commands write goes only where asked, whole: never onto the journal read, a device or
// a FIFO; a standard output that cannot take the verdict is an error, never a success.
TEST_F(VelmoraJournal, une_sortie_n_ecrit_que_la_ou_elle_peut_tout_ecrire) {
    const std::string j = rep.ecrit("session.journal", joint(journal));
    const std::string tube = rep.chemin() + "tube";
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    // A device node of the test's own (the null device): a fault must not replace /dev/null.
    std::string peripherique = rep.chemin() + "nul";
    if (::mknod(peripherique.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        peripherique = "/dev/null"; // not root: a fault could not replace it either
    const std::string plein = rep.ecrit("plein.sh", "\"$@\" >/dev/full\n");
    struct {
        const char* nom;
        std::vector<std::string> arguments;
        std::string prefixe;
        std::string message;
    } const cas[] = {
        {"pdf sur le journal", {"pdf", j, "-o", j}, "", "c'est le fichier que la commande lit"},
        {"csv sur le journal", {"csv", j, "-o", j}, "", "c'est le fichier que la commande lit"},
        {"pdf sur un périphérique", {"pdf", j, "-o", peripherique}, "", "c'est un périphérique"},
        {"csv dans un tube", {"csv", j, "-o", tube}, "", "c'est un tube (FIFO)"},
        {"pdf dans un dossier", {"pdf", j, "-o", rep.chemin()}, "", "c'est un dossier"},
        {"rejoue sur une sortie pleine",
         {"rejoue", j},
         "sh " + plein + " ",
         "Impossible d'écrire sur la sortie standard : l'écriture a échoué : le disque est plein"},
        {"csv sur une sortie pleine",
         {"csv", j},
         "sh " + plein + " ",
         "Impossible d'écrire sur la sortie standard : l'écriture a échoué : le disque est plein"},
        {"etalonnage sur une sortie pleine",
         {"etalonnage", j, "--de", "10:00:30", "--a", "10:00:50", "--base", "1000"},
         "sh " + plein + " ",
         "Impossible d'écrire sur la sortie standard : l'écriture a échoué : le disque est plein"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const Texecution r = lance(VELMORA_JOURNAL, c.arguments, rep, c.prefixe);
        EXPECT_EQ(r.statut, 1) << r.erreurs;
        EXPECT_NE(r.erreurs.find(c.message), std::string::npos) << r.erreurs;
        EXPECT_EQ(lit_fichier(j), joint(journal));
    }
    struct stat s {};
    EXPECT_TRUE(::stat(tube.c_str(), &s) == 0 && S_ISFIFO(s.st_mode));
    EXPECT_TRUE(::stat(peripherique.c_str(), &s) == 0 && S_ISCHR(s.st_mode));
    EXPECT_EQ(lignes_de(lance(VELMORA_JOURNAL, {"rejoue", j}, rep).sortie),
              std::vector<std::string>{"identique"});
}

// The pictures of a run are its pages alone: an earlier run's later pages go, and a run that
// cannot write all of its pages leaves the earlier run's as they were.
TEST_F(VelmoraJournal, les_images_d_un_releve_ne_se_melent_pas_a_celles_d_un_autre) {
    std::size_t i = premiere(journal, "e ");
    while (!journal[i].ends_with(" clic valid_heure_zr"))
        i = premiere(journal, "e ", i + 1);
    std::vector<std::string> deux_zones = journal;
    deux_zones.insert(deux_zones.begin() + static_cast<long>(i) + 2,
                      {journal[i], "separateur \",\""});
    const std::string deux = rep.ecrit("deux.journal", joint(deux_zones));
    const std::string une = rep.ecrit("une.journal", joint(journal));
    const std::string png = rep.chemin() + "z.png", page2 = rep.chemin() + "z-2.png";
    ASSERT_EQ(velmora_journal({"pdf", deux, "-o", png, "--png"}, rep).statut, 0);
    ASSERT_TRUE(std::filesystem::exists(page2));
    const std::string page1 = lit_fichier(png);

    // Page 2's name taken by a folder: nothing of this run is put in place.
    std::filesystem::rename(page2, rep.chemin() + "page2");
    std::filesystem::create_directory(page2);
    const Texecution echec =
        velmora_journal({"pdf", deux, "-o", rep.chemin() + "z.png", "--png"}, rep);
    EXPECT_EQ(echec.statut, 1);
    EXPECT_NE(echec.erreurs.find("z-2.png : c'est un dossier"), std::string::npos) << echec.erreurs;
    EXPECT_EQ(lit_fichier(png), page1);
    std::filesystem::remove(page2);
    std::filesystem::rename(rep.chemin() + "page2", page2);

    const Texecution r = velmora_journal({"pdf", une, "-o", png, "--png"}, rep);
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_TRUE(std::filesystem::exists(png));
    EXPECT_FALSE(std::filesystem::exists(page2));
}

// The spreadsheet of a run whose decimal separator was a terminal's commands (OSC 52 sets the
// clipboard, U+009B is CSI): every cell escaped.
TEST_F(VelmoraJournal, le_csv_ne_commande_ni_le_terminal_ni_le_tableur) {
    const std::string chemin = rep.chemin() + "separateur.journal";
    const std::string separateur = "\x1b]52;c;QQ==\x07\xc2\x9b";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        p.services.separateur = separateur;
        zone_a_l_heure(p, "4.5");
        p.clic("valid_heure_zr");
        p.roule(3, 0);
        p.termine();
    }
    const Texecution r = velmora_journal({"csv", chemin}, rep);
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(lignes_affichables(r.sortie), r.sortie);
    EXPECT_NE(r.sortie.find(";\"4\\x1b]52;c;QQ==\\x07\\u009b5\";"), std::string::npos) << r.sortie;
    // File names and arguments echoed are escaped too.
    const Texecution nom = velmora_journal({"rejoue", chemin + "\xe2\x80\xae\x1b[2J"}, rep);
    EXPECT_EQ(nom.statut, 2);
    EXPECT_NE(nom.erreurs.find("separateur.journal\\u202e\\x1b[2J"), std::string::npos)
        << nom.erreurs;
    EXPECT_EQ(lignes_affichables(nom.erreurs), nom.erreurs);
}

// A text cell of the survey's spreadsheet: never a formula, never a terminal's command, a number
// still a number.
TEST(CelluleCsv, n_est_ni_formule_ni_commande) {
    const std::pair<std::string, std::string> cas[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1+2", "'+1+2"},
        {"-1+2", "'-1+2"},
        {"@SOMME(A1)", "'@SOMME(A1)"},
        {"-12,5", "-12,5"},
        {"+48", "+48"},
        {"48,50", "48,50"},
        {"a;b", "\"a;b\""},
        {"\x1b[2J\xe2\x80\xae", "\\x1b[2J\\u202e"},
        {std::string(300, '7'), std::string(200, '7') + "…"},
    };
    for (const auto& [texte, cellule] : cas)
        EXPECT_EQ(cellule_csv(texte), cellule) << texte;
}

// Journals crafted to cost what the journal's limits let a file cost: each ends with its
// status within a memory (address space), the 30 s of processor time any journal of up to
// 128 MiB is given, and an output that only a runaway would pass.
TEST_F(VelmoraJournal, un_journal_demesure_coute_un_travail_borne) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limits leave";
#endif
    constexpr std::size_t mio = 1 << 20;
    struct {
        const char* nom;
        std::function<std::string()> journal;
        std::vector<std::string> commande; // the journal's path follows the first word
        int statut;
        std::string message;    // found in standard error
        std::size_t sortie_max; // bytes written, on standard output or into the file
        int memoire_mio = 400;  // address space
    } const cas[] = {
        {"séparateur de 50 Kio et 50 000 points",
         [&] { return journal_separateur_long(rep, 50'000, 50'000); },
         {"rejoue"},
         2,
         "un séparateur décimal de plus de 16 octets",
         0},
        {"moyenne de 16 Mio et 300 points de contrôle",
         [&] { return journal_moyenne_longue(rep, 16 * mio - 64, 300); },
         {"csv"},
         0,
         "",
         301 * 400},
        {"moyenne de 16 Mio et 100 000 tics",
         [&] { return journal_moyenne_longue(rep, 16 * mio - 64, 10'000); },
         {"rejoue"},
         0,
         "",
         20},
        {"rallye aux lignes de 15 Mio",
         [&] { return journal_rallye_long(rep, 15 * mio, 1, 100); },
         {"rejoue"},
         2,
         "une ligne de fichier de plus de 8192 octets",
         0},
        {"rallye de 196 lignes de 8 Kio et 100 000 choix de zone",
         [&] { return journal_rallye_long(rep, 8192, 196, 100'000); },
         {"rejoue"},
         0,
         "",
         20},
        {"rallye de 196 lignes de 8 Kio et une zone absente, 100 000 choix alternés",
         [&] { return journal_rallye_long(rep, 8192, 196, 100'000, true); },
         {"rejoue"},
         0,
         "",
         20},
        // Per zone kept, 1 GB; per choice, 35 MB of lines prepared: neither, for the lines shared.
        {"30 zones qui partagent 140 lignes de 8 Kio, séparateur de 16 octets, 30 000 choix",
         [&] { return journal_zones_partagees(rep, 30'000); },
         {"rejoue"},
         0,
         "",
         20},
        {"distance de 16 Mio qui ne se convertit pas, validée 10 000 fois",
         [&] { return journal_distance_longue(rep, 16 * mio - 64, 10'000, false); },
         {"rejoue"},
         0,
         "",
         20},
        {"distance de 16 Mio validée 10 000 fois",
         [&] { return journal_distance_longue(rep, 16 * mio - 64, 10'000); },
         {"rejoue"},
         0,
         "",
         20},
        {"titre de 16 Mio sur 100 zones",
         [&] { return journal_titre_long(rep, 16 * mio - 64, 100); },
         {"pdf", "-o", rep.chemin() + "t.pdf"},
         0,
         "",
         4 * mio},
        // 128 MiB of the shortest line: read, checked and replayed within 2 GB.
        {"128 Mio de lignes minimales",
         [] { return journal_lignes_minimales(128 * mio - 1); },
         {"rejoue"},
         3,
         "journal sans sa fin",
         100,
         2048},
        // Beyond the memory left, an event that runs out of it: a refusal, not a divergence.
        {"mémoire épuisée pendant le rejeu",
         [&] { return journal_separateur_long(rep, 16 * mio - 64, 16); },
         {"rejoue"},
         2,
         "Mémoire insuffisante pour lire ce journal",
         0,
         300},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        std::vector<std::string> arguments = c.commande;
        arguments.insert(arguments.begin() + 1, rep.ecrit("demesure.journal", c.journal()));
        // Limits: address space, processor seconds, and file size (1 KiB blocks).
        const std::string limites = "ulimit -v " + std::to_string(c.memoire_mio * 1024) +
                                    "; ulimit -t 30; ulimit -f " +
                                    std::to_string(c.sortie_max / 1024 + 64) + "; ";
        const Texecution r = lance(VELMORA_JOURNAL, arguments, rep, limites);
        EXPECT_EQ(r.statut, c.statut) << r.erreurs.substr(0, 500);
        EXPECT_NE(r.erreurs.find(c.message), std::string::npos) << r.erreurs.substr(0, 500);
        std::error_code e;
        const std::size_t ecrit = arguments[0] == "pdf"
                                      ? std::filesystem::file_size(arguments.back(), e)
                                      : r.sortie.size();
        EXPECT_LE(ecrit, c.sortie_max);
        EXPECT_LT(r.erreurs.size(), 2000u);
    }
}

} // namespace

// A base driven across midnight, the car ten revolutions past the second mark and back to it
// in reverse: the crew's two official times give the base's revolutions, forward less reverse.
class BaseDansLeJournal : public ::testing::Test {
protected:
    Trepertoire_temporaire rep;
    std::vector<std::string> journal;

    void SetUp() override {
        rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
        const std::string chemin = rep.chemin() + "base.journal";
        {
            Tparcours_enregistre p(chemin, rep.chemin(), 23 * 36000 + 59 * 600 + 400);
            p.branche_boitier();
            p.roule(10, 0); // 23:59:50,0: the first mark
            p.tic();
            for (int i = 0; i < 550; ++i)
                p.touches({48});
            p.roule(20, 0);
            p.coche("cb_marche_ar", true);
            for (int i = 0; i < 10; ++i)
                p.touches({48});
            p.coche("cb_marche_ar", false);
            p.roule(20, 0); // 00:00:30,1: past the second mark
            for (int i = 0; i < 100; ++i)
                p.touches({48});
            p.roule(5, 0);
            p.termine();
        }
        journal = lignes_de(lit_fichier(chemin));
    }
    Texecution etalonnage(const std::string& octets, const char* de, const char* a,
                          const char* base = "1000") {
        return velmora_journal({"etalonnage", rep.ecrit("essai.journal", octets), "--de", de, "--a",
                                a, "--base", base},
                               rep);
    }
    // The line of the first revolution read after the event at official time `heure`.
    std::size_t revolution_apres(const char* heure) const {
        const std::size_t p = premiere(journal, std::string("point ") + heure);
        return premiere(journal, "hid-lit ", p);
    }
};

TEST_F(BaseDansLeJournal, passe_minuit_et_decompte_la_marche_arriere) {
    const Texecution r = etalonnage(joint(journal), "23:59:50", "00:00:30");
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "Tours de roue de 23:59:50,0 à 00:00:30,0 : 540\n"
                        "Étalonnage : 540 Trs pour 1000 m\n"
                        "Tour de roue de 185,2 cm\n");
    EXPECT_EQ(r.erreurs, "");
    // A base of "1.000" metres: the wheel's check says what it is, and --base is doubted.
    const Texecution mille = etalonnage(joint(journal), "23:59:50", "00:00:30", "1.000");
    EXPECT_EQ(mille.statut, 0);
    EXPECT_NE(mille.sortie.find("Les valeurs semblent erronnées !"), std::string::npos);
    EXPECT_NE(mille.erreurs.find("une base de 1,000 m ?"), std::string::npos) << mille.erreurs;
    const Texecution meme = etalonnage(joint(journal), "00:00:30", "00:00:30");
    EXPECT_EQ(meme.statut, 2);
    EXPECT_NE(meme.erreurs.find("doit venir après"), std::string::npos);
}

TEST_F(BaseDansLeJournal, une_divergence_dans_la_base_ne_mesure_rien) {
    // A revolution inside the base read back as key 4: the replay parts from the run there.
    std::vector<std::string> change = journal;
    const std::size_t i = revolution_apres("23:59:50");
    change[i].replace(change[i].size() - 4, 4, "0004");
    const Texecution r = etalonnage(joint(change), "23:59:50", "00:00:30");
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "");
    EXPECT_NE(r.erreurs.find("avant la fin de la base"), std::string::npos) << r.erreurs;
    EXPECT_NE(r.erreurs.find("ligne "), std::string::npos) << r.erreurs;

    // After the base: the measure stands, and the divergence is said.
    change = journal;
    const std::size_t k = revolution_apres("00:00:30");
    change[k].replace(change[k].size() - 4, 4, "0004");
    const Texecution apres = etalonnage(joint(change), "23:59:50", "00:00:30");
    EXPECT_EQ(apres.statut, 0) << apres.erreurs;
    EXPECT_NE(apres.sortie.find(": 540\n"), std::string::npos);
    EXPECT_NE(apres.erreurs.find("après la base"), std::string::npos) << apres.erreurs;
}
