// Starts either the real program or a bare Qt window of the same size and reports, at the
// window's first paint, the time since the launcher's timestamp and the peak memory.
// Usage: startup_probe zelvo|bare LAUNCH_NS   (LAUNCH_NS: CLOCK_REALTIME at launch)
#include "ui/Layout.h"
#include "ui/qt/Program.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class FirstPaint : public QObject {
public:
    explicit FirstPaint(long long launchNs) : launchNs_(launchNs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            const long long elapsed = NowNs() - launchNs_;
            QTimer::singleShot(0, [elapsed] {
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("%.3f %ld\n", elapsed / 1e6, usage.ru_maxrss);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    long long launchNs_;
    bool seen_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const bool bare = std::string_view(argv[1]) == "bare";
    const long long launchNs = std::atoll(argv[2]);
    QApplication app(argc, argv);
    FirstPaint probe(launchNs);
    if (bare) {
        QWidget window;
        const int dpi = window.logicalDpiX();
        window.setFixedSize(zelvo::TwipsToPixels(zelvo::kWindow.clientWidthTwips, dpi),
                            zelvo::TwipsToPixels(zelvo::kWindow.clientHeightTwips, dpi));
        window.installEventFilter(&probe);
        window.show();
        return app.exec();
    }
    zelvo::qt::Program program;
    program.window().installEventFilter(&probe);
    return app.exec();
}
