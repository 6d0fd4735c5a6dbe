#pragma once

// Timers by numeric id, as the windows of the design number them. A window
// keeps one table, starts and stops timers by id and, in its timerEvent,
// asks the table which id fired. Starting an id that runs restarts it with
// the new period.

#include <QBasicTimer>
#include <map>
#include <optional>

class QObject;

namespace ambrel {

class WindowTimers {
public:
    void Set(QObject* owner, int id, int milliseconds);
    // False when no timer of that id ran.
    bool Kill(int id);
    bool IsRunning(int id) const;
    // The id of the timer behind a QTimerEvent's timerId(), if it is one of ours.
    std::optional<int> IdOf(int qtTimerId) const;

private:
    std::map<int, QBasicTimer> timers_;
};

}  // namespace ambrel
