#include "BCMenu.h"

#include <qdrawutil.h>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "BCMenuMemDC.h"
#include "ResourceBundle.h"
#include "WindowMessage.h"

namespace ambrel {

namespace {

MenuDrawMode gDrawModeMenuIsWindow = MenuDrawMode::Flat;
MenuDrawMode gDrawModeOtherwise = MenuDrawMode::Flat;

constexpr int kColumnWidth = BCMenu::kIconSize.width() + 4;  // the icon column
constexpr int kTextGap = 6;                                  // column to text
constexpr int kTrailingMargin = 12;                          // after the text

// The label and the accelerator of an item text ("Open\tCtrl+O").
std::pair<QString, QString> SplitText(const QString& text) {
    const qsizetype tab = text.indexOf(u'\t');
    if (tab < 0)
        return {text, QString()};
    return {text.left(tab), text.mid(tab + 1)};
}

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    return metrics.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, text).width();
}

// Lays out the items at the sizes the menu measures, with room for the
// heavier drawing font; no margins around the items.
class BCMenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* menu = qobject_cast<const BCMenu*>(widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || !menu || !item)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        BCMenuData data;
        data.text = item->text;
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            data.flags |= kMenuSeparator;
        QSize measured = menu->MeasureItem(data);
        if (!(data.flags & kMenuSeparator)) {
            // Items are measured at normal weight but drawn heavier: leave
            // room for the bold text and a margin after it, so that no text
            // is cut off.
            const QString label = SplitText(data.text).first;
            QFont bold = BCMenu::MeasureFont();
            bold.setWeight(QFont::Bold);
            const int heavier = TextWidth(QFontMetrics(bold), label) -
                                TextWidth(QFontMetrics(BCMenu::MeasureFont()), label);
            measured.rwidth() += std::max(0, heavier) + kTrailingMargin;
        }
        // The menu leaves out items of no width; a separator spans the menu.
        return measured.expandedTo(QSize(1, 1));
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (qobject_cast<const BCMenu*>(widget)) {
            switch (metric) {
                case PM_MenuPanelWidth:
                    return 1;
                case PM_MenuHMargin:
                case PM_MenuVMargin:
                case PM_MenuDesktopFrameWidth:
                    return 0;
                default:
                    break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

BCMenu::BCMenu(QWidget* parent) : QMenu(parent) {
    auto* style = new BCMenuStyle;
    style->setParent(this);
    setStyle(style);
}

BCMenu::~BCMenu() = default;

QColor BCMenu::LightenColor(const QColor& colour, double factor) {
    auto channel = [factor](int c) { return c + static_cast<int>((255 - c) * factor); };
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
}

void BCMenu::SetMenuDrawMode(MenuDrawMode whenMenuIsWindowColour, MenuDrawMode otherwise) {
    gDrawModeMenuIsWindow = whenMenuIsWindowColour;
    gDrawModeOtherwise = otherwise;
}

MenuDrawMode BCMenu::DrawMode() const {
    const QPalette& colours = palette();
    return colours.color(QPalette::Window).rgb() == colours.color(QPalette::Base).rgb()
               ? gDrawModeMenuIsWindow
               : gDrawModeOtherwise;
}

QFont BCMenu::MeasureFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

QFont BCMenu::ItemFont(int commandId) const {
    QFont font = MeasureFont();
    font.setWeight(boldItemId_ != 0 && commandId == boldItemId_ ? QFont::Bold : QFont::Medium);
    return font;
}

QSize BCMenu::MeasureItem(const BCMenuData& item) const {
    if (item.flags & kMenuSeparator)
        return QSize(0, kMenuBarHeight / 2);
    const QFontMetrics metrics(MeasureFont());
    auto [label, accelerator] = SplitText(item.text);
    int width = TextWidth(metrics, label);
    if (!accelerator.isEmpty())
        width +=
            metrics.horizontalAdvance(QStringLiteral("    ")) + TextWidth(metrics, accelerator);
    return QSize(width + 2 * kIconSize.width() + 1,
                 std::max(kMenuBarHeight, kIconSize.height() + 4));
}

// ---- Loading -------------------------------------------------------------------

bool BCMenu::LoadMenu(int id) {
    DestroyMenu();
    const bundle::MenuTemplate* menu = FindMenu(id);
    if (!menu)
        return false;
    Build(menu->items);
    return true;
}

bool BCMenu::LoadMenu(const QString& name) {
    QString digits = name.startsWith(u'#') ? name.mid(1) : name;
    bool ok = false;
    const int id = digits.toInt(&ok);
    if (!ok) {
        DestroyMenu();
        return false;
    }
    return LoadMenu(id);
}

BCMenuData& BCMenu::AddItem(const QString& text, int commandId, uint32_t flags) {
    auto data = std::make_unique<BCMenuData>();
    data->text = text;
    data->commandId = commandId;
    data->flags = flags | kMenuOwnerDraw;
    if (flags & kMenuSeparator) {
        data->action = addSeparator();
    } else {
        data->action = addAction(text);
        data->action->setData(commandId);
    }
    menuList_.push_back(std::move(data));
    return *menuList_.back();
}

void BCMenu::Build(const std::vector<bundle::MenuItem>& items) {
    for (const bundle::MenuItem& item : items) {
        const QString text = item.textId ? FindString(item.textId).value_or(QString()) : QString();
        switch (item.kind) {
            case bundle::MenuItem::Kind::Separator:
                AddItem(QString(), 0, kMenuSeparator);
                break;
            case bundle::MenuItem::Kind::Command:
                AddItem(text, item.commandId, 0);
                break;
            case bundle::MenuItem::Kind::Popup: {
                auto* sub = new BCMenu(this);
                sub->setTitle(text);
                sub->boldItemId_ = boldItemId_;
                sub->Build(item.children);
                auto data = std::make_unique<BCMenuData>();
                data->text = text;
                data->flags = kMenuOwnerDraw | kMenuPopup;
                data->action = addMenu(sub);
                menuList_.push_back(std::move(data));
                subMenus_.emplace_back(sub);
                break;
            }
        }
    }
}

void BCMenu::DestroyMenu() {
    clear();
    menuList_.clear();
    for (QPointer<BCMenu>& sub : subMenus_)
        delete sub.data();
    subMenus_.clear();
}

// ---- Items -----------------------------------------------------------------------

bool BCMenu::ModifyInTree(const QString& text, int commandId) {
    bool found = false;
    for (auto& item : menuList_) {
        if (item->flags & (kMenuSeparator | kMenuPopup) || item->commandId != commandId)
            continue;
        item->text = text;
        item->flags |= kMenuOwnerDraw;
        item->action->setText(text);
        found = true;
    }
    for (QPointer<BCMenu>& sub : subMenus_) {
        if (sub && sub->ModifyInTree(text, commandId))
            found = true;
    }
    return found;
}

bool BCMenu::ModifyODMenu(const QString& text, int commandId) {
    if (!ModifyInTree(text, commandId))
        AddItem(text, commandId, 0);
    return true;
}

void BCMenu::SetBoldItemId(int commandId) {
    boldItemId_ = commandId;
    for (QPointer<BCMenu>& sub : subMenus_) {
        if (sub)
            sub->SetBoldItemId(commandId);
    }
    update();
}

BCMenu* BCMenu::GetSubMenu(int position) const {
    const QList<QAction*> all = actions();
    if (position < 0 || position >= all.size())
        return nullptr;
    return qobject_cast<BCMenu*>(all[position]->menu());
}

const BCMenuData* BCMenu::FindItem(int commandId) const {
    for (const auto& item : menuList_) {
        if (!(item->flags & (kMenuSeparator | kMenuPopup)) && item->commandId == commandId)
            return item.get();
    }
    for (const QPointer<BCMenu>& sub : subMenus_) {
        if (!sub)
            continue;
        if (const BCMenuData* found = sub->FindItem(commandId))
            return found;
    }
    return nullptr;
}

const BCMenuData* BCMenu::ItemForAction(const QAction* action) const {
    for (const auto& item : menuList_) {
        if (item->action == action)
            return item.get();
    }
    for (const QPointer<BCMenu>& sub : subMenus_) {
        if (!sub)
            continue;
        if (const BCMenuData* found = sub->ItemForAction(action))
            return found;
    }
    return nullptr;
}

int BCMenu::TrackPopupMenu(const QPoint& globalPos, QObject* owner) {
    QAction* chosen = exec(globalPos);
    if (!chosen)
        return 0;
    const BCMenuData* item = ItemForAction(chosen);
    const int commandId = item ? item->commandId : chosen->data().toInt();
    if (owner && commandId != 0)
        PostWindowMessage(owner, kWmCommand, static_cast<WParam>(commandId), 0);
    return commandId;
}

// ---- Drawing ---------------------------------------------------------------------

void BCMenu::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const bool flat = DrawMode() == MenuDrawMode::Flat;
    const QColor menuColour = colours.color(QPalette::Window);
    const bool faceIsMenu = menuColour.rgb() == colours.color(QPalette::Button).rgb();
    painter.fillRect(rect(), flat && faceIsMenu ? QColor(Qt::white) : menuColour);

    for (QAction* action : actions()) {
        const QRect area = actionGeometry(action);
        if (!action->isVisible() || area.isEmpty() || !event->rect().intersects(area))
            continue;
        BCMenuData transient;
        const BCMenuData* item = ItemForAction(action);
        if (!item) {
            // An item added without this menu's data.
            transient.text = action->text();
            transient.commandId = action->data().toInt();
            if (action->isSeparator())
                transient.flags |= kMenuSeparator;
            if (action->menu())
                transient.flags |= kMenuPopup;
            item = &transient;
        }
        BCMenuMemDC surface(painter, area);
        DrawItem(surface.Painter(), area, *item, action == activeAction(), action->isEnabled(),
                 action->isChecked());
    }

    // A thin frame around the menu.
    painter.setPen(flat ? colours.color(QPalette::Mid) : colours.color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void BCMenu::DrawItem(QPainter& painter, const QRect& rect, const BCMenuData& item, bool selected,
                      bool enabled, bool checked) {
    if (DrawMode() == MenuDrawMode::Flat)
        DrawFlat(painter, rect, item, selected, enabled, checked);
    else
        DrawClassic(painter, rect, item, selected, enabled, checked);
}

void BCMenu::DrawLabel(QPainter& painter, const QRect& rect, const BCMenuData& item,
                       const QColor& colour) {
    painter.setFont(ItemFont(item.commandId));
    painter.setPen(colour);
    const QRect textArea = rect.adjusted(kColumnWidth + kTextGap, 0, -kTextGap, 0);
    auto [label, accelerator] = SplitText(item.text);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, label);
    if (!accelerator.isEmpty())
        painter.drawText(textArea, Qt::AlignRight | Qt::AlignVCenter, accelerator);
    if (item.flags & kMenuPopup) {
        // The sub-menu arrow.
        const int size = 4;
        const QPoint tip(rect.right() - 6, rect.center().y());
        QPainterPath arrow;
        arrow.moveTo(tip);
        arrow.lineTo(tip.x() - size, tip.y() - size);
        arrow.lineTo(tip.x() - size, tip.y() + size);
        arrow.closeSubpath();
        painter.fillPath(arrow, colour);
    }
}

namespace {

void DrawCheck(QPainter& painter, const QRect& column, const QColor& colour) {
    const QPoint c = column.center();
    QPainterPath tick;
    tick.moveTo(c.x() - 4, c.y());
    tick.lineTo(c.x() - 1, c.y() + 3);
    tick.lineTo(c.x() + 4, c.y() - 3);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.6));
    painter.drawPath(tick);
    painter.restore();
}

}  // namespace

