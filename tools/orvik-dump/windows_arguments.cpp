// windows_arguments.cpp: UTF-16 arguments to the ANSI code page, and binary standard streams.
#include "windows_arguments.hpp"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace tessaly::dump {
namespace {

// Converts to `codePage`; false when a character has no form there.
bool narrow(const std::wstring& text, unsigned codePage, std::string& out)
{
    out.clear();
    if (text.empty())
        return true;
    // UTF-8 takes neither the best-fit flag nor the default-character report, and fits everything.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* report = utf8 ? nullptr : &defaulted;
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, report);
    if (size <= 0 || defaulted)
        return false;
    out.resize(static_cast<std::size_t>(size));
    return WideCharToMultiByte(codePage, flags, text.data(), length, out.data(), size, nullptr, report) == size
        && !defaulted;
}

} // namespace

NarrowArguments::NarrowArguments(int argc, const wchar_t* const* argv)
{
    const unsigned codePage = GetACP();
    m_values.resize(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        std::string& value = m_values[static_cast<std::size_t>(i)];
        if (!narrow(argv[i], codePage, value) && m_unfit.empty())
            narrow(argv[i], CP_UTF8, m_unfit);
    }
    for (std::string& value : m_values)
        m_pointers.push_back(value.data());
    m_pointers.push_back(nullptr);
}

void useBinaryOutput()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

} // namespace tessaly::dump
