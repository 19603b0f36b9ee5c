// The user's PATH in the registry (under Wine, the test prefix's): lengths past the installer's
// old 1,024-character strings, each type kept, compared entry by entry (the installer's own test
// gives 1,279 and 30,000 characters through the installer). The PATH found at the start is put
// back at the end.
#include "registre_chemin.h"
#include "texte_windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::u16string dossier = u"C:\\users\\Hélène\\AppData\\Local\\Programs\\VELMORA";

struct Tpath {
    DWORD type = REG_NONE; // REG_NONE: no value
    std::u16string texte;
};

HKEY environnement() {
    HKEY h = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Environment", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                    nullptr);
    return h;
}

Tpath lit() {
    const HKEY h = environnement();
    Tpath p;
    DWORD taille = 0;
    if (RegQueryValueExW(h, L"Path", nullptr, &p.type, nullptr, &taille) == ERROR_SUCCESS) {
        std::vector<BYTE> octets(taille + 2, 0);
        RegQueryValueExW(h, L"Path", nullptr, &p.type, octets.data(), &taille);
        p.texte.resize(taille / 2);
        std::memcpy(p.texte.data(), octets.data(), p.texte.size() * 2);
        if (!p.texte.empty() && p.texte.back() == u'\0') p.texte.pop_back();
    } else {
        p.type = REG_NONE;
    }
    RegCloseKey(h);
    return p;
}

void ecrit(const Tpath& p) {
    const HKEY h = environnement();
    if (p.type == REG_NONE)
        RegDeleteValueW(h, L"Path");
    else if (p.type == REG_DWORD) {
        const DWORD d = 7;
        RegSetValueExW(h, L"Path", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
    } else
        RegSetValueExW(h, L"Path", 0, p.type, reinterpret_cast<const BYTE*>(p.texte.c_str()),
                       static_cast<DWORD>((p.texte.size() + 1) * 2));
    RegCloseKey(h);
}

std::vector<std::string> entrees(const std::u16string& texte) {
    std::vector<std::string> r(1);
    std::wstring e;
    for (const char16_t c : texte + u';') {
        if (c != u';') {
            e += static_cast<wchar_t>(c);
            continue;
        }
        r.back() = utf8_depuis_large(e.c_str());
        r.emplace_back();
        e.clear();
    }
    r.pop_back();
    return r;
}

// Entry by entry: the first that differs is named, not 30,000 characters.
::testing::AssertionResult meme_path(const Tpath& attendu, const Tpath& lu) {
    if (attendu.type != lu.type)
        return ::testing::AssertionFailure() << "type " << lu.type << ", attendu " << attendu.type;
    const auto a = entrees(attendu.texte);
    const auto l = entrees(lu.texte);
    for (std::size_t i = 0; i < std::min(a.size(), l.size()); ++i)
        if (a[i] != l[i])
            return ::testing::AssertionFailure()
                   << "entrée " << i << " : « " << l[i] << " », attendu « " << a[i] << " »";
    if (a.size() != l.size())
        return ::testing::AssertionFailure()
               << l.size() << " entrées, attendu " << a.size() << " (dernière lue : « "
               << (l.empty() ? "" : l.back()) << " »)";
    return ::testing::AssertionSuccess();
}

// A crew's PATH of exactly `n` characters: programs' folders, variables to expand, empty
// entries, accents, as on a real machine.
std::u16string chemin_de(std::size_t n) {
    const std::u16string motifs[] = {u"C:\\Program Files\\Outil ", u"%USERPROFILE%\\bin", u"",
                                     u"C:\\Données\\Été €\\Łódź ",
                                     u"D:\\logiciels\\rallye\\version "};
    std::u16string r;
    for (unsigned i = 0; r.size() < n; ++i) {
        if (!r.empty()) r += u';';
        r += motifs[i % 5];
        if (i % 5 == 0 || i % 5 >= 3)
            for (const char c : std::to_string(i))
                r += static_cast<char16_t>(c);
    }
    r.resize(n);
    if (r.back() == u'\\') r.back() = u'x'; // no entry that could be our folder with its slash
    return r;
}

class CheminRegistre : public ::testing::Test {
protected:
    void SetUp() override { avant_ = lit(); }
    void TearDown() override { ecrit(avant_); }

private:
    Tpath avant_;
};

struct Tcas {
    const char* nom;
    Tpath avant;
};

// Installed then uninstalled, each: the folder at the end, with the type it had; once only;
// then the PATH as it was.
TEST_F(CheminRegistre, installe_puis_desinstalle_le_path_garde_chaque_entree_et_son_type) {
    const Tcas cas[] = {
        {"1000 caractères", {REG_EXPAND_SZ, chemin_de(1000)}},
        {"1022 caractères", {REG_EXPAND_SZ, chemin_de(1022)}},
        {"30000 caractères REG_SZ", {REG_SZ, chemin_de(30000)}},
        {"REG_SZ court, vides en tête et en fin", {REG_SZ, u";C:\\outils;"}},
        {"vide", {REG_EXPAND_SZ, u""}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ecrit(c.avant);
        ASSERT_EQ(lit().texte.size(), c.avant.texte.size());
        Tbilan_chemin b = modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier);
        ASSERT_EQ(b.erreur, "");
        EXPECT_EQ(b.issue, Tissue_chemin::change);
        const Tpath installe{c.avant.type,
                             c.avant.texte.empty() ? dossier : c.avant.texte + u";" + dossier};
        EXPECT_TRUE(meme_path(installe, lit()));
        b = modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier);
        EXPECT_EQ(b.issue, Tissue_chemin::deja_fait);
        EXPECT_TRUE(meme_path(installe, lit()));
        b = modifie_chemin_utilisateur(Toperation_chemin::retire, dossier);
        ASSERT_EQ(b.erreur, "");
        EXPECT_TRUE(meme_path(c.avant.texte.empty() ? Tpath{} : c.avant, lit()));
    }
}

