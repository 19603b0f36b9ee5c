// No display is needed: Qt's offscreen platform has the system's fonts through fontconfig.
#include "application_page.h"

void choisit_plateforme_page() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
}
