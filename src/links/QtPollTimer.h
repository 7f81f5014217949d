#pragma once
// PollTimer over a precise QTimer: ticks come from the Qt event loop of the creating thread.
#include "links/PollTimer.h"

#include <QTimer>

namespace varnex {

class QtPollTimer : public PollTimer {
public:
    QtPollTimer();
    void setHandler(std::function<void()> onTick) override;
    void start(int periodMs) override { timer_.start(periodMs); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

} // namespace varnex
