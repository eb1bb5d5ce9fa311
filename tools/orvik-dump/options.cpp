// options.cpp: argument parsing and the usage text of orvik-dump.
#include "options.hpp"

#include <charconv>
#include <cstdint>
#include <vector>

namespace tessaly::dump {

bool parseMask(std::string_view text, int& mask)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars would take a sign; a mask has none.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return false;
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    // The reader takes an int; the bits are what matter.
    mask = static_cast<int>(value);
    return true;
}

ParseResult parseArguments(std::span<const std::string_view> args)
{
    DumpOptions options;
    std::vector<std::string_view> paths;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                options.help = true;
                return options;
            } else if (arg == "--tree") {
                options.mode = DumpMode::Tree;
            } else if (arg == "--tables") {
                options.mode = DumpMode::Tables;
            } else if (arg == "--diff") {
                options.mode = DumpMode::Diff;
            } else if (arg == "--json" || arg == "--csv") {
                const OutputFormat format = arg == "--json" ? OutputFormat::Json : OutputFormat::Csv;
                if (options.format != OutputFormat::Text && options.format != format)
                    return UsageError { "--json and --csv exclude each other" };
                options.format = format;
            } else if (arg == "--all") {
                options.all = true;
            } else if (arg == "--tolerant") {
                options.tolerant = true;
            } else if (arg == "--mask" || arg.starts_with("--mask=")) {
                std::string_view value;
                if (arg == "--mask") {
                    if (i + 1 == args.size())
                        return UsageError { "--mask needs a value" };
                    value = args[++i];
                } else {
                    value = arg.substr(7);
                }
                if (!parseMask(value, options.mask))
                    return UsageError { "invalid mask '" + std::string(value) + "'" };
            } else if (arg == "--regions" || arg.starts_with("--regions=")) {
                std::string_view value;
                if (arg != "--regions")
                    value = arg.substr(10);
                else if (i + 1 < args.size())
                    value = args[++i];
                if (value.empty())
                    return UsageError { "--regions needs a file" };
                options.regionsPath = std::string(value);
            } else {
                return UsageError { "unknown option '" + std::string(arg) + "'" };
            }
            continue;
        }
        paths.push_back(arg);
    }
    if (options.mode == DumpMode::Diff) {
        if (!options.regionsPath.empty())
            return UsageError { "--regions and --diff exclude each other" };
        if (paths.size() < 2)
            return UsageError { "--diff needs two files, OLD and NEW" };
        if (paths.size() > 2)
            return UsageError { "more than two files given" };
        options.newPath = std::string(paths[1]);
    } else {
        if (options.format == OutputFormat::Csv)
            return UsageError { "--csv needs --diff" };
        if (options.all)
            return UsageError { "--all needs --diff" };
        if (paths.empty())
            return UsageError { "no file given" };
        if (paths.size() > 1)
            return UsageError { "more than one file given" };
    }
    options.path = std::string(paths[0]);
    return options;
}

std::string usageText()
{
    return "usage: orvik-dump [--tree | --tables] [--json] [--mask N] FILE\n"
           "       orvik-dump --regions REGIONS [--json] [--tolerant] FILE\n"
           "       orvik-dump --diff [--json | --csv] [--all] [--mask N] OLD NEW\n"
           "  --tree     dump the symbol tree (the default)\n"
           "  --tables   dump the viewer's CPU family and map tables\n"
           "  --diff     compare two builds: sections, module sections, symbols and functions\n"
           "             that were added, removed, moved or resized, and the totals per kind\n"
           "  --json     write JSON instead of indented text\n"
           "  --csv      with --diff: write CSV (RFC 4180), one line per item\n"
           "  --all      with --diff: the text lists unchanged items too\n"
           "  --mask N   selection mask for the read, decimal or 0x hex (default 0x89f)\n"
           "  --tolerant also read IEEE-695 files that other linkers write\n"
           "  --regions REGIONS\n"
           "             used and free bytes per memory region of the file REGIONS, one\n"
           "             'name start size [warn% [fail%]]' a line; exit 1 when a region is\n"
           "             above its fail percentage or a section overflows, 65 for a bad\n"
           "             regions file\n"
           "  --help     show this text\n";
}

} // namespace tessaly::dump
