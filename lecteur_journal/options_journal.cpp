#include "options_journal.h"

#include "heure_du_jour.h"

#include <tuple>

Toptions_journal lit_options_journal(const std::vector<std::string>& arguments) {
    Tlecture_options l;
    l.option({"o", "sortie"}, "SORTIE");
    l.option({"png"});
    l.option({"de"}, "HH:MM:SS[,d]");
    l.option({"a"}, "HH:MM:SS[,d]");
    l.option({"base"}, "METRES");
    Toptions_journal o;
    if (l.lit(arguments)) {
        o.aide = true;
        return o;
    }
    const std::vector<std::string> positionnels = l.positionnels();
    if (positionnels.empty())
        throw Tligne_refusee("il manque la commande : rejoue, csv, pdf ou etalonnage");
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
        throw Tligne_refusee("commande inconnue " + entre_guillemets(c) +
                             " : rejoue, csv, pdf ou etalonnage");
    if (positionnels.size() < 2) throw Tligne_refusee("il manque le journal à lire");
    if (positionnels.size() > 2)
        throw Tligne_refusee("argument en trop " + entre_guillemets(positionnels[2]));
    o.journal = positionnels[1];

    o.sortie = l.valeur("sortie");
    o.png = l.donnee("png");
    if (o.sortie && o.sortie->empty()) throw Tligne_refusee("le nom du fichier après -o est vide");
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
    const auto de = l.valeur("de"), a = l.valeur("a"), base = l.valeur("base");
    if (mesure && (!de || !a || !base))
        throw Tligne_refusee("etalonnage demande --de, --a et --base");
    if (!mesure && (de || a || base))
        throw Tligne_refusee("--de, --a et --base ne servent qu'avec etalonnage");
    if (!mesure) return o;
    for (const auto& [option, texte, heure] :
         {std::tuple{"--de", *de, &o.de}, std::tuple{"--a", *a, &o.a}})
        if (!(*heure = lit_heure_dixiemes(texte)))
            throw Tligne_refusee(std::string(option) + " " + entre_guillemets(texte) +
                                 " n'est pas une heure HH:MM:SS ou HH:MM:SS,d");
    if (!(o.base = lit_longueur_base(*base)))
        throw Tligne_refusee("--base " + entre_guillemets(*base) +
                             " n'est pas une longueur en mètres (1000 ou 1234,5)");
    return o;
}
