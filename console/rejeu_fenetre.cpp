#include "rejeu_fenetre.h"

#include "apparence.h"
#include "texte_affichable.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <iostream>
#include <new>

namespace {

const QString ignorees = QStringLiteral(" : commandes de l'équipage ignorées");

QString texte_vitesse(double vitesse) {
    return vitesse == 1.0 ? QString() : QStringLiteral(" à ×%1").arg(QLocale().toString(vitesse));
}

} // namespace

Tlecteur_fenetre::Tlecteur_fenetre(Tfiche_mere& fiche, Trejeu& rejeu, const std::string& nom,
                                   double vitesse)
    : fiche_(fiche), rejeu_(rejeu), titre_(fiche.windowTitle()),
      fichier_(QFileInfo(QString::fromStdString(nom)).fileName()), vitesse_(vitesse) {
    fiche_.setWindowTitle(titre_ + QStringLiteral(" — rejeu de ") + fichier_ +
                          texte_vitesse(vitesse) + ignorees);
    QCoreApplication::instance()->installEventFilter(this);
    rejeu_.avant = [this](const Tevenement&, std::int64_t t) { attend(t); };
    // The journal's boxes show as the crew saw them, and close when the crew closed them.
    rejeu_.boite_ouverte = [this](const std::string& texte) {
        auto b =
            std::make_unique<QMessageBox>(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                                          QString::fromStdString(texte), QMessageBox::Ok, &fiche_);
        b->setWindowModality(Qt::NonModal);
        b->show();
        boites_.push_back(std::move(b));
    };
    rejeu_.boite_fermee = [this] {
        if (!boites_.empty()) boites_.pop_back();
    };
}

Tlecteur_fenetre::~Tlecteur_fenetre() {
    QCoreApplication::instance()->removeEventFilter(this);
    rejeu_.avant = nullptr;
    rejeu_.boite_ouverte = nullptr;
    rejeu_.boite_fermee = nullptr;
}

bool Tlecteur_fenetre::eventFilter(QObject* objet, QEvent* e) {
    // Every click, key and wheel turn is dropped while the replay holds the window: the
    // widgets must show the journal's run, not the viewer's.
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
        return objet->isWidgetType();
    default:
        return false;
    }
}

void Tlecteur_fenetre::attend(std::int64_t t) {
    // Each event at its recorded time from the first, divided by the speed. The window
    // is painted while the replay waits, and at least every 40 ms when it is behind.
    if (origine_ < 0) {
        origine_ = t;
        horloge_.start();
        peinture_.start();
    }
    const auto du = static_cast<qint64>(static_cast<double>(t - origine_) / vitesse_);
    for (;;) {
        if (!fiche_.isVisible()) throw Tarret_rejeu{};
        const qint64 reste = du - horloge_.elapsed();
        if (reste <= 0) break;
        QEventLoop attente;
        QTimer::singleShot(std::min<qint64>(reste, 100), &attente, &QEventLoop::quit);
        attente.exec();
        peinture_.restart();
    }
    if (peinture_.elapsed() > 40) {
        QCoreApplication::processEvents();
        peinture_.restart();
        if (!fiche_.isVisible()) throw Tarret_rejeu{};
    }
}

void Tlecteur_fenetre::joue() {
    rejeu_.rejoue(fiche_.entree());
    boites_.clear();
    if (const auto& d = rejeu_.divergence()) {
        fiche_.setWindowTitle(
            titre_ + QStringLiteral(" — rejeu de ") + fichier_ +
            QStringLiteral(" arrêté : divergence à %1 (%2)")
                .arg(QString::fromStdString(d->heure), QString::fromStdString(d->controle)) +
            ignorees);
    } else if (fiche_.isVisible()) {
        fiche_.setWindowTitle(titre_ + QStringLiteral(" — fin du rejeu de ") + fichier_ + ignorees);
    }
}

int rejoue_dans_la_fenetre(QApplication& app, const Tjournal& journal, const std::string& nom,
                           double vitesse) {
    Trejeu rejeu(journal);
    Tmode_fiche mode;
    mode.rejeu = true;
    Tfiche_mere fiche(rejeu, rejeu, std::move(mode));
    Tlecteur_fenetre lecteur(fiche, rejeu, nom, vitesse);
    int statut = 0;
    const std::string nom_affiche = texte_affichable(nom, 200);
    QTimer::singleShot(0, &fiche, [&] {
        try {
            lecteur.joue();
        } catch (const std::bad_alloc&) {
            // As velmora-journal: a journal too big for this computer's memory is refused.
            statut = 2;
            std::cerr << "velmora : " << nom_affiche << " : mémoire insuffisante pour le rejouer\n";
            fiche.close();
            return;
        }
        if (const auto& d = rejeu.divergence()) {
            statut = 1;
            std::cerr << "velmora : " << nom_affiche << " : " << texte_divergence(*d) << '\n';
        } else if (rejeu.points_compares() == 0 && fiche.isVisible()) {
            // As velmora-journal: nothing compared is not a replay found the same.
            statut = 3;
            std::cerr << "velmora : " << nom_affiche
                      << " : rien de comparé : aucun point de contrôle dans ce journal\n";
        }
    });
    fiche.montre_au_centre();
    const int sortie = app.exec();
    return sortie != 0 ? sortie : statut;
}
