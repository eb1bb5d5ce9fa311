// bench_files.hpp: the generated programs every benchmark reads (written once per run), and timing helpers.
#pragma once

#include "support/big_program.hpp"
#include "support/temp_file.hpp"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace tessaly::bench {

// The shape of every big program of the run.
inline const testing::BigProgramShape& bigShape()
{
    static const testing::BigProgramShape shape {};
    return shape;
}

inline const testing::TempFile& bigProgramFile()
{
    // Generating the file takes longer than reading it, so it is made once.
    static const testing::TempFile file(testing::bigIeee695Program(bigShape()));
    return file;
}

// The next build of the big program, to compare with: 1 % of its labels moved, 100 sections
// resized.
inline const testing::TempFile& bigChangedProgramFile()
{
    static const testing::TempFile file([] {
        testing::BigProgramShape shape = bigShape();
        shape.movedLabelStride = 100;
        shape.resizedSections = 100;
        return testing::bigIeee695Program(shape);
    }());
    return file;
}

inline const testing::TempFile& bigFramedFile()
{
    static const testing::TempFile file(testing::bigFramedProgram(bigShape()));
    return file;
}

std::size_t fileSize(const std::string& path);

// A plain 64 KiB buffered read of every byte of a file, summed so that it cannot be elided.
unsigned plainBufferedRead(const std::string& path);

// The fastest of reps runs of a function, in seconds: the baseline measured beside a benchmark.
template <typename Fn> double fastestSeconds(int reps, Fn&& fn)
{
    double best = 1e30;
    for (int i = 0; i < reps; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct ChildRun {
    double seconds = 0; // wall clock
    long maxRssKiB = 0; // the child's peak resident set
    int status = -1; // as wait4 reports it
};

// Forks the process that runs child programs; call first in main, while the process is small.
void startLauncher();

// Runs a program with stdout sent to /dev/null and waits for it; env entries are added to ours.
ChildRun runChild(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

} // namespace tessaly::bench
