// pkivo-sim: a virtual Kivo controller on a pseudo-terminal, for trying and testing the
// console without hardware. Ends cleanly (link removed, state saved) on SIGINT and SIGTERM.
#include "sim/pty/ptyserver.h"
#include "sim/simoptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);

    std::vector<std::string> args(argv + 1, argv + argc);
    pkivo::sim::SimOptions options;
    std::string error;
    if (!pkivo::sim::parseSimArguments(args, options, error)) {
        std::fprintf(stderr, "pkivo-sim: %s\n%s", error.c_str(), pkivo::sim::simUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(pkivo::sim::simUsage().c_str(), stdout);
        return 0;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        std::perror("pkivo-sim: socketpair");
        return 1;
    }
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    pkivo::sim::PtyServer server(options);
    QObject::connect(&server, &pkivo::sim::PtyServer::stateSaveFailed, [](const QString& message) {
        std::fprintf(stderr, "pkivo-sim: %s\n", qPrintable(message));
    });
    if (!server.start(error)) {
        std::fprintf(stderr, "pkivo-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("pkivo-sim: serving COM%d on %s (%s)\n", server.portNumber(),
                server.devicePath().c_str(), server.linkPath().c_str());
    std::fflush(stdout);

    const int result = app.exec();
    server.stop();
    return result;
}
