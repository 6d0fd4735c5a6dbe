#include "PlcMsgBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "AppSettings.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "Layout.h"
#include "ModalDialogs.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ReportSink.h"
#include "ResourceIds.h"
#include "UiString.h"

namespace ambrel {
namespace {

// Control ids of template 142.
constexpr int kYes = 1002;
constexpr int kOk = 1003;
constexpr int kNo = 1004;
constexpr int kCancel = 1005;
constexpr int kIcon = 1006;
constexpr int kMessage = 1007;
constexpr int kTitle = 1008;
constexpr int kOptionExit = 1009;
constexpr int kOptionCaption = 1010;
constexpr int kOptionDontAsk = 1011;

// Layout strings.
constexpr int kOptionBackColour = 1000;
constexpr int kMessagePointSize = 1005;
constexpr int kRectIcon = 1010;
constexpr int kRectTitle = 1011;
constexpr int kRectOptionCaption = 1012;
constexpr int kRectOptionExit = 1013;
constexpr int kRectOptionDontAsk = 1014;
constexpr int kRectLeftButton = 1016;
constexpr int kRectRightButton = 1017;
constexpr int kRectSingleButton = 1021;
constexpr int kTitleFont = 1003;

// Texts of the options.
constexpr int kTextOptionExit = 1009;
constexpr int kTextOptionCaption = 1007;
constexpr int kTextOptionDontAsk = 1008;

// The vertical band the message text is centred in.
constexpr int kTextBand = 178;

constexpr uint32_t kButtonSetMask = 0x0F;
constexpr uint32_t kIconMask = 0xF0;

int g_openCount = 0;
// The boxes that have initialised their window and still exist, the last
// opened last. A box opened over another one and closed again makes the
// one below the open box once more.
std::vector<CPlcMsgBox*>& OpenBoxes() {
    static std::vector<CPlcMsgBox*> boxes;
    return boxes;
}

void ForgetBox(CPlcMsgBox* box) {
    std::vector<CPlcMsgBox*>& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), box), boxes.end());
}

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

int IconFor(uint32_t style) {
    switch (style & kIconMask) {
        case kMsgIconError:
            return res::kPngError;
        case kMsgIconWarning:
            return res::kPngWarning;
        default:
            return res::kPngInformation;
    }
}

void SkinButton(COrvikButton* button, const res::ButtonImages& images) {
    button->SetButtonImages(&LoadPngResource(images.normal), &LoadPngResource(images.hover),
                            &LoadPngResource(images.pressed), &LoadPngResource(images.disabled));
    button->UseHandCursor(res::kCursorHand);
}

// The option controls draw their text on a solid band of the layout colour.
void PaintOptionBackground(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

}  // namespace

// ---- The box ---------------------------------------------------------------------

CPlcMsgBox::CPlcMsgBox(QWidget* parent) : DialogWindow(res::kDialogMessageBox, parent) {
    ++g_openCount;
    if (const QWidget* message = FindControl(kMessage))
        textRect_ = message->geometry();
}

CPlcMsgBox::~CPlcMsgBox() {
    --g_openCount;
    ForgetBox(this);
}

QRect CPlcMsgBox::PlaceMessageText(const QRect& area, int h) {
    const int top = (kTextBand - h) / 2;
    const int height = std::max(2 * h - 16, h);
    return QRect(area.left(), top, area.width(), std::max(height, 0));
}

int CPlcMsgBox::Show(const QString& title, const QString& text, uint32_t style, int textAreaId) {
    title_ = title;
    text_ = text;
    style_ = style;
    result_ = kResultNone;
    textRect_ = LayoutQRect(textAreaId, textRect_);
    if (IsInitialised()) {
        if (auto* titleLine = Control<COrvikStatic>(kTitle))
            titleLine->SetCaption(title_);
        if (auto* message = Control<COrvikStatic>(kMessage))
            message->SetCaption(text_);
        PlaceText();
    }

    QPointer<CPlcMsgBox> self(this);
    RunModal();
    if (self.isNull())
        return kResultNone;
    const int result = result_;
    // Back to the look before the style was applied.
    style_ = 0;
    iconId_ = res::kPngInformation;
    if (auto* ok = Control<COrvikButton>(kOk))
        MoveToLayout(ok, kRectLeftButton);
    return result;
}

