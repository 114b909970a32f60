#include <clocale>
#include <iostream>

#include "Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Sorting what the user sees follows the user's language.
    std::setlocale(LC_COLLATE, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    int code = orbisk::cli::RunCli(args, {std::cout, std::cerr});
    std::cout.flush();
    return code;
}
