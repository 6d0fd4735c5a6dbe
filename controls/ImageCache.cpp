#include "ImageCache.h"

#include <list>
#include <optional>

#include "ResourceBundle.h"
#include "SystemMessage.h"

namespace ambrel {
namespace {

struct CacheEntry {
    QImage picture;
    int id;
    uint16_t languageId;
    QString type;
};

// The entries, most recent first; none when the cache does not exist.
std::optional<std::list<CacheEntry>>& Cache() {
    static std::optional<std::list<CacheEntry>> cache;
    return cache;
}

int g_decodeCount = 0;

std::optional<QImage> Decode(int id, const QString& type) {
    std::optional<QByteArray> data = FindResource(type, id);
    if (!data)
        return std::nullopt;
    QImage picture;
    if (!picture.loadFromData(*data) || picture.isNull())
        return std::nullopt;
    return picture;
}

}  // namespace

void CreateImageCache() {
    if (!Cache())
        Cache().emplace();
}

const QImage& LoadPngResource(int id, const QString& type) {
    CreateImageCache();
    uint16_t language = CurrentLanguageId();
    for (const CacheEntry& entry : *Cache()) {
        if (entry.languageId == language && entry.id == id && entry.type == type) {
            return entry.picture;
        }
    }
    std::optional<QImage> picture = Decode(id, type);
    if (!picture) {
        FatalExit(QString(), QStringLiteral("Image Resource Error:%1").arg(id), MessageIcon::Stop);
    }
    ++g_decodeCount;
    Cache()->push_front(CacheEntry{std::move(*picture), id, language, type});
    return Cache()->front().picture;
}

void ReleaseImageCache() {
    Cache().reset();
    UnloadResourceBundle();
}

std::unique_ptr<QImage> LoadImageResource(int id, const QString& type) {
    std::optional<QImage> picture = Decode(id, type);
    if (!picture) {
        QString format = FindString(145).value_or(QStringLiteral("Image Resource Error:%d"));
        FatalExit(QString(), FormatWithId(format, id), MessageIcon::None);
    }
    return std::make_unique<QImage>(std::move(*picture));
}

int ImageCacheDecodeCount() {
    return g_decodeCount;
}
bool ImageCacheExists() {
    return Cache().has_value();
}

}  // namespace ambrel
