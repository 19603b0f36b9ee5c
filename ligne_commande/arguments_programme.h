#pragma once
// A command-line program's arguments and console, the same on every system: the
// arguments as UTF-8 text (Windows hands main() its arguments in the system's code page,
// which cannot hold every file name), and French texts shown as such in a Windows console.

#include <string>
#include <vector>

// The arguments after the program's name.
std::vector<std::string> arguments_programme(int argc, char** argv);
// Standard output and error write UTF-8; a Windows console is told so.
void prepare_console();
