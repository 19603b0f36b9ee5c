#include "lecture_options.h"

#include "texte_affichable.h"

namespace {

// The arguments reach Qt's parser byte for byte, one character a byte: a file's name on Linux
// is any bytes, which a round trip through UTF-16 would change where they are not UTF-8. The
// options' names and signs are ASCII, the same either way.
QString octets(const std::string& t) {
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

std::string texte(const QString& t) {
    return t.toLatin1().toStdString();
}

// An option's name as typed: "-o", "--sortie".
std::string tel_que_tape(const QString& nom) {
    return (nom.size() == 1 ? "-" : "--") + texte(nom);
}

} // namespace

std::string entre_guillemets(const std::string& t) {
    return "« " + texte_affichable(t, 200) + " »";
}

Tlecture_options::Tlecture_options() {
    // Every option is the program's own: none of Qt's (-h, -v and -? of addHelpOption).
    option({"h", "aide", "help"});
}

void Tlecture_options::option(std::initializer_list<const char*> noms, const char* valeur) {
    QStringList n;
    for (const char* nom : noms)
        n << QString::fromUtf8(nom);
    QCommandLineOption o(n);
    if (valeur != nullptr) {
        o.setValueName(QString::fromUtf8(valeur));
        avec_valeur_ << n;
    }
    parseur_.addOption(o);
}

bool Tlecture_options::prend_une_valeur(const std::string& nom) const {
    return avec_valeur_.contains(octets(nom));
}

bool Tlecture_options::lit(const std::vector<std::string>& arguments) {
    // Qt's parser takes the program's name first.
    QStringList a{QStringLiteral("-")};
    for (const std::string& t : arguments)
        a << octets(t);
    if (!parseur_.parse(a)) {
        if (const QStringList inconnues = parseur_.unknownOptionNames(); !inconnues.isEmpty())
            throw Tligne_refusee("option inconnue " +
                                 entre_guillemets(tel_que_tape(inconnues.first())));
        // The other two refusals name the option as typed between single quotes (Qt's own
        // text, English and not for the crew): "Missing value after '--pas'." and "Unexpected
        // value after '--png'.". Which one it is, the option says.
        const QString erreur = parseur_.errorText();
        const qsizetype debut = erreur.indexOf(u'\''), fin = erreur.lastIndexOf(u'\'');
        if (debut < 0 || fin <= debut)
            throw Tligne_refusee("ligne de commande incorrecte : " + texte(erreur));
        const QString tape = erreur.mid(debut + 1, fin - debut - 1);
        QString nom = tape;
        while (nom.startsWith(u'-'))
            nom.remove(0, 1);
        nom = nom.section(u'=', 0, 0);
        // A short option's value may follow it in the same word ("-ofichier").
        if (!tape.startsWith(QStringLiteral("--"))) nom = nom.right(1);
        if (prend_une_valeur(texte(nom)))
            throw Tligne_refusee("il manque la valeur de l'option " + tel_que_tape(nom));
        throw Tligne_refusee("l'option " + tel_que_tape(nom) + " ne prend pas de valeur");
    }
    return parseur_.isSet(QStringLiteral("aide"));
}

bool Tlecture_options::donnee(const char* nom) const {
    return parseur_.isSet(QString::fromUtf8(nom));
}

std::optional<std::string> Tlecture_options::valeur(const char* nom) const {
    const QStringList v = parseur_.values(QString::fromUtf8(nom));
    if (v.isEmpty()) return std::nullopt;
    return texte(v.last());
}

std::vector<std::string> Tlecture_options::positionnels() const {
    std::vector<std::string> p;
    for (const QString& t : parseur_.positionalArguments())
        p.push_back(texte(t));
    return p;
}