TEST_F(CheminRegistre, sans_path_il_est_cree_en_reg_expand_sz_et_s_en_va_au_retrait) {
    ecrit({});
    ASSERT_EQ(modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier).erreur, "");
    EXPECT_TRUE(meme_path({REG_EXPAND_SZ, dossier}, lit()));
    ASSERT_EQ(modifie_chemin_utilisateur(Toperation_chemin::retire, dossier).erreur, "");
    EXPECT_TRUE(meme_path({}, lit()));
    EXPECT_EQ(modifie_chemin_utilisateur(Toperation_chemin::retire, dossier).issue,
              Tissue_chemin::deja_fait);
}

// An upgrade finds the folder as a crew may have retyped it: nothing added; the uninstaller
// takes that entry out, and only it.
TEST_F(CheminRegistre, le_dossier_retape_par_l_equipe_est_le_notre) {
    const std::u16string avant = chemin_de(20000);
    const std::u16string retape = u"C:\\USERS\\HÉLÈNE\\APPDATA\\LOCAL\\PROGRAMS\\VELMORA\\";
    ecrit({REG_SZ, avant + u";" + retape + u";C:\\fin"});
    EXPECT_EQ(modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier).issue,
              Tissue_chemin::deja_fait);
    EXPECT_TRUE(meme_path({REG_SZ, avant + u";" + retape + u";C:\\fin"}, lit()));
    EXPECT_EQ(modifie_chemin_utilisateur(Toperation_chemin::retire, dossier).issue,
              Tissue_chemin::change);
    EXPECT_TRUE(meme_path({REG_SZ, avant + u";C:\\fin"}, lit()));
}

// At Windows' limit the PATH stays whole, and says why; a value that is no text stays too.
TEST_F(CheminRegistre, un_path_plein_ou_qui_n_est_pas_un_texte_reste_tel_quel) {
    const Tpath plein{REG_EXPAND_SZ, chemin_de(longueur_max_chemin - dossier.size())};
    ecrit(plein);
    const Tbilan_chemin b = modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier);
    EXPECT_EQ(b.issue, Tissue_chemin::trop_long);
    EXPECT_TRUE(meme_path(plein, lit()));

    ecrit({REG_DWORD, {}});
    const Tbilan_chemin d = modifie_chemin_utilisateur(Toperation_chemin::ajoute, dossier);
    EXPECT_NE(d.erreur.find("n'est pas un texte"), std::string::npos) << d.erreur;
    EXPECT_EQ(lit().type, static_cast<DWORD>(REG_DWORD));
}

} // namespace
