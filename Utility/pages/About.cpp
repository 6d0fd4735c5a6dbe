#include "About.h"

#include <QMouseEvent>
#include <QPainter>

#include "ImageCache.h"
#include "Layout.h"
#include "ModalDialogs.h"
#include "OrvikStatic.h"
#include "ResourceIds.h"
#include "UiString.h"

namespace ambrel {
namespace {

constexpr int kPointSize = 1005;

struct Line {
    int controlId;
    int textId;
    int rectId;
};
constexpr Line kLines[] = {
    {1103, 10001, 10107},          {1104, 10000, 10101}, {1105, 10003, 10103}, {1106, 10005, 10105},
    {CAbout::kLink, 10006, 10106}, {1108, 10004, 10104}, {1109, 10002, 10102},
};
constexpr int kTitleLine = 1103;

}  // namespace

CAbout::CAbout(QWidget* parent) : DialogWindow(res::kDialogAbout, parent) {
    setMouseTracking(true);
}

CAbout::~CAbout() = default;

void CAbout::OnInitDialog() {
    AttachButtons(*this, res::kAboutButtons);

    const int points = ReadLayoutInt(kPointSize);
    for (const Line& line : kLines) {
        auto* label = Attach<COrvikStatic>(line.controlId);
        MoveToLayout(label, line.rectId);
        label->SetCaption(LoadUiString(line.textId));
        label->SetPointSize(points);
        if (line.controlId == kTitleLine)
            label->SetBold(true);
        if (line.controlId == kLink)
            label->SetLink(true).SetLinkCursorId(res::kCursorHand);
    }

    ShapeAsModalDialog(*this, res::kPngAboutBackground);
}

void CAbout::OnCommand(int id) {
    if (id == kOkButton)
        EndDialog(kIdOk);
}

void CAbout::PaintBackground(QPainter& painter) {
    painter.drawImage(QPoint(0, 0), LoadPngResource(res::kPngAboutBackground));
}

void CAbout::mouseMoveEvent(QMouseEvent* event) {
    // The pointer is over the dialog, not over the link: the link leaves its
    // hover look. (Moves over the link that it leaves unhandled reach the
    // dialog too; those keep the look.)
    auto* link = Control<COrvikStatic>(kLink);
    if (link != nullptr && link->GetLogFont().underline &&
        !link->geometry().contains(event->position().toPoint())) {
        link->SetUnderline(false).SetBold(false);
    }
    DialogWindow::mouseMoveEvent(event);
}

}  // namespace ambrel
