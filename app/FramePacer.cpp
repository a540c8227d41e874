#include "app/FramePacer.h"

#include <algorithm>

namespace {

constexpr int kDefaultRefreshHz = 60;
// The fastest displays sold run at 500 Hz; a driver that reports more is
// wrong, and taking it at its word would spin the loop.
constexpr int kFastestRefreshHz = 500;

int usableRate(int refreshHz) {
    return refreshHz > 0 ? std::min(refreshHz, kFastestRefreshHz) : kDefaultRefreshHz;
}

}  // namespace

FramePacer::FramePacer(int64_t frequency, int refreshHz, int64_t now)
    : frequency_(std::max<int64_t>(frequency, 1)),
      refreshHz_(usableRate(refreshHz)),
      period_(std::max<int64_t>(frequency_ / refreshHz_, 1)),
      slot_(now),
      next_(now),
      // No frame before the first: a key may move it to any time.
      last_(now - frequency_) {}

void FramePacer::setRefreshRate(int refreshHz) {
    refreshHz_ = usableRate(refreshHz);
    period_ = std::max<int64_t>(frequency_ / refreshHz_, 1);
}

int FramePacer::msUntilDue(int64_t now) const {
    if (now >= next_) {
        return 0;
    }
    const int64_t ticks = next_ - now;
    return static_cast<int>((ticks * 1000 + frequency_ - 1) / frequency_);
}

void FramePacer::keyPressed(int64_t now) {
    const int64_t soonest = last_ + kKeyFrameGapMs * frequency_ / 1000;
    next_ = std::min(next_, std::max(now, soonest));
}

void FramePacer::restUntil(int64_t until) {
    if (until <= next_) {
        return;
    }
    slot_ += (until - slot_ + period_ - 1) / period_ * period_;
    next_ = slot_;
}

void FramePacer::frameStarted(int64_t now) {
    last_ = now;
    if (slot_ - now > period_) {
        // A key ended a rest early: the grid's next place after now.
        slot_ -= (slot_ - now - 1) / period_ * period_;
    } else {
        slot_ += period_;
        if (slot_ <= now) {
            slot_ = now + period_;
        }
    }
    next_ = slot_;
}
