#include "BundleFormat.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "TextNumbers.h"

namespace ambrel::bundle {
namespace {

constexpr std::array<std::string_view, 10> kControlKinds = {
    "static", "button", "edit", "check", "radio", "combo", "scrollbar", "picture", "frame", "page"};
constexpr std::array<std::string_view, 12> kStyles = {"hidden", "disabled", "password", "center",
                                                      "right",  "nowrap",   "bold",     "link",
                                                      "group",  "readonly", "title",    "number"};

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t newline = text.find('\n', pos);
        std::string_view line = text.substr(
            pos, newline == std::string_view::npos ? std::string_view::npos : newline - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (newline == std::string_view::npos)
            break;
        pos = newline + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t')
            ++pos;
        if (pos > start)
            words.push_back(line.substr(start, pos - start));
    }
    return words;
}

// A whole word that is a decimal number (no sign unless allowed).
std::optional<int> Number(std::string_view word, bool allowNegative = false) {
    size_t used = 0;
    std::optional<int> value = ParseLeadingInt(word, &used);
    if (!value || used != word.size() || word.front() == '+' || word.front() == ' ') {
        return std::nullopt;
    }
    if (!allowNegative && *value < 0)
        return std::nullopt;
    return value;
}

std::string LineError(size_t index, std::string_view what) {
    std::ostringstream out;
    out << "line " << index + 1 << ": " << what;
    return out.str();
}

}  // namespace

StringTable ParseStringTable(std::string_view text) {
    StringTable table;
    std::vector<std::string_view> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        size_t equals = line.find('=');
        std::optional<int> id;
        if (equals != std::string_view::npos)
            id = Number(Trim(line.substr(0, equals)));
        if (!id) {
            table.errors.push_back(LineError(i, "expected id=text"));
            continue;
        }
        std::string value;
        std::string_view raw = line.substr(equals + 1);
        bool bad = false;
        for (size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] != '\\') {
                value.push_back(raw[k]);
                continue;
            }
            char next = k + 1 < raw.size() ? raw[k + 1] : '\0';
            if (next == 'n') {
                value.push_back('\n');
            } else if (next == 't') {
                value.push_back('\t');
            } else if (next == '\\') {
                value.push_back('\\');
            } else {
                bad = true;
                break;
            }
            ++k;
        }
        if (bad) {
            table.errors.push_back(LineError(i, "unknown escape"));
            continue;
        }
        if (table.strings.count(*id) != 0) {
            table.errors.push_back(LineError(i, "duplicate id " + std::to_string(*id)));
            continue;
        }
        table.strings[*id] = std::move(value);
    }
    return table;
}

void MergeInto(StringTable& base, const StringTable& overrides) {
    for (const auto& [id, text] : overrides.strings)
        base.strings[id] = text;
    base.errors.insert(base.errors.end(), overrides.errors.begin(), overrides.errors.end());
}

std::string EscapeString(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

bool ControlTemplate::HasStyle(std::string_view style) const {
    return std::find(styles.begin(), styles.end(), style) != styles.end();
}

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId)
            return &control;
    }
    return nullptr;
}

bool IsKnownControlKind(std::string_view kind) {
    return std::find(kControlKinds.begin(), kControlKinds.end(), kind) != kControlKinds.end();
}

bool IsKnownStyle(std::string_view style) {
    return std::find(kStyles.begin(), kStyles.end(), style) != kStyles.end();
}

