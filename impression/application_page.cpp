#include "application_page.h"

#include "texte_affichable.h"

#include <iostream>

namespace {

// Qt's notes about its own set-up (no runtime directory, and the like) are not the crew's
// business; only its real failures are said.
void messages_qt(QtMsgType type, const QMessageLogContext&, const QString& texte) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << lignes_affichables(texte.toStdString()) << '\n';
}

} // namespace

Tapplication_page::Tpreparation::Tpreparation() {
    choisit_plateforme_page();
    qInstallMessageHandler(messages_qt);
}

Tapplication_page::Tapplication_page(char* programme)
    : argv_{programme, nullptr}, application_(argc_, argv_) {}
