#pragma once

// What the modal dialogs over the main window share: where they are
// dragged, where they are placed and their shape.

#include <QRect>
#include <vector>

class QImage;

namespace ambrel {

class DialogWindow;

// The areas by which the main window is dragged, its title and its body
// (UiState.h). The modal dialogs that open over the main window (About,
// add-device, reset, upgrade) are dragged by the same two areas of their own
// client area.
std::vector<QRect> MainWindowDragAreas();

// The top-left corner that centres a window of `size` on the screen's
// work area.
QPoint ScreenCentredOrigin(const QSize& size);

// Gives the dialog a rounded region of its size (corner ellipse 3 x 3) that
// also leaves out what `background` leaves transparent, so the rounded
// corners of the picture show as corners and not as dark patches.
void ShapeToPicture(DialogWindow& dialog, const QImage& background);

}  // namespace ambrel
