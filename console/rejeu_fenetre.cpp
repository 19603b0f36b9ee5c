#include "rejeu_fenetre.h"

#include "apparence.h"
#include "fiche_mere.h"
#include "rejeu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

namespace {

// Drops every click, key and wheel turn while the replay holds the window: the widgets
// must show the journal's run, not the viewer's.
class Tequipage_ignore : public QObject {
protected:
    bool eventFilter(QObject* objet, QEvent* e) override {
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
};

QString texte_vitesse(double vitesse) {
    return vitesse == 1.0 ? QString() : QStringLiteral(" à ×%1").arg(QLocale().toString(vitesse));
}

} // namespace

int rejoue_dans_la_fenetre(QApplication& app, const Tjournal& journal, const std::string& nom,
                           double vitesse) {
    Trejeu rejeu(journal);
    Tmode_fiche mode;
    mode.rejeu = true;
    Tfiche_mere fiche(rejeu, rejeu, std::move(mode));
    const QString titre = fiche.windowTitle();
    const QString fichier = QFileInfo(QString::fromStdString(nom)).fileName();
    const QString ignorees = QStringLiteral(" : commandes de l'équipage ignorées");
    fiche.setWindowTitle(titre + QStringLiteral(" — rejeu de ") + fichier + texte_vitesse(vitesse) +
                         ignorees);
    Tequipage_ignore ignore;
    app.installEventFilter(&ignore);

    // Each event at its recorded time from the first, divided by the speed. The window
    // is painted while the replay waits, and at least every 40 ms when it is behind.
    QElapsedTimer horloge, peinture;
    std::int64_t origine = -1;
    rejeu.avant = [&](const Tevenement&, std::int64_t t) {
        if (origine < 0) {
            origine = t;
            horloge.start();
            peinture.start();
        }
        const auto du = static_cast<qint64>(static_cast<double>(t - origine) / vitesse);
        for (;;) {
            if (!fiche.isVisible()) throw Tarret_rejeu{};
            const qint64 reste = du - horloge.elapsed();
            if (reste <= 0) break;
            QEventLoop attente;
            QTimer::singleShot(std::min<qint64>(reste, 100), &attente, &QEventLoop::quit);
            attente.exec();
            peinture.restart();
        }
        if (peinture.elapsed() > 40) {
            QCoreApplication::processEvents();
            peinture.restart();
            if (!fiche.isVisible()) throw Tarret_rejeu{};
        }
    };
    // The journal's boxes show as the crew saw them, and close when the crew closed them.
    std::vector<std::unique_ptr<QMessageBox>> boites;
    rejeu.boite_ouverte = [&](const std::string& texte) {
        auto b =
            std::make_unique<QMessageBox>(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                                          QString::fromStdString(texte), QMessageBox::Ok, &fiche);
        b->setWindowModality(Qt::NonModal);
        b->show();
        boites.push_back(std::move(b));
    };
    rejeu.boite_fermee = [&] {
        if (!boites.empty()) boites.pop_back();
    };

    int statut = 0;
    QTimer::singleShot(0, &fiche, [&] {
        rejeu.rejoue(fiche.entree());
        boites.clear();
        if (const auto& d = rejeu.divergence()) {
            statut = 1;
            std::cerr << "velmora : " << nom << " : " << texte_divergence(*d) << '\n';
            fiche.setWindowTitle(
                titre + QStringLiteral(" — rejeu de ") + fichier +
                QStringLiteral(" arrêté : divergence à %1 (%2)")
                    .arg(QString::fromStdString(d->heure), QString::fromStdString(d->controle)) +
                ignorees);
        } else if (fiche.isVisible()) {
            fiche.setWindowTitle(titre + QStringLiteral(" — fin du rejeu de ") + fichier +
                                 ignorees);
        }
    });
    montre_au_centre(fiche);
    const int sortie = app.exec();
    app.removeEventFilter(&ignore);
    return sortie != 0 ? sortie : statut;
}
