#include "AmbrelApp.h"

#include "AppSettings.h"
#include "ImageCache.h"
#include "LanguageLibrary.h"
#include "MainFrame.h"
#include "SingleInstance.h"
#include "SystemMessage.h"

namespace ambrel {
namespace {

constexpr int kFallbackLanguage = 1033;

}  // namespace

CAmbrelApp::CAmbrelApp(QString instanceDirectory)
    : guard_(std::make_unique<SingleInstanceGuard>(QString::fromLatin1(kAmbrelInstanceName),
                                                   std::move(instanceDirectory))) {}

CAmbrelApp::~CAmbrelApp() {
    Cleanup();
}

int CAmbrelApp::Run() {
    if (guard_->Acquire() == SingleInstanceGuard::Role::Secondary)
        return 0;

    CaptureStartupDirectory();
    if (!LoadGlobalSettings()) {
        ShowSystemMessage(QString(), QString::fromLatin1(kNoSettingsFileMessage),
                          MessageIcon::None);
        return 1;
    }
    // Without a bundle no window can be built: fall back to English, and
    // when even that is missing, say so instead of failing on the first text.
    if (!LoadLanguageLibrary(TheAppSettings().langId) && !LoadLanguageLibrary(kFallbackLanguage)) {
        ShowSystemMessage(QString(), QString::fromLatin1(kNoResourcesMessage), MessageIcon::Error);
        return 1;
    }
    CreateImageCache();
    int exitCode = RunMainWindow();
    Cleanup();
    return exitCode;
}

void CAmbrelApp::Cleanup() {
    ReleaseImageCache();
}

int CAmbrelApp::RunMainWindow() {
    // The window saves what it must on its way out; how it ended is not the
    // program's exit code.
    CMainFrame frame(guard_.get());
    frame.RunModal();
    return 0;
}

}  // namespace ambrel
