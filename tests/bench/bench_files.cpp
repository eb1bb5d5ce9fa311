// bench_files.cpp: file size, the plain buffered read baseline, and running a child program.
#include "bench_files.hpp"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessaly::bench {

std::size_t fileSize(const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return 0;
    std::fseek(file.get(), 0, SEEK_END);
    return static_cast<std::size_t>(std::ftell(file.get()));
}

unsigned plainBufferedRead(const std::string& path)
{
    static std::vector<unsigned char> buffer(1 << 16);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    unsigned sum = 0;
    std::size_t n;
    while (file && (n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
        for (std::size_t i = 0; i < n; ++i)
            sum += buffer[i];
    return sum;
}

namespace {

ChildRun spawnAndWait(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) == 0) {
        rusage usage {};
        if (wait4(pid, &run.status, 0, &usage) == pid)
            run.maxRssKiB = usage.ru_maxrss;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    run.seconds = took.count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// A child's peak resident set as the kernel reports it starts from the resident set of the
// process it was spawned from (exec records the old memory's high-water mark), so children are
// spawned by a launcher forked before the big programs exist, not by the benchmark process.
struct Launcher {
    int request = -1; // we write requests here
    int reply = -1; // and read the outcomes here
};
Launcher g_launcher;

bool writeAll(int fd, const void* data, std::size_t n)
{
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

bool readAll(int fd, void* data, std::size_t n)
{
    auto* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t done = ::read(fd, p, n);
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

bool writeStrings(int fd, const std::vector<std::string>& strings)
{
    const auto count = static_cast<uint32_t>(strings.size());
    if (!writeAll(fd, &count, sizeof count))
        return false;
    for (const std::string& s : strings) {
        const auto size = static_cast<uint32_t>(s.size());
        if (!writeAll(fd, &size, sizeof size) || !writeAll(fd, s.data(), s.size()))
            return false;
    }
    return true;
}

bool readStrings(int fd, std::vector<std::string>& strings)
{
    uint32_t count = 0;
    if (!readAll(fd, &count, sizeof count))
        return false;
    strings.assign(count, std::string());
    for (std::string& s : strings) {
        uint32_t size = 0;
        if (!readAll(fd, &size, sizeof size))
            return false;
        s.resize(size);
        if (!readAll(fd, s.data(), size))
            return false;
    }
    return true;
}

} // namespace

void startLauncher()
{
    int toLauncher[2];
    int fromLauncher[2];
    if (::pipe(toLauncher) != 0 || ::pipe(fromLauncher) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(toLauncher[1]);
        ::close(fromLauncher[0]);
        std::vector<std::string> argv, env;
        while (readStrings(toLauncher[0], argv) && readStrings(toLauncher[0], env)) {
            const ChildRun run = spawnAndWait(argv, env);
            if (!writeAll(fromLauncher[1], &run, sizeof run))
                break;
        }
        ::_exit(0);
    }
    ::close(toLauncher[0]);
    ::close(fromLauncher[1]);
    if (pid > 0) {
        g_launcher = { toLauncher[1], fromLauncher[0] };
    } else {
        ::close(toLauncher[1]);
        ::close(fromLauncher[0]);
    }
}

ChildRun runChild(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    if (g_launcher.request < 0)
        return spawnAndWait(argv, env);
    ChildRun run;
    if (!writeStrings(g_launcher.request, argv) || !writeStrings(g_launcher.request, env)
        || !readAll(g_launcher.reply, &run, sizeof run))
        return ChildRun {};
    return run;
}

} // namespace tessaly::bench
