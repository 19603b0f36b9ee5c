// A POSIX system hands main() its arguments as the bytes typed: UTF-8 on the systems we run on.
#include "arguments_programme.h"

std::vector<std::string> arguments_programme(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepare_console() {}
