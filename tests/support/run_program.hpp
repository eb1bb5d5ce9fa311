// run_program.hpp: runs a program as a user would, and collects its exit status and its output.
#pragma once

#include <string>
#include <vector>

namespace tessaly::testing {

struct ProgramRun {
    int status = -1; // the exit status; -1 when the program did not end by itself
    std::string out;
    std::string err;
};

// Runs `program` (a path, or a name looked up on the search path) with `arguments` through the
// system's command interpreter, so each argument reaches the program as one, unchanged (on
// Windows as UTF-16: arguments are UTF-8 here). Standard input is empty; `environment` holds
// NAME=VALUE settings for that run only.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment = {});

} // namespace tessaly::testing
