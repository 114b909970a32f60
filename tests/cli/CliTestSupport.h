#pragma once
// Runs orbisk-cli in-process and keeps what it printed.
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"

namespace orbisk::test {

struct CliRun {
    int code;
    std::string out, err;
};

inline CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = cli::RunCli(args, {out, err});
    return {code, out.str(), err.str()};
}

} // namespace orbisk::test
