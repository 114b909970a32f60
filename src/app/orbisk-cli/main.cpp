#include <iostream>
#include <malloc.h>

#include "Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A run is short: memory it frees is kept for what it does next rather
    // than handed back to the system and asked for again, page by page.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    std::vector<std::string> args(argv + 1, argv + argc);
    int code = orbisk::cli::RunCli(args, {std::cout, std::cerr});
    std::cout.flush();
    return code;
}
