#pragma once

// The look of Corvix, the access-point scanner: every picture of its
// compiled-in resources, drawn with QPainter at the sizes its window is
// built from (Corvix/CorvixResourceIds.h), and the .qrc that rcc compiles
// into the program.
//
//   skingen --corvix --strings strings.txt --labels labels.txt
//           --templates dialogs.txt --out <directory>
//
//   skingen --corvix-icons <directory>   (corvix-<size>.png, desktop icons)

#include <QImage>
#include <QStringList>

namespace skingen {

// Runs the Corvix mode; `arguments` are the program's, "--corvix" first
// after the program name. Returns the exit code.
int RunCorvix(const QStringList& arguments);

// Corvix's icon at any size (window, tray and desktop icons).
QImage CorvixIcon(int size);

}  // namespace skingen
