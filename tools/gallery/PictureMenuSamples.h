#pragma once

// The animated picture and the owner-drawn menu in the gallery: the busy
// animation (GIF 212) playing, and the tray menu (menu 234, with the texts
// the programs give it) held open, its first item selected and drawn bold.
// The language bundle must be loaded.

#include <QPoint>
#include <QRect>

class QWidget;

namespace ambrel::gallery {

// Places both on `parent` from `topLeft` (the animation, then the menu to
// its right, tops aligned) and returns the area they take.
QRect AddPictureMenuSamples(QWidget* parent, const QPoint& topLeft);

}  // namespace ambrel::gallery