void CPlcMsgBox::CloseFromOutside() {
    result_ = kResultNone;
    EndDialog(kIdCancel);
}

void CPlcMsgBox::OnInitDialog() {
    ForgetBox(this);
    OpenBoxes().push_back(this);

    const QImage& background = LoadPngResource(res::kPngMessageBoxBackground);
    iconId_ = res::kPngInformation;
    LoadPngResource(iconId_);

    auto* titleLine = Attach<COrvikStatic>(kTitle);
    titleLine->SetLogFont(MakeLogFont(kTitleFont));
    titleLine->SetBold(true);
    titleLine->SetCaption(title_);

    auto* message = Attach<COrvikStatic>(kMessage);
    message->SetPointSize(ReadLayoutInt(kMessagePointSize));
    message->SetCaption(text_);

    const QFont optionFont = MakeDialogFont();
    const QColor optionColour = ReadLayoutColor(kOptionBackColour);
    const std::pair<int, int> options[] = {{kOptionExit, kTextOptionExit},
                                           {kOptionCaption, kTextOptionCaption},
                                           {kOptionDontAsk, kTextOptionDontAsk}};
    for (const auto& [id, textId] : options) {
        QWidget* control = FindControl(id);
        if (control == nullptr)
            continue;
        const QString label = LoadUiString(textId, true);
        if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setText(label);
        else if (auto* caption = qobject_cast<QLabel*>(control))
            caption->setText(label);
        control->setFont(optionFont);
        PaintOptionBackground(control, optionColour);
    }

    // The box has the size of its background and sits in the middle of the screen.
    resize(background.size());
    move(ScreenCentredOrigin(background.size()));

    const std::pair<int, const res::ButtonImages*> buttons[] = {{kOk, &res::kImagesOk},
                                                                {kCancel, &res::kImagesCancel},
                                                                {kYes, &res::kImagesYes},
                                                                {kNo, &res::kImagesNo}};
    for (const auto& [id, images] : buttons) {
        auto* button = Attach<COrvikButton>(id);
        SkinButton(button, *images);
        const bool left = id == kOk || id == kYes;
        MoveToLayout(button, left ? kRectLeftButton : kRectRightButton);
    }
    if (auto* exitOption = Control<QCheckBox>(kOptionExit))
        exitOption->setChecked(firstOption_);

    const std::pair<int, int> placed[] = {{kOptionExit, kRectOptionExit},
                                          {kOptionCaption, kRectOptionCaption},
                                          {kOptionDontAsk, kRectOptionDontAsk},
                                          {kTitle, kRectTitle}};
    for (const auto& [id, rectId] : placed) {
        if (QWidget* control = FindControl(id))
            MoveToLayout(control, rectId);
    }
    const QWidget* iconPlace = FindControl(kIcon);
    iconPosition_ =
        LayoutQRect(kRectIcon, iconPlace != nullptr ? iconPlace->geometry() : QRect()).topLeft();

    PlaceText();
    ShapeToPicture(*this, background);
    SetDragAreas({QRect(QPoint(0, 0), size())});
}

void CPlcMsgBox::PlaceText() {
    auto* message = Control<COrvikStatic>(kMessage);
    if (message == nullptr)
        return;
    const QFontMetrics metrics(message->GetLogFont().ToQFont());
    const int h = metrics
                      .boundingRect(QRect(0, 0, textRect_.width(), 1 << 20),
                                    Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_)
                      .height();
    message->setGeometry(PlaceMessageText(textRect_, h));
}

void CPlcMsgBox::showEvent(QShowEvent* event) {
    DialogWindow::showEvent(event);
    ApplyStyle();
}

