#pragma once
// The history folder's files, found anew at every reload: the folder and
// every folder below it that is neither hidden nor system, newest file first,
// and the cards made of them by the grouping in force.

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/history_file.h"
#include "common/text_codec.h"
#include "common/vb.h"
#include "viewer/file_list/file_list.h"
#include "viewer/cards/card_bar.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// Deeper than any folder a path can name; a link loop that gives new
// identities at every level still ends here.
inline constexpr int kMaxScanDepth = 64;

struct FoundHistory {
    std::string path;
    vb::DateTime lastWrite;  // local time, to the second
};

// Every file whose name ends in ".tvk" (any letter case) in `folder` and
// below, hidden files included, ordered by last-modified time, newest first;
// of equal times the later name first. No folder is listed twice, by its
// identity, so links that lead back up cannot make the walk go round.
std::vector<FoundHistory> scanHistoryFolder(FileSystem& files, const std::string& folder);

// The card a history belongs on under the grouping.
std::string cardKeyOf(const HistoryFileHeader& header, Grouping grouping);

// Reads a history's header; empty when it cannot be read (the file is then
// passed over by the cards and the list).
using HeaderReader = std::function<std::optional<HistoryFileHeader>(const std::string& path)>;
HeaderReader headerReader(FileSystem& files, const AnsiCodec& codec);
// What the file list reads of a history: its header, its headings and its length.
ListedHistoryReader listedHistoryReader(FileSystem& files, const AnsiCodec& codec);

// Fills the emptied bar: a card per key in the order of each key's newest
// file, each card receiving its files newest first. Reads nothing more once
// `stop` is asked for.
void makeCards(CardBar& bar, const std::vector<FoundHistory>& found, const HeaderReader& read, Grouping grouping,
               const std::stop_token& stop = {});

// What a reload reads, in cards of a bar of their own (drawn with
// `metrics`), which the window's bar then takes: the scan of `folder` and
// every header. Long work does it while the window shows the cards it has.
CardBar readHistoryFolder(FileSystem& files, const AnsiCodec& codec, const std::string& folder, Grouping grouping,
                          CardMetrics metrics, const std::stop_token& stop = {});

}  // namespace kq::viewer
