// Stands in for the reader program given FILE and misbehaves as FILE says, so the tests can show
// what the editor makes of a spreadsheet reader that crashes, hangs, floods or talks nonsense.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) std::exit(70);
        done += static_cast<std::size_t>(n);
    }
}

const std::string kOneCell = "MBSHEET 3\nT 1 1 3\nEnd\nE 1\n";

std::string Limit(int resource) {
    rlimit limit{};
    ::getrlimit(resource, &limit);
    return std::to_string(limit.rlim_cur) + "/" + std::to_string(limit.rlim_max);
}

// What the child was given: its limits, what its standard input holds, which descriptors
// it has open, and whether it leads its own process group.
void Describe() {
    std::string text = "as " + Limit(RLIMIT_AS) + "\ncpu " + Limit(RLIMIT_CPU) + "\ncore " +
                       Limit(RLIMIT_CORE) + "\n";
    char c;
    text += "stdin " + std::to_string(::read(0, &c, 1)) + "\n";
    text += std::string("group leader ") + (::getpgrp() == ::getpid() ? "yes" : "no") + "\n";
    text += "fds";
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        const int own = ::dirfd(dir);
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.' || std::atoi(e->d_name) == own) continue;
            text += std::string(" ") + e->d_name;
        }
        ::closedir(dir);
    }
    Print(text + "\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 64;
    const std::string mode = argv[1];
    if (mode == "abort-after-output") {
        Print(kOneCell);
        std::fflush(stdout);
        std::abort();
    } else if (mode == "hang") {
        // A child of its own that holds the output pipe open, as a stuck helper might.
        if (::fork() == 0)
            for (;;)
                ::pause();
        for (;;)
            ::pause();
    } else if (mode == "spin") {
        volatile unsigned long n = 0;
        for (;;) {
            n = n + 1;
        }
    } else if (mode == "memory") {
        // Past the limit the tests set, far below what the machine has: only the limit can
        // stop it. Should the allocation succeed, the reply says so.
        char* block = new char[std::size_t{1} << 30];
        block[0] = 1;
        Print("MBSHEET 3\nT 1 1 9\nallocated\nE 1\n");
    } else if (mode == "flood") {
        const std::string line(4096, 'x');
        for (;;)
            Print(line);
    } else if (mode == "big") {
        for (int i = 0; i < 1000; ++i) {
            WriteAll(1, std::string(1000, static_cast<char>('a' + i % 26)));
            WriteAll(2, std::string(100, static_cast<char>('A' + i % 26)));
        }
    } else if (mode == "truncated") {
        Print(kOneCell.substr(0, kOneCell.size() - 4));
    } else if (mode == "refuses") {
        std::fputs("usage: matbrowser-sheetreader FILE\nmore\n", stderr);
        return 2;
    } else if (mode == "describe") {
        Describe();
    } else {
        return 65;
    }
    return 0;
}