void CPlcMsgBox::ApplyStyle() {
    iconId_ = IconFor(style_);
    LoadPngResource(iconId_);

    const uint32_t set = style_ & kButtonSetMask;
    const bool ok = set == kMsgOk || set == kMsgOkCancel;
    const bool cancel = set == kMsgOkCancel;
    const bool yesNo = set != kMsgOk && set != kMsgOkCancel && set != kMsgNoButtons;
    const std::pair<int, bool> shown[] = {{kOk, ok},
                                          {kCancel, cancel},
                                          {kYes, yesNo},
                                          {kNo, yesNo},
                                          {kOptionExit, cancel},
                                          {kOptionCaption, cancel},
                                          {kOptionDontAsk, cancel}};
    for (const auto& [id, visible] : shown) {
        if (QWidget* control = FindControl(id))
            control->setVisible(visible);
    }
    if (set == kMsgOk) {
        if (auto* button = Control<COrvikButton>(kOk))
            MoveToLayout(button, kRectSingleButton);
    }
    InvalidateBackground();
}

void CPlcMsgBox::PaintBackground(QPainter& painter) {
    painter.drawImage(rect(), LoadPngResource(res::kPngMessageBoxBackground));
    painter.drawImage(iconPosition_, LoadPngResource(iconId_ != 0 ? iconId_ : IconFor(style_)));
}

void CPlcMsgBox::OnCommand(int id) {
    switch (id) {
        case kYes:
            Finish(kResultYes, true);
            break;
        case kOk:
            if ((style_ & kButtonSetMask) == kMsgOkCancel) {
                const auto* exitOption = Control<QCheckBox>(kOptionExit);
                const auto* dontAsk = Control<QCheckBox>(kOptionDontAsk);
                AppSettings& settings = TheAppSettings();
                if (exitOption != nullptr)
                    settings.isClosed = exitOption->isChecked() ? 1 : 0;
                if (dontAsk != nullptr)
                    settings.notAskAgain = dontAsk->isChecked() ? 1 : 0;
            }
            Finish(kResultOk, true);
            break;
        case kNo:
            Finish(kResultNo, false);
            break;
        case kCancel:
            Finish(kResultCancel, false);
            break;
        default:
            break;
    }
}

void CPlcMsgBox::OnOK() {
    // Enter picks no answer; the user chooses with the buttons.
}

void CPlcMsgBox::OnCancel() {
    // Escape or a close request: no answer.
    CloseFromOutside();
}

void CPlcMsgBox::Finish(int result, bool accepted) {
    result_ = result;
    EndDialog(accepted ? kIdOk : kIdCancel);
}

// ---- The free functions ------------------------------------------------------------

int ShowMessage(const QString& text, uint32_t style, QWidget* parent) {
    if (g_openCount != 0)
        return kResultNone;
    if (Hook())
        return Hook()(text, style);
    auto* box = new CPlcMsgBox(parent);
    QPointer<CPlcMsgBox> guard(box);
    const int result = box->Show(QString(), text, style, CPlcMsgBox::kTextAreaMessage);
    delete guard.data();
    return result;
}

int ShowMessage(int textId, uint32_t style, QWidget* parent) {
    if (g_openCount != 0)
        return kResultNone;
    return ShowMessage(LoadUiString(textId), style, parent);
}

int AskMessage(const QString& text, uint32_t style, QWidget* parent) {
    if (Hook())
        return Hook()(text, style);
    auto* box = new CPlcMsgBox(parent);
    QPointer<CPlcMsgBox> guard(box);
    const int result = box->Show(QString(), text, style, CPlcMsgBox::kTextAreaQuestion);
    delete guard.data();
    return result;
}

CPlcMsgBox* OpenMessageBox() {
    return OpenBoxes().empty() ? nullptr : OpenBoxes().back();
}

int OpenMessageBoxCount() {
    return g_openCount;
}

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = std::move(hook);
}

void CloseOpenMessageBoxLater() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return;
    QMetaObject::invokeMethod(
        app,
        []() {
            if (CPlcMsgBox* box = OpenMessageBox()) {
                ForgetBox(box);
                box->CloseFromOutside();
            }
        },
        Qt::QueuedConnection);
}

void InstallWaitingBoxCloser() {
    SetWaitingBoxCloser([]() { CloseOpenMessageBoxLater(); });
}

}  // namespace ambrel
