#pragma once

// The two text files inside a language bundle (docs/bundle-format.md):
// the string table and the dialog and menu templates. Plain parsers, shared
// by the bundle builder (which refuses any error) and the program (which
// skips bad lines).

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel::bundle {

struct StringTable {
    std::map<int, std::string> strings;  // id -> UTF-8 text
    std::vector<std::string> errors;     // "line N: what"
};

// "id=text" lines; '#' starts a comment line; blank lines are skipped. The
// text is everything after the first '=', with \n, \t and \\ unescaped.
// A later file may override ids of an earlier one (MergeInto).
StringTable ParseStringTable(std::string_view text);
void MergeInto(StringTable& base, const StringTable& overrides);
std::string EscapeString(std::string_view text);

struct ControlTemplate {
    int id = 0;
    std::string kind;  // static, button, edit, check, radio, combo, ...
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::string> styles;  // flags, e.g. hidden, disabled, password
    int textId = 0;                   // string id of the initial text, 0 for none

    bool HasStyle(std::string_view style) const;
};

struct DialogTemplate {
    int id = 0;
    int width = 0, height = 0;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* Find(int controlId) const;
};

struct MenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    int commandId = 0;
    int textId = 0;
    std::vector<MenuItem> children;  // of a popup
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItem> items;
};

struct Templates {
    std::map<int, DialogTemplate> dialogs;
    std::map<int, MenuTemplate> menus;
    std::vector<std::string> errors;
};

// Control kinds and style flags that templates may use.
bool IsKnownControlKind(std::string_view kind);
bool IsKnownStyle(std::string_view style);

Templates ParseTemplates(std::string_view text);

}  // namespace ambrel::bundle
