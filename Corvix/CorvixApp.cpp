#include "CorvixApp.h"

#include <QtGlobal>

#include "ImageCache.h"
#include "InterfaceOverride.h"
#include "MainFrame.h"
#include "ResourceBundle.h"
#include "SingleInstance.h"

// The resources are compiled into the library that holds this file; naming
// them here keeps the linker from dropping them.
static void InitCompiledResources() {
    Q_INIT_RESOURCE(corvix_resources);
}

namespace corvix {

void UseCorvixResources() {
    InitCompiledResources();
    ambrel::UseBuiltInResources(QString::fromLatin1(kResourceRoot), 0);
}

CCorvixApp::CCorvixApp(QString instanceDirectory)
    : guard_(std::make_unique<ambrel::SingleInstanceGuard>(QString::fromLatin1(kCorvixInstanceName),
                                                           std::move(instanceDirectory))) {}

CCorvixApp::~CCorvixApp() = default;

int CCorvixApp::Run() {
    if (guard_->Acquire() == ambrel::SingleInstanceGuard::Role::Secondary)
        return 0;
    LoadInterfaceOverrideFromEnvironment();
    UseCorvixResources();
    ambrel::CreateImageCache();
    {
        CMainFrame frame;
        frame.AcceptActivationRequests(*guard_);
        frame.RunModal();
    }
    ambrel::ReleaseImageCache();
    return 0;
}

}  // namespace corvix
