#pragma once
// The mark every VELMORA program holds while it runs (on Windows a named mutex, which the
// system takes away when the program ends): the installer and the uninstaller look for it, so
// that they never replace or remove the files of a running program.

void pose_marque_en_marche();
