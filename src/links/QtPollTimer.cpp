#include "links/QtPollTimer.h"

namespace varnex {

QtPollTimer::QtPollTimer()
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick_)
            onTick_();
    });
}

void QtPollTimer::setHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }

std::unique_ptr<PollTimer> MakeUiPollTimer() { return std::make_unique<QtPollTimer>(); }

} // namespace varnex
