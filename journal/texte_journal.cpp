#include "texte_journal.h"

#include "hexa.h"
#include "texte_affichable.h"

#include <algorithm>
#include <charconv>

void ajoute_texte(std::string& ligne, std::string_view t) {
    ligne += '"';
    for (std::size_t i = 0; i < t.size();) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ligne += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t n = sequence_utf8(t, i)) {
                ligne.append(t.substr(i, n));
                i += n;
                continue;
            }
        }
        ligne += '\\';
        switch (c) {
        case '"':
            ligne += '"';
            break;
        case '\\':
            ligne += '\\';
            break;
        case '\n':
            ligne += 'n';
            break;
        case '\r':
            ligne += 'r';
            break;
        case '\t':
            ligne += 't';
            break;
        default:
            ligne += 'x';
            ligne += chiffres_hexa[c >> 4];
            ligne += chiffres_hexa[c & 0xF];
        }
        ++i;
    }
    ligne += '"';
}

std::string texte_pour_terminal(std::string_view t, std::size_t longueur_max) {
    // Escaping at most four bytes a byte: no need to look further than this.
    std::string l;
    ajoute_texte(l, t.substr(0, longueur_max + 4));
    std::string_view v(l);
    v.remove_prefix(1);
    v.remove_suffix(1);
    // The journal's escapes leave C1 and bidirectional controls, which are UTF-8: the
    // programs' own escaping takes them.
    if (v.size() <= longueur_max && t.size() <= longueur_max) return texte_affichable(v);
    // Cut on a character's first byte, never inside a sequence or an escape.
    std::size_t fin = std::min(longueur_max, v.size());
    while (fin > 0 && fin < v.size() && (static_cast<unsigned char>(v[fin]) & 0xC0) == 0x80)
        --fin;
    const std::size_t echappement = fin > 0 ? v.rfind('\\', fin - 1) : std::string_view::npos;
    if (echappement != std::string_view::npos && fin - echappement < 4) {
        // Whether that backslash starts an escape (an even run of them does not).
        std::size_t n = 0;
        while (n <= echappement && v[echappement - n] == '\\')
            ++n;
        if (n % 2 == 1) fin = echappement;
    }
    return texte_affichable(v.substr(0, fin)) + "…";
}

bool ligne_lisible(std::string_view ligne) {
    for (std::size_t i = 0; i < ligne.size();) {
        const auto c = static_cast<unsigned char>(ligne[i]);
        if (c < 0x20 || c == 0x7F) return false;
        const std::size_t n = sequence_utf8(ligne, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::optional<std::vector<std::string>> decoupe_ligne(std::string_view ligne) {
    if (!ligne_lisible(ligne)) return std::nullopt;
    std::vector<std::string> mots;
    std::size_t i = 0;
    while (i < ligne.size()) {
        if (!mots.empty()) {
            if (ligne[i] != ' ') return std::nullopt;
            ++i;
        }
        if (i >= ligne.size()) return std::nullopt; // a trailing space
        std::string mot;
        if (ligne[i] != '"') {
            while (i < ligne.size() && ligne[i] != ' ' && ligne[i] != '"')
                mot += ligne[i++];
            if (mot.empty() || (i < ligne.size() && ligne[i] == '"')) return std::nullopt;
            mots.push_back(std::move(mot));
            continue;
        }
        ++i;
        bool ferme = false;
        while (i < ligne.size()) {
            const char c = ligne[i++];
            if (c == '"') {
                ferme = true;
                break;
            }
            if (c != '\\') {
                mot += c;
                continue;
            }
            if (i >= ligne.size()) return std::nullopt;
            switch (ligne[i++]) {
            case '"':
                mot += '"';
                break;
            case '\\':
                mot += '\\';
                break;
            case 'n':
                mot += '\n';
                break;
            case 'r':
                mot += '\r';
                break;
            case 't':
                mot += '\t';
                break;
            case 'x': {
                if (i + 2 > ligne.size()) return std::nullopt;
                const int h = valeur_hexa(ligne[i]), b = valeur_hexa(ligne[i + 1]);
                if (h < 0 || b < 0) return std::nullopt;
                mot += static_cast<char>(h * 16 + b);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
            }
        }
        if (!ferme) return std::nullopt;
        mots.push_back(std::move(mot));
    }
    return mots;
}

std::optional<std::int64_t> lit_nombre(std::string_view mot, std::int64_t min, std::int64_t max) {
    std::int64_t v = 0;
    const char* fin = mot.data() + mot.size();
    if (mot.empty() || mot[0] == '+') return std::nullopt;
    const auto [p, e] = std::from_chars(mot.data(), fin, v);
    if (e != std::errc() || p != fin || v < min || v > max) return std::nullopt;
    return v;
}

std::string octets_en_hexa(const std::uint8_t* octets, std::size_t n) {
    if (n == 0) return "-";
    std::string t;
    t.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        t += chiffres_hexa[octets[i] >> 4];
        t += chiffres_hexa[octets[i] & 0xF];
    }
    return t;
}

std::optional<std::vector<std::uint8_t>> hexa_en_octets(std::string_view mot) {
    std::vector<std::uint8_t> v;
    if (mot == "-") return v;
    if (mot.empty() || mot.size() % 2 != 0) return std::nullopt;
    for (std::size_t i = 0; i < mot.size(); i += 2) {
        const int h = valeur_hexa(mot[i]), b = valeur_hexa(mot[i + 1]);
        if (h < 0 || b < 0) return std::nullopt;
        v.push_back(static_cast<std::uint8_t>(h * 16 + b));
    }
    return v;
}
