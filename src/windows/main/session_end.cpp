#include "windows/main/session_end.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace morvast {

namespace {

// The handler may only write to a descriptor; the UI thread reads the other end.
int signalPipe[2] = {-1, -1};
bool requested = false;

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

void closeOnTermination(QWidget* window) {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window,
                     [w = QPointer<QWidget>(window)] {
                         char byte;
                         [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
                         requested = true;
                         if (w) w->close();
                         QCoreApplication::exit(0);
                     });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(s, &action, nullptr);
}

bool terminationRequested() {
    return requested;
}

}  // namespace morvast
