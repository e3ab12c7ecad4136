// vesperfall-lobby: the lobby server that the game's clients connect to.

#include "AccountStore.h"
#include "Log.h"
#include "Options.h"
#include "PasswordHasher.h"
#include "Protocol.h"
#include "Server.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <malloc.h>
#include <cstdio>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// The login workers map and unmap Argon2's memory all the time, and every
// mapping change takes the process's one address-space lock. The network
// thread should never queue for it, so its heap grows in large steps and is
// not handed back: no brk or mmap calls while chat and game lines flow.
void keepHeapSteady()
{
    constexpr int HeapStepBytes = 16 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TOP_PAD, HeapStepBytes);
    mallopt(M_TRIM_THRESHOLD, 4 * HeapStepBytes);
}

// Each client is a file descriptor; the soft limit is often far below what
// a busy lobby needs.
void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int grantModerator(const QString& databasePath, const QString& name)
{
    lobby::AccountStore store(databasePath);
    if (!store.isOpen()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(databasePath), qPrintable(store.error()));
        return 1;
    }
    if (!lobby::isValidUserName(name.toLatin1()) || !store.setModerator(name.toLatin1())) {
        std::fprintf(stderr, "no account named \"%s\"; it must log in once first\n", qPrintable(name));
        return 1;
    }
    lobby::logLine(QStringLiteral("%1 is now a moderator").arg(name));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    keepHeapSteady();
    QCoreApplication app(argc, argv);
    lobby::Options options;
    QString error;
    if (!lobby::parseOptions(app.arguments(), options, &error)) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(error), qPrintable(lobby::helpText()));
        return 2;
    }
    if (options.help) {
        std::printf("%s", qPrintable(lobby::helpText()));
        return 0;
    }
    if (!options.moderator.isEmpty())
        return grantModerator(options.databasePath, options.moderator);
    if (!lobby::PasswordHasher::initialise()) {
        std::fprintf(stderr, "libsodium failed to start\n");
        return 1;
    }
    raiseOpenFileLimit();

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    lobby::ServerConfig config;
    config.port = options.port;
    config.databasePath = options.databasePath;
    config.maxPerAddress = options.maxPerAddress;
    config.loginLimits.newAccountsPerHour = options.newAccountsPerHour;
    lobby::Server server(config);
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int status = app.exec();
    server.shutdown();
    return status;
}