Templates ParseTemplates(std::string_view text) {
    Templates result;
    std::vector<std::string_view> lines = SplitLines(text);
    DialogTemplate* dialog = nullptr;
    MenuTemplate* menu = nullptr;
    std::vector<std::vector<MenuItem>*> menuStack;  // innermost popup last

    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view trimmed = Trim(lines[i]);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        std::vector<std::string_view> words = Words(trimmed);
        auto error = [&](std::string_view what) { result.errors.push_back(LineError(i, what)); };

        if (words[0] == "dialog") {
            std::optional<int> id, width, height;
            if (words.size() == 4) {
                id = Number(words[1]);
                width = Number(words[2]);
                height = Number(words[3]);
            }
            if (!id || !width || !height) {
                error("expected: dialog <id> <width> <height>");
                dialog = nullptr;
                menu = nullptr;
                continue;
            }
            if (result.dialogs.count(*id) != 0 || result.menus.count(*id) != 0) {
                error("duplicate template " + std::to_string(*id));
                dialog = nullptr;
                menu = nullptr;
                continue;
            }
            dialog = &result.dialogs[*id];
            dialog->id = *id;
            dialog->width = *width;
            dialog->height = *height;
            menu = nullptr;
            menuStack.clear();
            continue;
        }
        if (words[0] == "menu") {
            std::optional<int> id;
            if (words.size() == 2)
                id = Number(words[1]);
            if (!id || result.menus.count(*id) != 0 || result.dialogs.count(*id) != 0) {
                error("expected: menu <id> (new id)");
                dialog = nullptr;
                menu = nullptr;
                continue;
            }
            menu = &result.menus[*id];
            menu->id = *id;
            menuStack = {&menu->items};
            dialog = nullptr;
            continue;
        }
        if (menu != nullptr) {
            std::vector<MenuItem>& items = *menuStack.back();
            if (words[0] == "item" && words.size() == 3 && Number(words[1]) && Number(words[2])) {
                items.push_back(
                    {MenuItem::Kind::Command, *Number(words[1]), *Number(words[2]), {}});
            } else if (words[0] == "separator" && words.size() == 1) {
                items.push_back({MenuItem::Kind::Separator, 0, 0, {}});
            } else if (words[0] == "popup" && words.size() == 2 && Number(words[1])) {
                items.push_back({MenuItem::Kind::Popup, 0, *Number(words[1]), {}});
                menuStack.push_back(&items.back().children);
            } else if (words[0] == "end" && words.size() == 1 && menuStack.size() > 1) {
                menuStack.pop_back();
            } else {
                error("expected: item <command> <text>, separator, popup <text> or end");
            }
            continue;
        }
        if (dialog != nullptr) {
            // <id> <kind> <x> <y> <width> <height> <styles> <text id>
            if (words.size() != 8) {
                error("expected: <id> <kind> <x> <y> <width> <height> <styles> <text id>");
                continue;
            }
            ControlTemplate control;
            std::optional<int> id = Number(words[0]);
            std::optional<int> x = Number(words[2], true), y = Number(words[3], true);
            std::optional<int> width = Number(words[4]), height = Number(words[5]);
            std::optional<int> textId = Number(words[7]);
            if (!id || !x || !y || !width || !height || !textId) {
                error("bad number");
                continue;
            }
            if (!IsKnownControlKind(words[1])) {
                error("unknown control kind");
                continue;
            }
            if (dialog->Find(*id) != nullptr) {
                error("duplicate control " + std::to_string(*id));
                continue;
            }
            bool badStyle = false;
            if (words[6] != "-") {
                std::string_view styles = words[6];
                while (!styles.empty()) {
                    size_t bar = styles.find('|');
                    std::string_view style = styles.substr(0, bar);
                    if (!IsKnownStyle(style))
                        badStyle = true;
                    control.styles.emplace_back(style);
                    if (bar == std::string_view::npos)
                        break;
                    styles.remove_prefix(bar + 1);
                }
            }
            if (badStyle) {
                error("unknown style");
                continue;
            }
            control.id = *id;
            control.kind = std::string(words[1]);
            control.x = *x;
            control.y = *y;
            control.width = *width;
            control.height = *height;
            control.textId = *textId;
            dialog->controls.push_back(std::move(control));
            continue;
        }
        error("line outside a dialog or menu");
    }
    if (menuStack.size() > 1)
        result.errors.push_back("unterminated popup at the end");
    return result;
}

}  // namespace ambrel::bundle
