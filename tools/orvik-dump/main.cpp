// main.cpp: orvik-dump, reads an absolute file with orvik and prints its tree or map tables.
#include "diff_dump.hpp"
#include "large_heap.hpp"
#include "map_model.hpp"
#include "options.hpp"
#include "orvik.h"
#include "regions_dump.hpp"
#include "tables_dump.hpp"
#include "tree_json.hpp"
#include "tree_text.hpp"
#ifdef _WIN32
#include "windows_arguments.hpp"
#endif

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

namespace {

// Exit statuses: 64 is the conventional "command line usage error".
constexpr int kExitReadFailed = 2;
constexpr int kExitUsage = 64;
constexpr int kExitOutputFailed = 74;

// The bytes of the files to be read; one that cannot be sized counts as empty, and the reader
// reports it.
std::uintmax_t inputBytes(const tessaly::dump::DumpOptions& options)
{
    std::uintmax_t total = 0;
    for (const std::string* path : { &options.path, &options.newPath }) {
        std::error_code error;
        if (const std::uintmax_t size = std::filesystem::file_size(*path, error); !error)
            total += size;
    }
    return total;
}

} // namespace

static int runOrvikDump(int argc, char** argv)
{
    using namespace tessaly::dump;
    // Only iostreams write here; unsynchronised they are several times faster on big trees.
    std::ios::sync_with_stdio(false);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParseResult parsed = parseArguments(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::cerr << "orvik-dump: " << error->message << '\n' << usageText();
        return kExitUsage;
    }
    const auto& options = std::get<DumpOptions>(parsed);
    if (options.help) {
        std::cout << usageText();
        return std::cout.flush() ? 0 : kExitOutputFailed;
    }

    PrepareHeapForInput(inputBytes(options));
    const int mask = options.tolerant ? (options.mask | IE_READ_TOLERANT) : options.mask;
    // The diff reads its two files itself, one tree at a time, and writes only when both read.
    const int code
        = options.mode == DumpMode::Diff ? dumpDiff(options, mask, std::cout) : IE_readIEEE(options.path.c_str(), mask);
    if (code != 0) {
        // The reader's own text, which already ends in a line feed.
        std::cerr << IE_readError(code) << std::flush;
        return kExitReadFailed;
    }

    int status = 0;
    if (!options.regionsPath.empty()) {
        status = dumpRegions(
            options.path, options.regionsPath, options.format == OutputFormat::Json, std::cout, std::cerr);
        if (status == kExitBadRegions)
            return status;
    } else if (options.mode == DumpMode::Tables) {
        tessaly::MapModel& model = tessaly::mapModel();
        tessaly::DetectCpuFamily(model);
        if (options.format == OutputFormat::Json)
            tessaly::writeTablesJson(model, std::cout);
        else
            tessaly::writeTablesText(model, std::cout);
    } else if (options.mode == DumpMode::Tree) {
        const IeRoot* root = IE_getRoot();
        if (options.format == OutputFormat::Json)
            writeTreeJson(root, std::cout);
        else
            writeTreeText(root, std::cout);
    }
    if (!std::cout.flush()) {
        std::cerr << "orvik-dump: cannot write the output\n";
        return kExitOutputFailed;
    }
    return status;
}

#ifdef _WIN32
// Windows gives the arguments in UTF-16; the reader takes names in the ANSI code page.
int wmain(int argc, wchar_t** argv)
{
    tessaly::dump::useBinaryOutput();
    tessaly::dump::NarrowArguments arguments(argc, argv);
    if (!arguments.unfit().empty()) {
        std::cerr << "orvik-dump: '" << arguments.unfit() << "' cannot be named in this system's code page\n";
        return kExitReadFailed;
    }
    return runOrvikDump(arguments.count(), arguments.values());
}
#else
int main(int argc, char** argv)
{
    return runOrvikDump(argc, argv);
}
#endif
