#pragma once

// Corvix's start-up: one instance per user ("ORVIK-POWERLINE-SCAN"; a second
// start brings the running window forward and ends with exit code 0), the
// explicit interface list of CORVIX_INTERFACES, the compiled-in resources,
// the image cache, then the main window as a modal dialog. The program ends
// when the window ends.

#include <QString>
#include <memory>

namespace ambrel {
class SingleInstanceGuard;
}

namespace corvix {

inline constexpr char kCorvixInstanceName[] = "ORVIK-POWERLINE-SCAN";
// Root of the resources compiled into the program.
inline constexpr char kResourceRoot[] = ":/corvix";

// Makes the compiled-in strings, templates and pictures the resource source
// (language number 0).
void UseCorvixResources();

class CCorvixApp {
public:
    // `instanceDirectory` empty: the user's runtime directory.
    explicit CCorvixApp(QString instanceDirectory = {});
    ~CCorvixApp();
    CCorvixApp(const CCorvixApp&) = delete;
    CCorvixApp& operator=(const CCorvixApp&) = delete;

    // Runs the program; the exit code (0, also for a second start).
    int Run();

private:
    std::unique_ptr<ambrel::SingleInstanceGuard> guard_;
};

}  // namespace corvix
