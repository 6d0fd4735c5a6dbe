#include "WindowTimers.h"

#include <QObject>

namespace ambrel {

void WindowTimers::Set(QObject* owner, int id, int milliseconds) {
    timers_[id].start(milliseconds, owner);
}

bool WindowTimers::Kill(int id) {
    auto found = timers_.find(id);
    if (found == timers_.end())
        return false;
    bool wasRunning = found->second.isActive();
    timers_.erase(found);
    return wasRunning;
}

bool WindowTimers::IsRunning(int id) const {
    auto found = timers_.find(id);
    return found != timers_.end() && found->second.isActive();
}

std::optional<int> WindowTimers::IdOf(int qtTimerId) const {
    for (const auto& [id, timer] : timers_) {
        if (timer.isActive() && timer.timerId() == qtTimerId)
            return id;
    }
    return std::nullopt;
}

}  // namespace ambrel
