// Windows' own platform: the offscreen one there knows only the fonts shipped with Qt, and no
// window is shown all the same.
#include "application_page.h"

void choisit_plateforme_page() {}
