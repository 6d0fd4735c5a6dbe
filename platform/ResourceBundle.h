#pragma once

// The source of every text, template, picture, icon, cursor and menu of the
// program. Ambrel loads a language bundle "<languageId>.rcc" (a Qt binary
// resource file, docs/bundle-format.md); while it is loaded it is the only
// source, and without it nothing is found. A program that compiles its
// resources in (Corvix) names their root instead.
//
// User-interface thread only.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "BundleFormat.h"

namespace ambrel {

// Where bundles are looked for, in order: the current directory, the
// directory of the executable, the installed data directory.
QStringList BundleSearchDirectories();
// The first existing file of that name in those directories; empty if none.
QString LocateBundle(const QString& fileName);

// Registers the bundle and makes it the source, replacing (and unloading) the
// previous one. A file that cannot be registered or is no language bundle
// changes nothing and returns false.
bool LoadResourceBundle(const QString& filePath, uint16_t languageId);
// Unregisters the loaded bundle; harmless when none is loaded.
void UnloadResourceBundle();
bool ResourceBundleLoaded();

// Uses resources already compiled into the program, below `root` (":/corvix").
void UseBuiltInResources(const QString& root, uint16_t languageId);

// Language number of the current source (0 for none and for built-in ones).
uint16_t CurrentLanguageId();

// Raw data of resource (type, id), e.g. ("PNG", 130), ("ORVIKGIF", 212).
std::optional<QByteArray> FindResource(const QString& type, int id);
std::optional<QString> FindString(int id);
const bundle::DialogTemplate* FindDialog(int id);
const bundle::MenuTemplate* FindMenu(int id);

}  // namespace ambrel
