#include "Advanced.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <optional>
#include <string>

#include "AnsiText.h"
#include "AppSettings.h"
#include "CodePage.h"
#include "Fonts.h"
#include "ImageCache.h"
#include "KeyDerivation.h"
#include "Layout.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "PlcMsgBox.h"
#include "ResourceIds.h"
#include "UiString.h"
#include "UpGrade.h"

namespace ambrel {
namespace {

// The section headings: control, text and layout rectangle.
struct Heading {
    int controlId;
    int textId;
    int layoutId;
};
constexpr Heading kHeadings[] = {{1035, 7007, 7000}, {1036, 7008, 7001}, {1037, 7009, 7002}};
constexpr int kHeadingFont = 1006;
constexpr int kHeadingPointSize = 1005;
constexpr int kHeadingColour = 7200;
constexpr int kPageColour = 7201;

// The page's own controls: control, text (0: none) and layout rectangle.
constexpr Heading kPageControls[] = {{CAdvanced::kScopeLocal, 7010, 7003},
                                     {CAdvanced::kScopeAll, 7011, 7004},
                                     {CAdvanced::kDefaultName, 7012, 7005},
                                     {CAdvanced::kNameEdit, 0, 7006}};

constexpr int kTextBadName = 4100;

}  // namespace

CAdvanced::CAdvanced(QWidget* parent)
    : CPage(res::kDialogAdvanced, res::kPngAdvancedPage, parent) {}

CAdvanced::~CAdvanced() = default;

bool CAdvanced::IsValidNetworkName(const QString& name, int languageId) {
    const std::optional<std::string> ansi = ToAnsi(name.toStdU16String(), languageId);
    return ansi && ansi->size() >= size_t(kMinNameBytes) && ansi->size() <= size_t(kMaxNameBytes);
}

CreSetLocalDev::Mode CAdvanced::NameScope() const {
    return scopeLocal_ ? CreSetLocalDev::Mode::kSetNetworkLocal
                       : CreSetLocalDev::Mode::kSetNetworkAll;
}

// ---- Initialisation ----------------------------------------------------------------

void CAdvanced::OnInitDialog() {
    LayOutControls();
    SetScope(true);
}

void CAdvanced::LayOutControls() {
    const LogFont headingFont = MakeLogFont(kHeadingFont);
    const int headingPoints = ReadLayoutInt(kHeadingPointSize);
    const QColor headingColour = ReadLayoutColor(kHeadingColour);
    for (const Heading& heading : kHeadings) {
        auto* text = Attach<COrvikStatic>(heading.controlId);
        text->SetLogFont(headingFont);
        text->SetPointSize(headingPoints);
        text->SetForeColor(headingColour);
        text->SetBold(true);
        text->SetAlign(COrvikStatic::Align::LeftNoWrap);
        text->SetCaption(LoadUiString(heading.textId));
        MoveToLayout(text, heading.layoutId);
    }

    QFont pageFont(QStringLiteral("Arial"));
    if (const int points = ReadLayoutInt(res::kIntPagePointSize); points > 0)
        pageFont.setPointSize(points);
    const QColor pageColour = ReadLayoutColor(kPageColour);
    for (const Heading& entry : kPageControls) {
        QWidget* control = FindControl(entry.controlId);
        if (control == nullptr)
            continue;
        control->setFont(pageFont);
        MoveToLayout(control, entry.layoutId);
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(LoadUiString(entry.textId));
            // The radios and the check box sit on a solid page colour.
            QPalette palette = button->palette();
            palette.setColor(QPalette::Window, pageColour);
            // Buttons fill their background with the Button role.
            palette.setColor(QPalette::Button, pageColour);
            button->setPalette(palette);
            button->setAutoFillBackground(true);
        }
    }

    for (const res::ButtonSkin& skin : res::kAdvancedButtons) {
        auto* button = Attach<COrvikButton>(skin.controlId);
        button->SetButtonImages(
            &LoadPngResource(skin.images.normal), &LoadPngResource(skin.images.hover),
            &LoadPngResource(skin.images.pressed), &LoadPngResource(skin.images.disabled));
        button->UseHandCursor(res::kCursorHand);
        MoveToLayout(button, skin.layoutId);
    }
}

void CAdvanced::PaintBackground(QPainter& painter) {
    DialogWindow::PaintBackground(painter);
    painter.drawImage(rect(), LoadPngResource(BackgroundId()));
}

// ---- Commands ------------------------------------------------------------------------

void CAdvanced::OnCommand(int id) {
    switch (id) {
        case kScopeLocal:
            SetScope(true);
            break;
        case kScopeAll:
            SetScope(false);
            break;
        case kDefaultName:
            ToggleDefaultName();
            break;
        case kSetNameButton:
            SetNetworkName();
            break;
        case kResetLocalButton:
            OpenResetDialog(CreSetLocalDev::Mode::kResetLocal);
            break;
        case kResetAllButton:
            OpenResetDialog(CreSetLocalDev::Mode::kResetAll);
            break;
        case kUpgradeButton:
            OpenUpgradeDialog();
            break;
        default:
            break;
    }
}

void CAdvanced::SetScope(bool local) {
    scopeLocal_ = local;
    if (auto* radio = Control<QRadioButton>(kScopeLocal))
        radio->setChecked(local);
    if (auto* radio = Control<QRadioButton>(kScopeAll))
        radio->setChecked(!local);
}

void CAdvanced::ToggleDefaultName() {
    auto* check = Control<QCheckBox>(kDefaultName);
    auto* edit = Control<QLineEdit>(kNameEdit);
    if (check == nullptr || edit == nullptr)
        return;
    if (check->isChecked()) {
        edit->setText(QString::fromLatin1(kDefaultNetworkPassword.data(),
                                          qsizetype(kDefaultNetworkPassword.size())));
        edit->setEnabled(false);
    } else {
        edit->clear();
        edit->setEnabled(true);
    }
    check->setFocus();
}

void CAdvanced::SetNetworkName() {
    auto* edit = Control<QLineEdit>(kNameEdit);
    const QString name = edit != nullptr ? edit->text() : QString();
    if (!IsValidNetworkName(name, TheAppSettings().LanguageNumber()) ||
        !SetPendingNetworkName(name)) {
        ShowMessage(kTextBadName, kMsgOk | kMsgIconError, window());
        return;
    }
    OpenResetDialog(NameScope());
}

void CAdvanced::OpenResetDialog(CreSetLocalDev::Mode mode) {
    CreSetLocalDev dialog(CreSetLocalDev::Caller::kAdvancedPage, mode, window());
    dialog.RunModal();
}

void CAdvanced::OpenUpgradeDialog() {
    CUpGrade dialog(window());
    dialog.RunModal();
}

}  // namespace ambrel
