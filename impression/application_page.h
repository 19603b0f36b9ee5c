#pragma once
// Qt for drawing pages, never a window: the system's platform that has the fonts without a
// display, Qt's notes about its own set-up kept quiet (its real failures said, escaped, on
// standard error) and none of the program's arguments for Qt to interpret: the program has
// read them already.

#include <QGuiApplication>

class Tapplication_page {
public:
    explicit Tapplication_page(char* programme);
    Tapplication_page(const Tapplication_page&) = delete;
    Tapplication_page& operator=(const Tapplication_page&) = delete;

private:
    // The platform and the messages' road, set before the application is built.
    struct Tpreparation {
        Tpreparation();
    } preparation_;
    // Qt keeps references to both for the application's life.
    int argc_ = 1;
    char* argv_[2];
    QGuiApplication application_;
};

// The platform plugin the pages are drawn on, set before the application starts; one file per
// system (plateforme_page_posix.cpp, plateforme_page_windows.cpp).
void choisit_plateforme_page();
