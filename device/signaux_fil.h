#pragma once
// The HID threads leave the program's signals to its own thread: an interrupted wait there
// would pass for a device gone. One file per system (signaux_fil_posix.cpp,
// signaux_fil_windows.cpp).

// Called first by each thread the HID implementation starts.
void laisse_les_signaux();
