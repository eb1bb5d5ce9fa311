// run_program.cpp: a command line for the platform's shell (sh or cmd.exe), with the output sent to
// temporary files.
#include "support/run_program.hpp"

#include "support/temp_file.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tessaly::testing {
namespace {

std::string readWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef _WIN32

std::wstring wide(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).native();
}

// Quoted as the C runtime splits a command line into argv: backslashes count only before a quote.
std::wstring quoted(const std::wstring& argument)
{
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

int run(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment, const TempFile& out, const TempFile& err)
{
    std::wstring command;
    for (const std::string& setting : environment)
        command += L"set " + quoted(wide(setting)) + L"&& ";
    command += quoted(wide(program));
    for (const std::string& argument : arguments)
        command += L" " + quoted(wide(argument));
    command += L" >" + quoted(out.path().native()) + L" 2>" + quoted(err.path().native()) + L" <NUL";
    // cmd /c drops the first and the last quote of its line; the outer pair is there for that.
    return _wsystem((L"\"" + command + L"\"").c_str());
}

#else

std::string quoted(const std::string& argument)
{
    std::string text = "'";
    for (const char c : argument)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

int run(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment, const TempFile& out, const TempFile& err)
{
    std::string command;
    for (const std::string& setting : environment) {
        const std::size_t equals = setting.find('=');
        command += setting.substr(0, equals) + "=" + quoted(setting.substr(equals + 1)) + " ";
    }
    command += quoted(program);
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);
    command += " >" + quoted(out.pathString()) + " 2>" + quoted(err.pathString()) + " </dev/null";
    const int raw = std::system(command.c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

} // namespace

ProgramRun runProgram(
    const std::string& program, const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    const TempFile out(std::vector<uint8_t> {}, ".out");
    const TempFile err(std::vector<uint8_t> {}, ".err");
    ProgramRun result;
    result.status = run(program, arguments, environment, out, err);
    result.out = readWhole(out.path());
    result.err = readWhole(err.path());
    return result;
}

} // namespace tessaly::testing
