#pragma once

#include <QCursor>
#include <optional>

namespace ambrel {

// Cursor `id` of the resource source (type "CURSOR": a PNG whose text entry
// "hotspot" holds "x,y"); nothing when it is missing or undecodable. A hot
// spot that is missing or outside the picture becomes the top-left corner.
std::optional<QCursor> LoadCursorResource(int id);

}  // namespace ambrel
