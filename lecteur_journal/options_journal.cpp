#include "options_journal.h"

#include "texte_affichable.h"

namespace {

// An argument quoted in a message, escaped as everything the program prints.
std::string cite(const std::string& a) {
    return "« " + texte_affichable(a, 200) + " »";
}

} // namespace

Toptions_journal lit_options_journal(const std::vector<std::string>& arguments) {
    Toptions_journal o;
    std::vector<std::string> positionnels;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--aide" || a == "--help" || a == "-h") {
            o.aide = true;
            return o;
        }
        if (a == "-o" || a == "--sortie") {
            if (i + 1 >= arguments.size()) throw Tligne_refusee("il manque le fichier après " + a);
            if (arguments[i + 1].empty())
                throw Tligne_refusee("le nom du fichier après " + a + " est vide");
            o.sortie = arguments[++i];
        } else if (a == "--de" || a == "--a" || a == "--base") {
            if (i + 1 >= arguments.size()) throw Tligne_refusee("il manque la valeur après " + a);
            (a == "--de" ? o.de : a == "--a" ? o.a : o.base) = arguments[++i];
        } else if (a == "--png") {
            o.png = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw Tligne_refusee("option inconnue " + cite(a));
        } else {
            positionnels.push_back(a);
        }
    }
    if (positionnels.empty()) throw Tligne_refusee("il manque la commande : rejoue, csv ou pdf");
    const std::string& c = positionnels[0];
    if (c == "rejoue")
        o.commande = Tcommande_journal::rejoue;
    else if (c == "csv")
        o.commande = Tcommande_journal::csv;
    else if (c == "pdf")
        o.commande = Tcommande_journal::pdf;
    else if (c == "etalonnage")
        o.commande = Tcommande_journal::etalonnage;
    else
        throw Tligne_refusee("commande inconnue " + cite(c) + " : rejoue, csv, pdf ou etalonnage");
    if (positionnels.size() < 2) throw Tligne_refusee("il manque le journal à lire");
    if (positionnels.size() > 2) throw Tligne_refusee("argument en trop " + cite(positionnels[2]));
    o.journal = positionnels[1];
    if (o.commande == Tcommande_journal::pdf && !o.sortie)
        throw Tligne_refusee("il manque le fichier à écrire : -o SORTIE.pdf");
    if (o.commande != Tcommande_journal::pdf && o.png)
        throw Tligne_refusee("--png ne sert qu'avec pdf");
    if (o.commande != Tcommande_journal::pdf && o.commande != Tcommande_journal::csv && o.sortie)
        throw Tligne_refusee("-o ne sert qu'avec csv et pdf");
    // Standard output takes the spreadsheet's text; a PDF and its pictures go to files.
    if (o.commande == Tcommande_journal::pdf && *o.sortie == "-")
        throw Tligne_refusee(o.png ? "les images s'écrivent dans des fichiers : -o SORTIE.png"
                                   : "le PDF s'écrit dans un fichier : -o SORTIE.pdf");
    const bool mesure = o.commande == Tcommande_journal::etalonnage;
    if (mesure && (!o.de || !o.a || !o.base))
        throw Tligne_refusee("etalonnage demande --de, --a et --base");
    if (!mesure && (o.de || o.a || o.base))
        throw Tligne_refusee("--de, --a et --base ne servent qu'avec etalonnage");
    return o;
}
