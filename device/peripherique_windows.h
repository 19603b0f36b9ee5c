#pragma once
// A HID device opened on Windows by its interface path, read and written through the HID
// class driver itself.

#include "source_hid.h"

#include <memory>
#include <string>

// Null when the device cannot be opened, with why in `refus`: another program holds it without
// sharing, or it is gone, or the system keeps it to itself.
std::unique_ptr<Iperipherique_ouvert> ouvre_peripherique_windows(const std::string& chemin,
                                                                 Trefus_ouverture& refus);
