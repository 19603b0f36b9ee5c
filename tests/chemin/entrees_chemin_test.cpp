// The installer's folder in the user's PATH: in once, out alone, every other character kept.
#include "entrees_chemin.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

const std::u16string dossier = u"C:\\Users\\Hélène\\AppData\\Local\\Programs\\VELMORA";

// A PATH before, what the edit says, and the PATH after (when it changed).
struct Tcas {
    const char* nom;
    std::u16string avant;
    Tissue_chemin issue;
    std::u16string apres;
};

void PrintTo(const Tcas& c, std::ostream* os) {
    *os << c.nom;
}

const auto nom_du_cas = [](const auto& i) { return std::string(i.param.nom); };

const Tcas cas_ajout[] = {
    {"un_chemin_vide_recoit_le_dossier_seul", u"", Tissue_chemin::change, dossier},
    {"le_dossier_vient_en_dernier", u"C:\\outils", Tissue_chemin::change, u"C:\\outils;" + dossier},
    {"les_entrees_vides_restent_la_derniere_aussi", u";C:\\a;;%USERPROFILE%\\bin;",
     Tissue_chemin::change, u";C:\\a;;%USERPROFILE%\\bin;;" + dossier},
    {"deja_la_il_n_y_est_pas_mis_deux_fois", u"C:\\a;" + dossier + u";C:\\b",
     Tissue_chemin::deja_fait, u""},
    {"deja_la_ecrit_en_capitales_et_barre_finale",
     u"C:\\a;c:\\USERS\\HÉLÈNE\\appdata\\local\\programs\\velmora\\", Tissue_chemin::deja_fait,
     u""},
    {"un_dossier_qui_commence_pareil_n_est_pas_le_notre",
     u"C:\\a;" + dossier + u"2;" + dossier + u"\\outils", Tissue_chemin::change,
     u"C:\\a;" + dossier + u"2;" + dossier + u"\\outils;" + dossier},
};

class Ajout : public ::testing::TestWithParam<Tcas> {};

TEST_P(Ajout, donne_le_chemin_attendu_et_le_retrait_rend_l_original) {
    const Tcas& c = GetParam();
    const Tchemin_modifie a = ajoute_au_chemin(c.avant, dossier);
    ASSERT_EQ(a.issue, c.issue);
    if (a.issue != Tissue_chemin::change) return;
    EXPECT_EQ(a.valeur, c.apres);
    // Installed, then uninstalled: the PATH as it was, to the last character.
    const Tchemin_modifie r = retire_du_chemin(a.valeur, dossier);
    ASSERT_EQ(r.issue, Tissue_chemin::change);
    EXPECT_EQ(r.valeur, c.avant);
}

INSTANTIATE_TEST_SUITE_P(Chemin, Ajout, ::testing::ValuesIn(cas_ajout), nom_du_cas);

const Tcas cas_retrait[] = {
    {"seul_il_laisse_un_chemin_vide", dossier, Tissue_chemin::change, u""},
    {"en_tete_il_part_avec_le_separateur_qui_le_suit", dossier + u";C:\\a", Tissue_chemin::change,
     u"C:\\a"},
    {"au_milieu_les_voisins_et_les_vides_restent", u"C:\\a;;" + dossier + u";;C:\\b;",
     Tissue_chemin::change, u"C:\\a;;;C:\\b;"},
    {"chaque_ecriture_du_dossier_part",
     u"C:\\a;" + dossier + u"\\;C:\\b;C:\\USERS\\HÉLÈNE\\APPDATA\\LOCAL\\PROGRAMS\\VELMORA",
     Tissue_chemin::change, u"C:\\a;C:\\b"},
    {"absent_rien_ne_change", u"C:\\a;" + dossier + u"2;C:\\b", Tissue_chemin::deja_fait, u""},
    {"chemin_vide", u"", Tissue_chemin::deja_fait, u""},
};

class Retrait : public ::testing::TestWithParam<Tcas> {};

TEST_P(Retrait, enleve_le_dossier_et_rien_d_autre) {
    const Tcas& c = GetParam();
    const Tchemin_modifie r = retire_du_chemin(c.avant, dossier);
    ASSERT_EQ(r.issue, c.issue);
    if (r.issue == Tissue_chemin::change) {
        EXPECT_EQ(r.valeur, c.apres);
    }
}

INSTANTIATE_TEST_SUITE_P(Chemin, Retrait, ::testing::ValuesIn(cas_retrait), nom_du_cas);

TEST(MemeDossier, lettres_latines_sans_casse_et_barre_finale_ignoree) {
    struct {
        std::u16string a, b;
        bool meme;
    } const cas[] = {
        {u"C:\\Outils", u"c:\\OUTILS", true},
        {u"C:\\outils\\", u"C:\\outils", true},
        {u"C:\\outils/", u"C:\\outils", true},
        {u"C:\\Données\\Œuvres\\Ÿ\\Łódź", u"C:\\DONNÉES\\œuvres\\ÿ\\łÓDŹ", true},
        {u"C:\\outils", u"C:\\outils2", false},
        {u"C:\\outils", u"C:\\óutils", false},
        {u"C:\\outils", u"C:\\outil", false},
        {u"C:\\a÷b", u"C:\\a×b", false},
    };
    for (const auto& c : cas)
        EXPECT_EQ(meme_dossier(c.a, c.b), c.meme)
            << std::string(c.a.begin(), c.a.end()) << " / " << std::string(c.b.begin(), c.b.end());
}

// Windows' limit holds a PATH of 32,767 characters: the folder goes in up to there, never past.
TEST(Limite, le_dossier_entre_jusqu_a_32767_caracteres_et_pas_au_dela) {
    const std::u16string juste(longueur_max_chemin - 1 - dossier.size(), u'x');
    const Tchemin_modifie a = ajoute_au_chemin(juste, dossier);
    ASSERT_EQ(a.issue, Tissue_chemin::change);
    EXPECT_EQ(a.valeur.size(), longueur_max_chemin);
    EXPECT_EQ(ajoute_au_chemin(juste + u'x', dossier).issue, Tissue_chemin::trop_long);
    // Whatever its length, the folder comes out of it.
    const std::u16string long_(100000, u'y');
    const Tchemin_modifie r = retire_du_chemin(long_ + u";" + dossier, dossier);
    ASSERT_EQ(r.issue, Tissue_chemin::change);
    EXPECT_EQ(r.valeur, long_);
}

} // namespace