void BCMenu::DrawFlat(QPainter& painter, const QRect& rect, const BCMenuData& item, bool selected,
                      bool enabled, bool checked) {
    const QPalette& colours = palette();
    const QColor menuColour = colours.color(QPalette::Window);
    const QColor face = colours.color(QPalette::Button);
    const QColor highlight = colours.color(QPalette::Highlight);
    const bool faceIsMenu = menuColour.rgb() == face.rgb();
    const QColor background = faceIsMenu ? QColor(Qt::white) : menuColour;
    const QColor column = faceIsMenu ? LightenColor(face, 0.35) : face;
    const QRect columnArea(rect.left(), rect.top(), kColumnWidth, rect.height());

    painter.fillRect(rect, background);
    painter.fillRect(columnArea, column);

    if (item.flags & kMenuSeparator) {
        const int y = rect.center().y();
        painter.setPen(colours.color(QPalette::Mid));
        painter.drawLine(rect.left() + kColumnWidth + kTextGap, y, rect.right() - 1, y);
        return;
    }
    if (selected && enabled) {
        painter.fillRect(rect, LightenColor(highlight, faceIsMenu ? 0.85 : 0.7));
        painter.setPen(highlight);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    const QColor text = enabled ? colours.color(QPalette::WindowText)
                                : colours.color(QPalette::Disabled, QPalette::WindowText);
    if (checked)
        DrawCheck(painter, columnArea, text);
    DrawLabel(painter, rect, item, text);
}

void BCMenu::DrawClassic(QPainter& painter, const QRect& rect, const BCMenuData& item,
                         bool selected, bool enabled, bool checked) {
    const QPalette& colours = palette();
    const QRect columnArea(rect.left(), rect.top(), kColumnWidth, rect.height());
    painter.fillRect(rect, colours.color(QPalette::Window));

    if (item.flags & kMenuSeparator) {
        // An etched line.
        const int y = rect.center().y();
        qDrawShadeLine(&painter, rect.left() + 2, y, rect.right() - 2, y, colours, true);
        return;
    }
    QColor text = enabled ? colours.color(QPalette::WindowText)
                          : colours.color(QPalette::Disabled, QPalette::WindowText);
    if (checked) {
        qDrawShadePanel(&painter, columnArea.adjusted(1, 1, -1, -1), colours, true);
        DrawCheck(painter, columnArea, text);
    }
    if (selected && enabled) {
        const QRect textArea = rect.adjusted(kColumnWidth, 0, 0, 0);
        painter.fillRect(textArea, colours.color(QPalette::Highlight));
        if (!checked)
            qDrawShadePanel(&painter, columnArea.adjusted(1, 1, -1, -1), colours, false);
        text = colours.color(QPalette::HighlightedText);
    }
    DrawLabel(painter, rect, item, text);
}

}  // namespace ambrel
