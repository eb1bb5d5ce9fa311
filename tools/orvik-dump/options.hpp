// options.hpp: the command line of orvik-dump, parsed without touching the reader.
#pragma once

#include "orvik.h"

#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tessaly::dump {

// What to dump: the reader's tree, the viewer's CPU family and five map tables, or what changed
// between two builds.
enum class DumpMode { Tree, Tables, Diff };

enum class OutputFormat { Text, Json, Csv }; // Csv only with Diff

struct DumpOptions {
    DumpMode mode = DumpMode::Tree;
    OutputFormat format = OutputFormat::Text;
    int mask = IE_READ_VIEWER;
    bool tolerant = false; // --tolerant: the read also sets IE_READ_TOLERANT, whatever the mask
    std::string regionsPath; // --regions FILE: used and free per memory region instead of a dump
    std::string path; // with Diff: the old build
    std::string newPath; // with Diff: the new build
    bool all = false; // --all: the diff's text lists unchanged items too
    bool help = false; // --help: print usageText() and stop
};

struct UsageError {
    std::string message; // one line, without the program name
};

using ParseResult = std::variant<DumpOptions, UsageError>;

// args are the arguments after the program name. --help ends parsing at once; "--" ends
// the options, so a file whose name starts with '-' can still be named.
ParseResult parseArguments(std::span<const std::string_view> args);

// Parses a mask: decimal or 0x/0X hexadecimal, 0 to 0xFFFFFFFF. False when malformed.
bool parseMask(std::string_view text, int& mask);

// "usage: orvik-dump ..." and one line per option, ending in a line feed.
std::string usageText();

} // namespace tessaly::dump
