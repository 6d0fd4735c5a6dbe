#include "LanguageLibrary.h"

#include <cstdint>

#include "ResourceBundle.h"
#include "SystemMessage.h"

namespace ambrel {

QString LanguageBundleName(int langId) {
    return QStringLiteral("%1.rcc").arg(static_cast<uint16_t>(langId));
}

bool LoadLanguageLibrary(int langId) {
    uint16_t number = static_cast<uint16_t>(langId);
    if (number == 0) {
        FatalExit(QString(), QString::fromLatin1(kNoResourcesMessage), MessageIcon::Error);
    }
    QString path = LocateBundle(LanguageBundleName(number));
    if (path.isEmpty())
        return false;
    return LoadResourceBundle(path, number);
}

}  // namespace ambrel
