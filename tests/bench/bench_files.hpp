// bench_files.hpp: the generated program every benchmark reads, written once per run.
#pragma once

#include "support/big_program.hpp"
#include "support/temp_file.hpp"

namespace tessaly::bench {

inline const testing::TempFile& bigProgramFile()
{
    // Generating the file takes longer than reading it, so it is made once.
    static const testing::TempFile file(testing::bigIeee695Program({}));
    return file;
}

}  // namespace tessaly::bench
