#pragma once
// The search as the main window holds it: the filter strip's box and button
// drive the search box's rules, and a search changed lists the histories
// anew, "検索中" shown in the list until they are.

#include <string>

#include "common/file_system.h"
#include "common/signal.h"
#include "common/text_codec.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/toolbar_window.h"
#include "viewer/search/search_query.h"

namespace kq::viewer::win32 {

class SearchBar {
public:
    SearchBar();

    const SearchBox& box() const { return box_; }
    // The filter in force, for the browser's lists.
    SearchFilter filter(FileSystem& files, const AnsiCodec& codec) const { return box_.filter(files, codec); }
    // From now on the strip's acts change the search the browser lists by.
    void bind(FilterStrip& strip, HistoryBrowser& browser);

private:
    void acted(FilterAction action);

    SearchBox box_;
    FilterStrip* strip_ = nullptr;
    HistoryBrowser* browser_ = nullptr;
    Connection onActed_;
};

}  // namespace kq::viewer::win32
