#pragma once

// A popup menu that draws its items itself, in a flat style with its own
// font (Arial, 12 pixels), loaded from a menu template of the resource
// source. The tray icon's menu of both programs.
//
// Colours come from the menu's palette: Window is the menu colour, Base the
// window colour, Button the face colour, Highlight the selection, WindowText
// the item text.
//
// User-interface thread only.

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace ambrel {

namespace bundle {
struct MenuItem;
}

// Flags of a menu item.
enum BCMenuFlag : uint32_t {
    kMenuOwnerDraw = 1u << 0,  // always set: the menu draws the item
    kMenuSeparator = 1u << 1,
    kMenuPopup = 1u << 2,  // opens a sub-menu
};

// One item of a BCMenu.
struct BCMenuData {
    QString text;
    int commandId = 0;
    uint32_t flags = kMenuOwnerDraw;
    int iconIndex = -1;  // -1: no icon
    int iconOffset = -1;
    QAction* action = nullptr;  // the item as the menu shows it
};

enum class MenuDrawMode { Classic = 0, Flat = 1 };

class BCMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr QSize kIconSize{16, 15};
    static constexpr QRgb kMaskColor = 0xC0C0C0;
    static constexpr int kMenuBarHeight = 20;  // height of a menu bar line

    explicit BCMenu(QWidget* parent = nullptr);
    ~BCMenu() override;

    // Draws one item into `rect` of `painter`.
    virtual void DrawItem(QPainter& painter, const QRect& rect, const BCMenuData& item,
                          bool selected, bool enabled, bool checked);
    // The item's size: a separator is 0 wide and half a menu bar line high;
    // any other item its text (Arial 12 px, normal weight) plus two icon
    // widths and one pixel wide, and a menu bar line or an icon plus 4
    // pixels high, whichever is more.
    virtual QSize MeasureItem(const BCMenuData& item) const;
    // Replaces the content with menu template `id`, every item, through
    // every popup, owner-drawn with its BCMenuData. False when there is no
    // such template (the menu is then empty).
    virtual bool LoadMenu(int id);
    // The same by name: the decimal id, optionally after '#'.
    virtual bool LoadMenu(const QString& name);
    // Frees every item and sub-menu.
    virtual void DestroyMenu();

    // Sets the text of every item with `commandId`, in this menu and all its
    // sub-menus; appends a new item to this menu when there is none.
    bool ModifyODMenu(const QString& text, int commandId);

    // The sub-menu of the item at `position`, or null.
    BCMenu* GetSubMenu(int position) const;
    // Shows the menu at `globalPos` until a choice is made; the chosen
    // command id, 0 for none. A choice is also posted to `owner` as its
    // command message (wParam the command id).
    int TrackPopupMenu(const QPoint& globalPos, QObject* owner = nullptr);

    // The first item with `commandId` here or in a sub-menu, or null.
    const BCMenuData* FindItem(int commandId) const;
    const BCMenuData* ItemForAction(const QAction* action) const;
    const std::vector<std::unique_ptr<BCMenuData>>& Items() const { return menuList_; }

    // The item drawn in bold (0: none), here and in every sub-menu.
    void SetBoldItemId(int commandId);
    int BoldItemId() const { return boldItemId_; }
    QFont ItemFont(int commandId) const;
    static QFont MeasureFont();

    // The two process-wide switches: one applies when the menu colour is the
    // window colour, the other otherwise.
    static void SetMenuDrawMode(MenuDrawMode whenMenuIsWindowColour, MenuDrawMode otherwise);
    static void SetMenuDrawMode(MenuDrawMode both) { SetMenuDrawMode(both, both); }
    MenuDrawMode DrawMode() const;

    // Moves every channel c to c + (255 - c) * factor, truncated.
    static QColor LightenColor(const QColor& colour, double factor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Build(const std::vector<bundle::MenuItem>& items);
    BCMenuData& AddItem(const QString& text, int commandId, uint32_t flags);
    bool ModifyInTree(const QString& text, int commandId);
    void DrawFlat(QPainter& painter, const QRect& rect, const BCMenuData& item, bool selected,
                  bool enabled, bool checked);
    void DrawClassic(QPainter& painter, const QRect& rect, const BCMenuData& item, bool selected,
                     bool enabled, bool checked);
    void DrawLabel(QPainter& painter, const QRect& rect, const BCMenuData& item,
                   const QColor& colour);

    std::vector<std::unique_ptr<BCMenuData>> menuList_;
    std::vector<QPointer<BCMenu>> subMenus_;
    int boldItemId_ = 0;
};

}  // namespace ambrel
