#include "UiState.h"

#include "ImageCache.h"
#include "ResourceIds.h"

namespace ambrel {

MainLayout ComputeMainLayout() {
    const QSize title = LoadPngResource(res::kPngTitle).size();
    const QSize tabBar = LoadPngResource(res::kPngTabBar).size();
    const QSize body = LoadPngResource(res::kPngBody).size();
    const QSize dialog = LoadPngResource(res::kPngMessageBoxBackground).size();
    const int tabTop = title.height();
    const int bodyTop = tabTop + tabBar.height();
    const int bodyBottom = bodyTop + body.height();

    MainLayout layout;
    layout.title = {0, 0, title.width(), title.height()};
    layout.tabBar = {0, tabTop, tabBar.width(), bodyTop};
    layout.body = {0, bodyTop, body.width(), bodyBottom};
    layout.pageInner = {0, bodyTop, body.width() - 20, bodyBottom - 10};
    layout.window = {0, 0, title.width(), bodyBottom};
    layout.dialog = {0, 0, dialog.width(), dialog.height()};
    return layout;
}

MainLayout& TheMainLayout() {
    static MainLayout layout;
    return layout;
}

int& DeviceDialogOpen() {
    static int open = 0;
    return open;
}

std::recursive_mutex& DeviceLock() {
    static std::recursive_mutex lock;
    return lock;
}

void ResetUiState() {
    TheMainLayout() = MainLayout{};
    DeviceDialogOpen() = 0;
}

}  // namespace ambrel
