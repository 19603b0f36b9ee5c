#pragma once
// The programs' command lines, read by Qt's QCommandLineParser with GNU's conventions
// ("--pas 10" or "--pas=10", "-o F" or "-oF", options before or after the other arguments,
// "--" ending the options), and refused in one style of French message: what is wrong, which
// the program says after its name and before its usage.

#include <QCommandLineParser>

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that cannot be understood: the French text says why.
class Tligne_refusee : public std::runtime_error {
public:
    explicit Tligne_refusee(const std::string& t) : std::runtime_error(t) {}
};

// An argument quoted in a message, escaped as everything the programs print: « texte ».
std::string entre_guillemets(const std::string& texte);

class Tlecture_options {
public:
    // With --aide, --help and -h.
    Tlecture_options();

    // An option by its names ("o", "sortie"): with `valeur` (its name in the usage), it takes
    // one; without, it is said or not.
    void option(std::initializer_list<const char*> noms, const char* valeur = nullptr);
    // Whether an option of that name takes a value; false for a name it does not know.
    bool prend_une_valeur(const std::string& nom) const;

    // Reads the arguments (after the program's name); true when --aide was asked. Throws
    // Tligne_refusee for an unknown option, a missing value or a value given to an option that
    // takes none.
    bool lit(const std::vector<std::string>& arguments);

    bool donnee(const char* nom) const;
    // The option's value, the last one where it was given more than once.
    std::optional<std::string> valeur(const char* nom) const;
    std::vector<std::string> positionnels() const;

private:
    QCommandLineParser parseur_;
    QStringList avec_valeur_; // the names of the options that take one
};
