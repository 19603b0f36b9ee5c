#pragma once
// Errors that end a handler and reach the crew through the default error box.

#include <stdexcept>
#include <string>

class Terreur_defaut : public std::runtime_error {
public:
    explicit Terreur_defaut(const std::string& texte) : std::runtime_error(texte), texte_(texte) {}
    // The whole text, even past a NUL byte that a file line may carry.
    const std::string& texte() const { return texte_; }

private:
    std::string texte_;
};

inline std::string texte_entier_incorrect(const std::string& t) {
    return "'" + t + "' n'est pas une valeur entière correcte";
}
inline std::string texte_reel_incorrect(const std::string& t) {
    return "'" + t + "' n'est pas une valeur en virgule flottante correcte";
}
inline const std::string texte_division_par_zero = "Division par zéro en virgule flottante";
inline const std::string texte_operation_incorrecte = "Opération en virgule flottante incorrecte";
inline std::string texte_ouverture_impossible(const std::string& fichier) {
    return "Impossible d'ouvrir le fichier " + fichier;
}

// The real quotient a / b as the default error box reports its failures.
[[noreturn]] inline void leve_division_par_zero(long long dividende) {
    throw Terreur_defaut(dividende == 0 ? texte_operation_incorrecte : texte_division_par_zero);
}
