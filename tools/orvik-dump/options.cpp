// options.cpp: argument parsing and the usage text of orvik-dump.
#include "options.hpp"

#include <charconv>
#include <cstdint>

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
    bool havePath = false;
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
            } else if (arg == "--json") {
                options.format = OutputFormat::Json;
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
        if (havePath)
            return UsageError { "more than one file given" };
        options.path = std::string(arg);
        havePath = true;
    }
    if (!havePath)
        return UsageError { "no file given" };
    return options;
}

std::string usageText()
{
    return "usage: orvik-dump [--tree | --tables] [--json] [--mask N] FILE\n"
           "       orvik-dump --regions REGIONS [--json] [--tolerant] FILE\n"
           "  --tree     dump the symbol tree (the default)\n"
           "  --tables   dump the viewer's CPU family and map tables\n"
           "  --json     write JSON instead of indented text\n"
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
