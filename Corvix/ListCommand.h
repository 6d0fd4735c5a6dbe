#pragma once

// "corvix --list [--json] [--interface NAME]...": one scan without a window,
// the devices found printed to standard output, one per line (name, model,
// IP address, MAC address, separated by tabs, in the window's formats) or as
// a JSON array. --interface (repeatable) scans the named interfaces instead
// of the physical ones; without it CORVIX_INTERFACES is honoured as by the
// window. The scan's diagnostic lines go to standard error, so that the
// list stays readable by scripts.

#include <QStringList>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace corvix {

struct ListOptions {
    bool json = false;
    std::optional<std::vector<std::string>> interfaces;  // --interface, in order
};

// The options of a --list command line (the program name first); nullopt
// when `arguments` is no list command. `error` receives the reason when the
// command line is a list command but malformed.
std::optional<ListOptions> ParseListCommand(const QStringList& arguments, QString& error);

// The devices of the list records, as the command prints them.
QByteArray FormatDeviceList(bool json);

// Runs the command: 0 after printing the list, 2 for a malformed command line.
int RunListCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

}  // namespace corvix
