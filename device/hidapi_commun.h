#pragma once
// What the Linux device source does through hidapi: keep it initialised while a source
// lives, list the devices, and read and write an open one.

#include "source_hid.h"

#include <memory>
#include <string>
#include <vector>

// hidapi initialised from the first instance to the last.
class Tutilisation_hidapi {
public:
    Tutilisation_hidapi();
    ~Tutilisation_hidapi();
    Tutilisation_hidapi(const Tutilisation_hidapi&) = delete;
    Tutilisation_hidapi& operator=(const Tutilisation_hidapi&) = delete;
};

// The HID devices attached now, each path once.
std::vector<Tperipherique_vu> enumere_hidapi();

// Opens a device by its path; `numerote` tells whether its reports carry their number (the
// system gives the others without it, and they get a 0 in front). Null when it cannot be
// opened.
std::unique_ptr<Iperipherique_ouvert> ouvre_hidapi(const std::string& chemin, bool numerote);
