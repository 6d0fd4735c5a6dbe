#include "UiString.h"

#include "ResourceBundle.h"
#include "SystemMessage.h"

namespace ambrel {
namespace {

constexpr int kCaptionId = 151;
constexpr int kFormatId = 152;

QString NonEmpty(int id) {
    std::optional<QString> text = FindString(id);
    return text ? *text : QString();
}

}  // namespace

QString LoadUiString(int id, bool pad) {
    QString text = NonEmpty(id);
    if (text.isEmpty()) {
        QString caption = NonEmpty(kCaptionId);
        QString format = NonEmpty(kFormatId);
        if (caption.isEmpty())
            caption = QStringLiteral("Error");
        if (format.isEmpty())
            format = QStringLiteral("Load String (%d) Failed!");
        FatalExit(caption, FormatWithId(format, id), MessageIcon::Error);
    }
    if (pad)
        text += QString(text.size(), QLatin1Char(' '));
    return text;
}

}  // namespace ambrel
