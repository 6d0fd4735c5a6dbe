#include "PictureMenuSamples.h"

#include <QWidget>

#include "BCMenu.h"
#include "OrvikPicture.h"
#include "ResourceBundle.h"

namespace ambrel::gallery {

namespace {

constexpr int kGifBusy = 212;
constexpr int kMenuTray = 234;
constexpr int kCommandShow = 32775;
constexpr int kSpacing = 24;

// The tray menu's texts as the main window sets them before showing it.
struct MenuText {
    int commandId;
    int textId;
};
constexpr MenuText kMenuTexts[] = {{32775, 200}, {32777, 202}, {32774, 201}};

}  // namespace

QRect AddPictureMenuSamples(QWidget* parent, const QPoint& topLeft) {
    auto* picture = new COrvikPicture(parent);
    picture->move(topLeft);
    if (picture->LoadGifResource(kGifBusy))
        picture->Draw();
    picture->show();
    QRect area = picture->geometry();

    // The menu as the tray shows it, made a child widget so that it stays
    // open beside the other samples.
    BCMenu::SetMenuDrawMode(MenuDrawMode::Flat);
    auto* tray = new BCMenu(parent);
    tray->hide();
    if (!tray->LoadMenu(kMenuTray))
        return area;
    for (const MenuText& text : kMenuTexts)
        tray->ModifyODMenu(FindString(text.textId).value_or(QString()), text.commandId);
    tray->SetBoldItemId(kCommandShow);
    BCMenu* menu = tray->GetSubMenu(0);
    if (!menu)
        return area;
    menu->setParent(parent, Qt::Widget);
    menu->move(area.right() + 1 + kSpacing, topLeft.y());
    menu->resize(menu->sizeHint());
    menu->show();
    if (!menu->actions().isEmpty())
        menu->setActiveAction(menu->actions().front());
    return area | menu->geometry();
}

}  // namespace ambrel::gallery
