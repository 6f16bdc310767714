#pragma once
// `TTimer`: raises OnTimer every `Interval` milliseconds of the application's
// clock while it is enabled (the screen advances the clock; tests call
// Application()->AdvanceTime).
#include "platform/classes/Component.h"

class TTimer : public TComponent {
    VELMORA_CLASS(TTimer)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v);
    int Interval() const noexcept { return interval_; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;

    // Enabled, with a positive interval and a handler.
    bool Active() const noexcept { return enabled_ && interval_ > 0 && OnTimer; }
    int64_t DueAt() const noexcept { return dueAt_; }
    // Raises OnTimer and schedules the next tick.
    void Fire();

private:
    void Restart();
    bool enabled_ = true;
    int interval_ = 1000;
    int64_t dueAt_ = 0;
};
