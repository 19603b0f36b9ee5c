#pragma once
// The two dialogs of the tasks before a start: the calibration measured on the organiser's
// base, and the official time. Their controls carry the names the engine's models and the
// journal give them; the main window binds them like its own.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Tdialogue_mesure : public QDialog {
    Q_OBJECT
public:
    explicit Tdialogue_mesure(QWidget* parent);

    QPushButton* depart;
    QPushButton* arrivee;
    QLabel* tours;
    QLabel* etat;
    QLineEdit* base;
    QLabel* paire;
    QLabel* ecart;
    QLabel* resolution;
    QLabel* verification;
    QPushButton* appliquer;
    QPushButton* enregistrer;
    // Where the last save went, or why it failed: the window's own line, not the engine's.
    QLabel* enregistrement;
    void dit_enregistrement(const QString& texte);
};

class Tdialogue_heure : public QDialog {
    Q_OBJECT
public:
    explicit Tdialogue_heure(QWidget* parent);

    QLineEdit* heure;
    QPushButton* valider;
    QPushButton* raz;
    QLabel* decalage;
};
