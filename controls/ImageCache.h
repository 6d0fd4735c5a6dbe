#pragma once

// Pictures of the resource source, decoded once and kept for the life of the
// main window, per (id, language number, type). The most recent picture is
// found first. Pictures handed out stay owned by the cache.
//
// User-interface thread only.

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

namespace ambrel {

// Creates the (empty) cache; start-up does this once the language bundle is
// loaded. Loading a picture without it creates it.
void CreateImageCache();

// The cached picture; loads and caches it on first use. A picture that is
// missing or cannot be decoded is fatal: "Image Resource Error:<id>" with
// the stop icon, then exit code 1.
const QImage& LoadPngResource(int id, const QString& type = QStringLiteral("PNG"));

// Destroys every picture and the cache, and unloads the language bundle.
// A second call finds nothing to do.
void ReleaseImageCache();

// One picture by id and type, uncached and owned by the caller (the button's
// image loading by id). Missing or undecodable: the message of string 145
// with the id, then exit code 1.
std::unique_ptr<QImage> LoadImageResource(int id, const QString& type = QStringLiteral("PNG"));

// Number of pictures decoded by LoadPngResource so far (tests).
int ImageCacheDecodeCount();
bool ImageCacheExists();

}  // namespace ambrel
