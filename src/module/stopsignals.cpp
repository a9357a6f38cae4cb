// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "stopsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace StopSignals {

#ifdef Q_OS_UNIX

namespace {

int s_pipe[2] = {-1, -1};
volatile sig_atomic_t s_pending[2] = {0, 0}; // SIGTERM, SIGINT seen and not yet served

int slot(int signal)
{
    return signal == SIGTERM ? 0 : 1;
}

// Only async-signal-safe calls here: the signal number goes down a socket to the event loop.
void onSignal(int signal)
{
    if (s_pending[slot(signal)])
        ::_exit(exitStatus(signal));
    s_pending[slot(signal)] = 1;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(s_pipe[1], &byte, 1);
}

} // namespace

void install(std::function<void(int)> onStop)
{
    if (s_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pipe) != 0)
        return;
    ::fcntl(s_pipe[1], F_SETFL, O_NONBLOCK);
    auto *notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onStop] {
        char byte = 0;
        if (::read(s_pipe[0], &byte, 1) == 1 && onStop)
            onStop(int(byte));
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

#else

void install(std::function<void(int)>)
{
}

#endif

} // namespace StopSignals
