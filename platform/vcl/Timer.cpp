#include "platform/vcl/Timer.h"

#include "platform/vcl/Application.h"

const TClassInfo& TTimer::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTimer", &TComponent::StaticClass(), [](TComponent* o) { return new TTimer(o); });
        c.Add(Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled));
        c.Add(Property("Interval", &TTimer::Interval, &TTimer::SetInterval));
        c.Add(EventProperty("OnTimer", &TTimer::OnTimer));
        return c;
    }();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    Application()->AddTimer(this);
    Restart();
}

TTimer::~TTimer() { Application()->RemoveTimer(this); }

void TTimer::Restart() { dueAt_ = Application()->Milliseconds() + interval_; }

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    if (v) Restart();
}

void TTimer::SetInterval(int ms) {
    interval_ = ms;
    Restart();
}

void TTimer::Fire() {
    Restart();
    if (OnTimer) OnTimer(this);
}
