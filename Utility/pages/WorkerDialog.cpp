#include "WorkerDialog.h"

#include <QFontMetrics>
#include <QPainter>
#include <thread>

#include "Fonts.h"
#include "ImageCache.h"
#include "ModalDialogs.h"
#include "OrvikButton.h"
#include "OrvikStatic.h"
#include "ResourceIds.h"
#include "UiString.h"

namespace ambrel {
namespace {

// The outcome forms: the close button takes the message box's left button
// place moved to the right; the picture sits at a fixed place, the text
// beside it.
constexpr int kRectCompactClose = 1016;
constexpr int kCompactCloseShift = 50;
constexpr QPoint kResultImagePlace(35, 71);
constexpr int kResultTextLeft = 85;
constexpr int kResultTextRightMargin = 17;

}  // namespace

CWorkerDialog::CWorkerDialog(int templateId, int backgroundId, QWidget* parent)
    : DialogWindow(templateId, parent), backgroundId_(backgroundId) {}

CWorkerDialog::~CWorkerDialog() = default;

void CWorkerDialog::CloseUnlessWorking(int result) {
    // The worker reports to this dialog: it stays open until the report has
    // been handled.
    if (IsWorkerRunning())
        return;
    EndDialog(result);
}

void CWorkerDialog::StartWorkerThread(void (*routine)(WindowHandle)) {
    auto* window = static_cast<WindowHandle>(static_cast<QWidget*>(this));
    std::thread(routine, window).detach();
}

void CWorkerDialog::ShowOutcomeForm(bool succeeded, COrvikButton* close, COrvikStatic* text,
                                    int textId, QRect (*placeText)(int width, int h)) {
    compact_ = true;
    resultImage_ = succeeded ? res::kPngInformation : res::kPngError;
    const QImage& outline = LoadPngResource(res::kPngMessageBoxBackground);
    resize(kCompactWidth, kCompactHeight);
    move(ScreenCentredOrigin(outline.size()));
    ShapeToPicture(*this, outline);
    if (close != nullptr) {
        close->setGeometry(
            LayoutQRect(kRectCompactClose, close->geometry()).translated(kCompactCloseShift, 0));
    }
    if (text != nullptr) {
        const QString caption = LoadUiString(textId);
        text->SetCaption(caption);
        // Measured in the width it is drawn in, with its own font, and kept
        // inside the compact form.
        const int width = kCompactWidth - kResultTextLeft - kResultTextRightMargin;
        const QFontMetrics metrics(text->GetLogFont().ToQFont());
        const int h = metrics
                          .boundingRect(QRect(0, 0, width, 1 << 20),
                                        Qt::TextWordWrap | Qt::AlignLeft, caption)
                          .height();
        text->setGeometry(placeText(width, h));
    }
    InvalidateBackground();
}

void CWorkerDialog::SetButton(COrvikButton* button, bool visible, bool enabled) {
    if (button != nullptr) {
        button->setVisible(visible);
        button->setEnabled(enabled);
    }
}

void CWorkerDialog::SetControlsVisible(std::span<const int> ids, bool visible) {
    for (int id : ids) {
        if (QWidget* control = FindControl(id))
            control->setVisible(visible);
    }
}

void CWorkerDialog::PaintBackground(QPainter& painter) {
    if (!compact_) {
        painter.drawImage(QPoint(0, 0), LoadPngResource(backgroundId_));
        return;
    }
    painter.drawImage(rect(), LoadPngResource(res::kPngMessageBoxBackground));
    painter.drawImage(kResultImagePlace, LoadPngResource(resultImage_));
}

}  // namespace ambrel
