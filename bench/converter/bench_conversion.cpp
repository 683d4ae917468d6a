// How long a whole conversion takes, files included, for a large script and one twice as large.
// The script has 16 statements per page, a label every 32 statements (1,000 labels at the base
// size), GOTOs to them, and ADDRESS jumps back into pages already written, so both fixup passes
// have merging to do. Prints the median of several runs, in process and as a whole
// `pkivo-cli convert` process (start-up, loading and exit included); asserts nothing.
#include "converter/conversion.h"
#include "setup/settingsrecord.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class QuietObserver : public pkivo::ConversionObserver {
public:
    void passFinished(int, const pkivo::Counters&, const std::string&) override {}
    void processingError(const std::string& message) override {
        std::fprintf(stderr, "unexpected: %s\n", message.c_str());
    }
};

std::string makeScript(int statements, int labels, int jumps) {
    std::string script;
    const int labelEvery = statements / labels;
    const int jumpEvery = statements / jumps;
    int jumpsMade = 0;
    for (int address = 0; address < statements; ++address) {
        if (address % labelEvery == 0 && address / labelEvery < labels) {
            script += "L" + std::to_string(address / labelEvery) + "\r\n";
        }
        switch (address % 6) {
        case 0:
            script += "MOVE " + std::to_string(10000 + address % 500) + " RATE=300\r\n";
            break;
        case 1:
            script += "WAIT 25 / settle\r\n";
            break;
        case 2:
            script += "S3=" + std::to_string(1000 + address % 900) + "\r\n";
            break;
        case 3:
            script += "IFINPUT 2 = 1 GOTO L" +
                      std::to_string(std::min(address / labelEvery, labels - 1)) + "\r\n";
            break;
        case 4:
            script += "OUTPUT 4 ON\r\n";
            break;
        default:
            script += "GOTO L" + std::to_string((address / labelEvery + 7) % labels) + "\r\n";
        }
        // Now and then go back into a page already written, patch one slot, and come back.
        if (address % jumpEvery == jumpEvery - 1 && jumpsMade < jumps) {
            ++jumpsMade;
            script += "ADDRESS " + std::to_string(address / 2) + "\r\nNOP\r\n";
            script += "ADDRESS " + std::to_string(address + 1) + "\r\n";
        }
    }
    return script;
}

double medianMillis(const pkivo::ConversionPaths& paths, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QuietObserver observer;
        pkivo::Conversion conversion(observer);
        auto start = std::chrono::steady_clock::now();
        pkivo::ConversionResult result = conversion.run(paths);
        auto stop = std::chrono::steady_clock::now();
        if (!result.completed) {
            std::fprintf(stderr, "conversion failed\n");
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// `pkivo-cli convert` from its start to its exit.
double medianProcessMillis(int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        // posix_spawn, as a shell starts a command: no copy of this process's page tables.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        char* const args[] = {const_cast<char*>(PKIVO_CLI), const_cast<char*>("convert"), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, PKIVO_CLI, &quiet, nullptr, args, environ) != 0) {
            std::fprintf(stderr, "cannot start pkivo-cli\n");
            std::exit(1);
        }
        posix_spawn_file_actions_destroy(&quiet);
        int status = 0;
        ::waitpid(child, &status, 0);
        auto stop = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "pkivo-cli convert failed\n");
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("pkivo-bench-" + std::to_string(::getpid()));
    fs::create_directories(home / "Tolvane");
    setenv("HOME", home.c_str(), 1);
    const pkivo::ConversionPaths paths =
        pkivo::ConversionPaths::fromSettings(pkivo::SettingsRecord::defaults());

    std::printf("%-34s %10s %12s %12s %10s\n", "script", "bytes", "median ms", "process ms",
                "pages");
    double base = 0, processBase = 0;
    for (int scale : {1, 2}) {
        const int statements = 32768 * scale;
        // The label table holds 1,001 names, so the larger script has as many labels.
        const std::string script = makeScript(statements, 1000, 200 * scale);
        std::ofstream(home / "Tolvane/kivo.txt", std::ios::binary) << script;
        const double ms = medianMillis(paths, 9);
        const double processMs = medianProcessMillis(25);
        const auto pages = fs::file_size(home / "Tolvane/flash.tmp") / 535;
        std::printf("%6d statements, 1000 labels, %3d jumps %10zu %12.1f %12.1f %10ju\n",
                    statements, 200 * scale, script.size(), ms, processMs, uintmax_t(pages));
        if (scale == 1) {
            base = ms;
            processBase = processMs;
        } else {
            std::printf("doubling the script multiplies the time by %.2f (process: %.2f)\n",
                        ms / base, processMs / processBase);
        }
    }
    fs::remove_all(home);
    return 0;
}
