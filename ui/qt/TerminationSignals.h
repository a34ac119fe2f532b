// Turns SIGTERM and SIGINT into a call on the GUI thread, so that a program stopped from
// outside still ends through its own terminate handler and leaves no icon behind.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace zelvo::qt {

class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zelvo::qt
