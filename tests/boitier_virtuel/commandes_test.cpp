// The virtual box's command line and typed commands, as a crew or a test gives them;
// and what it holds to send until a program opens it.
#include "commandes.h"
#include "file_envoi.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Tcodes = std::vector<std::uint8_t>;

struct Tligne {
    const char* ligne;
    const char* erreur; // empty: a command
    Tcommande::Tsorte sorte = Tcommande::aide;
    Tcodes codes = {};
    long nombre = 0;
};

void verifie_les_lignes() {
    const Tligne lignes[] = {
        {"touches 1 2 10 3 4 5 16", "", Tcommande::touches, {1, 2, 10, 3, 4, 5, 16}},
        {"  16 0", "", Tcommande::touches, {16, 0}},
        {"touche 15", "", Tcommande::touches, {15}},
        {"touche 17", "touche inconnue : 17 (codes de 0 à 16)"},
        {"1 2 -3", "touche inconnue : -3 (codes de 0 à 16)"},
        {"touche", "quelle touche ? (codes de 0 à 16)"},
        {"tours 540", "", Tcommande::tours, {}, 540},
        {"tours 100000000", "", Tcommande::tours, {}, 100000000},
        {"tours 100000001", "tours : un nombre de tours de 0 à 100000000"},
        {"tours", "tours : un nombre de tours de 0 à 100000000"},
        {"tours 5 6", "en trop : 6"},
        {"vitesse 60", "", Tcommande::vitesse},
        {"vitesse 401", "vitesse : de 0 à 400 km/h"},
        {"debranche", "", Tcommande::debranche},
        {"debranche 500", "", Tcommande::debranche, {}, 500},
        {"debranche 60001", "debranche : un délai de 0 à 60000 ms"},
        {"debranche 5 6", "en trop : 6"},
        {"rebranche", "", Tcommande::rebranche},
        {"quitte", "", Tcommande::quitte},
        {"aide", "", Tcommande::aide},
        {"avance", "commande inconnue : avance (aide : la liste)"},
        {"   ", ""}, // nothing
    };
    for (const auto& l : lignes) {
        SCOPED_TRACE(l.ligne);
        std::string erreur = "(non effacée)";
        const auto c = lit_commande(l.ligne, erreur);
        EXPECT_EQ(erreur, l.erreur);
        const bool rien = std::string(l.ligne).find_first_not_of(' ') == std::string::npos;
        ASSERT_EQ(c.has_value(), *l.erreur == '\0' && !rien);
        if (!c) continue;
        EXPECT_EQ(c->sorte, l.sorte);
        EXPECT_EQ(c->codes, l.codes);
        EXPECT_EQ(c->nombre, l.nombre);
    }
}

struct Toptions_attendues {
    std::vector<std::string> arguments;
    const char* erreur; // empty: the box starts
    Toptions o = {};
};

void verifie_les_options() {
    const auto options = [](auto f) {
        Toptions o;
        f(o);
        return o;
    };
    const Toptions_attendues cas[] = {
        {{}, ""},
        {{"--tours", "100000000", "1", "16"}, "", options([](Toptions& o) {
             o.tours = 100000000;
             o.touches = {1, 16};
         })},
        {{"--numero", "5", "--circonference", "1,852", "--vitesse", "60.5", "--cadence", "100"},
         "",
         options([](Toptions& o) {
             o.numero = 5;
             o.circonference_m = 1.852;
             o.kmh = 60.5;
             o.cadence = 100;
         })},
        {{"--horodatage", "/tmp/envois", "--tours", "3"}, "", options([](Toptions& o) {
             o.horodatage = "/tmp/envois";
             o.tours = 3;
         })},
        {{"--tours", "3", "--horodatage"}, "--horodatage : quel fichier ?"},
        {{"--tours", "100000001"}, "--tours : un nombre de tours de 0 à 100000000"},
        {{"--tours", "2,5"}, "--tours : un nombre de tours de 0 à 100000000"},
        {{"--numero", "256"}, "--numero : un identifiant de 0 à 255"},
        {{"--circonference"}, "--circonference : de 0,1 à 10 mètres"},
        {{"--vitesse", "vite"}, "--vitesse : de 0 à 400 km/h"},
        {{"--cadence", "0"}, "--cadence : de 1 à 10000 rapports par seconde"},
        {{"16", "17"}, "touche inconnue : 17 (codes de 0 à 16)"},
        {{"--tour", "5"}, "option inconnue : --tour (--aide pour l'usage)"},
    };
    for (const auto& c : cas) {
        std::string texte;
        for (const auto& a : c.arguments)
            texte += a + " ";
        SCOPED_TRACE(texte);
        Toptions o;
        std::string erreur;
        const Tlecture_options r = lit_options(c.arguments, o, erreur);
        EXPECT_EQ(erreur, c.erreur);
        ASSERT_EQ(r, *c.erreur ? Tlecture_options::erreur : Tlecture_options::a_lancer);
        if (*c.erreur) continue;
        EXPECT_EQ(o.numero, c.o.numero);
        EXPECT_DOUBLE_EQ(o.circonference_m, c.o.circonference_m);
        EXPECT_DOUBLE_EQ(o.kmh, c.o.kmh);
        EXPECT_DOUBLE_EQ(o.cadence, c.o.cadence);
        EXPECT_EQ(o.tours, c.o.tours);
        EXPECT_EQ(o.touches, c.o.touches);
        EXPECT_EQ(o.horodatage, c.o.horodatage);
    }
    Toptions o;
    std::string erreur;
    EXPECT_EQ(lit_options({"--tours", "5", "--aide"}, o, erreur), Tlecture_options::aide);
}

// Typed on its standard input, or given on its command line: every key up to the red button.
TEST(BoitierVirtuel, LesCommandesTapeesEtLaLigneDeCommande) {
    {
        SCOPED_TRACE("commandes tapées");
        verifie_les_lignes();
    }
    {
        SCOPED_TRACE("ligne de commande");
        verifie_les_options();
    }
}

TEST(BoitierVirtuel, CeQuiResteAEnvoyerTientEnUnLotParCommande) {
    Tfile_envoi file;
    file.ajoute_tours(3);
    file.ajoute_touches({1, 16});
    file.ajoute_tours(0); // nothing
    file.ajoute_tours(100000000);
    EXPECT_EQ(file.taille(), 4u);

    std::vector<std::pair<int, std::string>> envois;
    for (int i = 0; i < 7; ++i) {
        std::string fin;
        const int code = file.prend(fin);
        envois.emplace_back(code, fin);
    }
    const std::vector<std::pair<int, std::string>> attendus = {
        {48, ""}, {48, ""}, {48, "envoyé : 3 tours"}, {1, ""}, {16, "envoyé : touches 1 16"},
        {48, ""}, {48, ""}};
    EXPECT_EQ(envois, attendus);
    // The hundred million revolutions less two are still one entry.
    EXPECT_EQ(file.taille(), 1u);
    EXPECT_FALSE(file.vide());
    // Pulled out: all of it forgotten, the revolutions counted.
    file.ajoute_touches({5});
    EXPECT_EQ(file.oublie(), 99999998);
    EXPECT_TRUE(file.vide());
}

} // namespace
