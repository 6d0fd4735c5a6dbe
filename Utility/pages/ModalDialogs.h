#pragma once

// What the modal dialogs over the main window share: their skinned buttons,
// where they are dragged, where they are placed and their shape.

#include <QRect>
#include <span>
#include <vector>

#include "ResourceIds.h"

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

// Puts a skinned button in the place of each control of `skins`, with its
// four pictures, the hand cursor and the rectangle of its layout string.
void AttachButtons(DialogWindow& dialog, std::span<const res::ButtonSkin> skins);

// Makes the dialog a modal dialog over the main window drawn on picture
// `backgroundId`: the picture's size, centred on the screen, shaped to the
// picture (ShapeToPicture) and dragged by the main window's areas
// (MainWindowDragAreas).
void ShapeAsModalDialog(DialogWindow& dialog, int backgroundId);

}  // namespace ambrel
