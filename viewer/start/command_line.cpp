#include "viewer/start/command_line.h"

#include <optional>

#include "common/vb.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(prefix[i])) return false;
    }
    return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

struct Item {
    std::string key;  // upper case
    std::string value;
};

// Visits the items that have an "=": the key is the text before the first
// "=", the value everything after it (a folder may hold "=").
template <class Visit>
void forEachItem(std::string_view arguments, Visit visit) {
    const std::string line = withoutQuotes(arguments);
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        const std::string_view item(line.data() + start, end - start);
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos) {
            Item parsed;
            for (char c : item.substr(0, equals)) parsed.key += upperAscii(c);
            parsed.value = std::string(item.substr(equals + 1));
            visit(parsed);
        }
        start = end + 1;
    }
}

// How the history files will hold the text: through the code page and back.
std::string asStored(const std::string& text, const AnsiCodec& codec) { return codec.fromAnsi(codec.toAnsi(text)); }

std::string sheetIdOf(const std::string& showId) { return showId.substr(0, showId.find('_')); }

}  // namespace

std::string withoutQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '"') out += c;
    }
    return out;
}

std::string_view argumentsOf(std::string_view commandLine, std::string_view programPath) {
    std::size_t at = 0;
    while (at < commandLine.size() && isBlank(commandLine[at])) ++at;
    std::string_view rest = commandLine.substr(at);
    if (rest.starts_with('"')) {
        const std::size_t close = rest.find('"', 1);
        rest = close == std::string_view::npos ? std::string_view{} : rest.substr(close + 1);
    } else if (startsWithIgnoringCase(rest, programPath) &&
               (rest.size() == programPath.size() || isBlank(rest[programPath.size()]))) {
        rest = rest.substr(programPath.size());
    } else {
        std::size_t end = 0;
        while (end < rest.size() && !isBlank(rest[end])) ++end;
        rest = rest.substr(end);
    }
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    return rest;
}

void readStartValues(std::string_view arguments, StartValues& values, const std::function<Grouping()>& grouping,
                     const AnsiCodec& codec) {
    forEachItem(arguments, [&](const Item& item) {
        if (item.key == texts::kKeyParentHwnd) {
            // Out of the 32-bit range leaves the value as it was.
            if (const std::optional<std::int32_t> hwnd = vb::CLng(vb::Val(item.value))) values.gParentHwnd = *hwnd;
        } else if (item.key == texts::kKeyParentWindowMaximized) {
            values.gParentWindowMaximized = vb::Val(item.value) == 1;
        } else if (item.key == texts::kKeySaveFolder) {
            values.gSaveFolder = item.value;
        } else if (item.key == texts::kKeyShowId) {
            switch (grouping()) {
                case Grouping::all: values.gShowCardKey.clear(); break;
                case Grouping::sheet:
                    if (!item.value.empty()) values.gShowCardKey = asStored(sheetIdOf(item.value), codec);
                    break;
                case Grouping::version: values.gShowCardKey = asStored(item.value, codec); break;
                case Grouping::category: break;
            }
        } else if (item.key == texts::kKeyShowCategory) {
            if (grouping() == Grouping::category) {
                values.gShowCardKey = item.value.empty()
                                          ? std::string{}
                                          : std::string(texts::kCategoryKeyPrefix) + asStored(item.value, codec);
            }
        }
    });
}

ShowRequest readShowRequest(std::string_view arguments) {
    ShowRequest request;
    forEachItem(arguments, [&](const Item& item) {
        if (item.key == texts::kKeyShowId) request.showId = item.value;
        if (item.key == texts::kKeyShowCategory) request.showCategory = item.value;
    });
    return request;
}

std::string requestedCardKey(const ShowRequest& request, Grouping grouping, const AnsiCodec& codec) {
    switch (grouping) {
        case Grouping::all: return {};
        case Grouping::sheet: return asStored(sheetIdOf(request.showId), codec);
        case Grouping::version: return asStored(request.showId, codec);
        case Grouping::category:
            if (request.showCategory.empty()) return {};
            return std::string(texts::kCategoryKeyPrefix) + asStored(request.showCategory, codec);
    }
    return {};
}

}  // namespace kq::viewer
