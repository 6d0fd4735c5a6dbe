#pragma once

// The plain system message box of the fatal paths (start-up, missing
// pictures or texts). Tests replace it so that no person is needed; the
// fatal paths then still end the process with exit code 1.

#include <QString>
#include <functional>

namespace ambrel {

enum class MessageIcon { None, Error, Stop };

using SystemMessageHandler =
    std::function<void(const QString& caption, const QString& text, MessageIcon icon)>;

// Shows the message and returns when the user has closed it.
void ShowSystemMessage(const QString& caption, const QString& text, MessageIcon icon);

// Shows the message, then ends the process with exit code 1.
[[noreturn]] void FatalExit(const QString& caption, const QString& text, MessageIcon icon);

// Replaces the message box (null restores it). The handler of a test may
// record the message, or write it where the test can read it.
void SetSystemMessageHandler(SystemMessageHandler handler);

// "%d" in a text of the bundle, replaced by a number without going through a
// printf-style formatter (the text comes from a file). Only the first "%d"
// is replaced; a text without one gets the number appended after a space.
QString FormatWithId(const QString& format, int id);

}  // namespace ambrel
