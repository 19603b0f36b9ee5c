#pragma once
// The file-open dialog: Qt's own rather than the desktop's, so that every button,
// column and cell reads in French on any desktop.

#include <QString>

class QWidget;

// The chosen file's full name, or an empty text when the crew cancels. The dialog opens in
// `dossier` when one is given, and leaves nothing behind when it closes.
QString demande_fichier(QWidget* parent, const QString& dossier = {});
