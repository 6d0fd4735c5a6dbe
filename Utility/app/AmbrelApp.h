#pragma once

// Ambrel's start-up and clean-up around the main window: one instance per
// user, the start-up directory, the GLOBAL settings, the language bundle and
// the image cache, then the main window; when it returns, the program ends.

#include <QString>
#include <memory>

namespace ambrel {

class SingleInstanceGuard;

class CAmbrelApp {
public:
    // `instanceDirectory`: where the single-instance lock and socket live
    // (empty: the user's runtime directory).
    explicit CAmbrelApp(QString instanceDirectory = {});
    virtual ~CAmbrelApp();

    // The start-up sequence; returns the process's exit code:
    // 0 when another instance was asked to come forward, 1 when there is no
    // settings file or no usable language bundle, else the main window's.
    int Run();

    // Clean-up: releases the image cache and unloads the bundle. Run does it
    // on the way out; calling it again does nothing.
    void Cleanup();

    // The guard, for the main window to connect its activation to.
    SingleInstanceGuard* InstanceGuard() const { return guard_.get(); }

protected:
    // Runs the main window modally and returns the exit code.
    virtual int RunMainWindow();

private:
    std::unique_ptr<SingleInstanceGuard> guard_;
};

}  // namespace ambrel
