#pragma once
// The Linux device source with its settings: the program takes the defaults through
// cree_source_systeme(); its tests choose the periodic listing and a short period.

#include "source_hid.h"

#include <memory>

struct Treglages_source_udev {
    // Follow the udev daemon's events when it runs; false: always read the list instead.
    bool moniteur = true;
    // How often the list is read when there are no events to follow.
    int periode_enumeration_ms = 1000;
};

std::unique_ptr<Isource_hid> cree_source_udev(const Treglages_source_udev& reglages);
