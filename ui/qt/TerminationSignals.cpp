#include "ui/qt/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zelvo::qt {
namespace {

int signalPipe[2] = {-1, -1};

void WriteSignal(int number) {
    // Only async-signal-safe work here; the GUI thread reads the byte. The write end does
    // not block: in a burst of signals a full socket drops bytes, and one is enough. The
    // interrupted code may be about to read errno.
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        return;
    }
    ::fcntl(signalPipe[0], F_SETFL, ::fcntl(signalPipe[0], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    delete notifier_; // before the socket it watches goes
    notifier_ = nullptr;
    for (int& fd : signalPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

} // namespace zelvo::qt
