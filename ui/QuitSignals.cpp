// SPDX-License-Identifier: GPL-3.0-or-later
// The self-pipe between the asynchronous signal handlers and the event loop.
#include "ui/QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_sockets[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Only async-signal-safe calls here.
void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_sockets) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
    delete m_notifier;
    for (int& socket : g_sockets) {
        if (socket >= 0) {
            ::close(socket);
            socket = -1;
        }
    }
}

void QuitSignals::drain() {
    char bytes[16];
    while (::read(g_sockets[1], bytes, sizeof bytes) > 0) {
    }
    emit quitRequested();
}
