// tessaly_main.hpp: the program's entry, kept in the library so that tests can run it.
#pragma once

namespace tessaly {

// Exit statuses besides 0.
constexpr int kExitStartFailed = 1;
constexpr int kExitReadFailed = 2;
constexpr int kExitUsage = 64;
constexpr int kExitOutputFailed = 74;

int runTessaly(int argc, char** argv);

} // namespace tessaly
