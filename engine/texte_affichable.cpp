#include "texte_affichable.h"

#include "hexa.h"

namespace {

// The code point of a well-formed sequence of n bytes.
char32_t point_de_code(std::string_view s) {
    const auto o = [&](std::size_t k) {
        return static_cast<char32_t>(static_cast<unsigned char>(s[k]));
    };
    switch (s.size()) {
    case 1:
        return o(0);
    case 2:
        return (o(0) & 0x1F) << 6 | (o(1) & 0x3F);
    case 3:
        return (o(0) & 0x0F) << 12 | (o(1) & 0x3F) << 6 | (o(2) & 0x3F);
    default:
        return (o(0) & 0x07) << 18 | (o(1) & 0x3F) << 12 | (o(2) & 0x3F) << 6 | (o(3) & 0x3F);
    }
}

bool a_echapper(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Appends the escape of the character or byte at t[i] and returns its length in t.
std::size_t ajoute(std::string& r, std::string_view t, std::size_t i, bool garde_sauts) {
    const std::size_t n = sequence_utf8(t, i);
    if (n == 0) { // a byte that is not UTF-8
        const auto c = static_cast<unsigned char>(t[i]);
        r += "\\x";
        r += chiffres_hexa[c >> 4];
        r += chiffres_hexa[c & 0xF];
        return 1;
    }
    const std::string_view s = t.substr(i, n);
    const char32_t c = point_de_code(s);
    if (!a_echapper(c) || (garde_sauts && c == '\n')) {
        r.append(s);
    } else if (c == '\n') {
        r += "\\n";
    } else if (c == '\r') {
        r += "\\r";
    } else if (c == '\t') {
        r += "\\t";
    } else if (c < 0x80) {
        r += "\\x";
        r += chiffres_hexa[c >> 4];
        r += chiffres_hexa[c & 0xF];
    } else {
        r += "\\u";
        for (int d = 12; d >= 0; d -= 4)
            r += chiffres_hexa[(c >> d) & 0xF];
    }
    return n;
}

} // namespace

std::size_t sequence_utf8(std::string_view t, std::size_t i) {
    const auto o = [&](std::size_t k) { return static_cast<unsigned char>(t[k]); };
    const unsigned char c = o(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    unsigned char bas = 0x80, haut = 0xBF; // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) bas = 0xA0;
        if (c == 0xED) haut = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) bas = 0x90;
        if (c == 0xF4) haut = 0x8F;
    } else {
        return 0;
    }
    if (i + n > t.size()) return 0;
    if (o(i + 1) < bas || o(i + 1) > haut) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (o(i + k) < 0x80 || o(i + k) > 0xBF) return 0;
    return n;
}

std::string texte_affichable(std::string_view t, std::size_t longueur_max) {
    std::string r;
    for (std::size_t i = 0; i < t.size();) {
        const std::size_t avant = r.size();
        i += ajoute(r, t, i, false);
        if (r.size() > longueur_max) {
            r.resize(avant);
            return r + "…";
        }
    }
    return r;
}

std::string texte_affichable(std::string_view t) {
    return texte_affichable(t, std::string::npos);
}

std::string lignes_affichables(std::string_view message) {
    std::string r;
    r.reserve(message.size());
    for (std::size_t i = 0; i < message.size();)
        i += ajoute(r, message, i, true);
    return r;
}
