// windows_arguments.hpp: orvik-dump's UTF-16 command line on Windows, as the narrow strings its
// parser and the reader take, and its output as bytes.
#pragma once

#include <string>
#include <vector>

namespace tessaly::dump {

// The arguments in the process's ANSI code page, which the C library's fopen (and so the reader)
// takes a file name in. orvik-dump's manifest makes that code page UTF-8 on Windows 10 1903 and
// later, so any name fits; on older systems a name with other characters does not.
class NarrowArguments {
public:
    NarrowArguments(int argc, const wchar_t* const* argv);

    int count() const { return static_cast<int>(m_pointers.size()) - 1; }
    char** values() { return m_pointers.data(); }
    // The first argument, in UTF-8, that the code page cannot hold; empty when all fit.
    const std::string& unfit() const { return m_unfit; }

private:
    std::vector<std::string> m_values;
    std::vector<char*> m_pointers; // argv-style, ending in a null pointer
    std::string m_unfit;
};

// Standard output and error in binary mode: the dumps and messages have the same bytes (LF line
// ends) as on every other system.
void useBinaryOutput();

} // namespace tessaly::dump
