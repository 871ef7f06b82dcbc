#pragma once
// The viewer's command line: the items the add-in writes after the program's
// path (key "=" value, TAB between items), read into the values the whole run
// uses, and the card a handed-over line asks for.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/text_codec.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// What the start-up reads from the command line for the main window.
struct StartValues {
    // The spreadsheet's main window, 0 for none. The 64-bit build widens it to a
    // handle by sign extension, as the add-in wrote a 32-bit signed number.
    std::int32_t gParentHwnd = 0;
    bool gParentWindowMaximized = false;
    // "" means the folder of the settings store.
    std::string gSaveFolder;
    // The card to select at the first reload, "" for none.
    std::string gShowCardKey;

    friend bool operator==(const StartValues&, const StartValues&) = default;
};

// The text after the program's path in the process's command line (UTF-8):
// a quoted path is skipped to its closing quote; an unquoted one is skipped as
// the running program's own path when the line starts with it (even with
// blanks inside), else to the first blank. Blanks before the first item go too.
std::string_view argumentsOf(std::string_view commandLine, std::string_view programPath);

// The arguments without any double quote, wherever it stands: the line as
// every reader sees it, and as a later start hands it over.
std::string withoutQuotes(std::string_view text);

// Reads the arguments (every double quote removed first) into `values`. The
// grouping is asked only for a ShowId or ShowCategory item, since asking it
// loads the view settings. Ids and categories are taken as they read after
// the code page's conversion, as the history files store them, so a name the
// code page cannot hold still finds its card. Bad items change nothing.
void readStartValues(std::string_view arguments, StartValues& values, const std::function<Grouping()>& grouping,
                     const AnsiCodec& codec);

// The ShowId and ShowCategory of a line that a second start handed over.
struct ShowRequest {
    std::string showId;
    std::string showCategory;
};
ShowRequest readShowRequest(std::string_view arguments);

// The card such a request asks for under the grouping in force: "" for none.
std::string requestedCardKey(const ShowRequest& request, Grouping grouping, const AnsiCodec& codec);

}  // namespace kq::viewer
