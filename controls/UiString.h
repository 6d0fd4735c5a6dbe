#pragma once

#include <QString>

namespace ambrel {

// String `id` of the resource source. Missing or empty is fatal: the message
// of string 152 with the id under the caption of string 151 (fixed English
// texts when those are missing too), then exit code 1. With `pad`, one space
// is appended per character of the text.
QString LoadUiString(int id, bool pad = false);

}  // namespace ambrel
