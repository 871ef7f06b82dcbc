#pragma once
// What the properties of a history and of a card list: the rows, worked out
// from what is read of the files, for the property window to show.

#include <cstdint>
#include <optional>
#include <string>

#include "common/file_system.h"
#include "common/text_codec.h"
#include "viewer/file_list/file_list.h"
#include "viewer/cards/history_scan.h"
#include "viewer/cards/card.h"
#include "viewer/properties/property_rows.h"

namespace kq::viewer {

// What was read of a history for its properties. A file that cannot be
// opened or read still has its rows: empty texts, zero numbers, no date.
struct HistoryProperties {
    ListedHistory history;
    bool headerRead = false;
};

// Reads the header, the user headings and the length of the history at
// `path`; empty when there is no file of that path (the caller beeps). A file
// hidden or marked system is read as any other: the list shows such files.
std::optional<HistoryProperties> readHistoryProperties(FileSystem& files, const AnsiCodec& codec,
                                                       const std::string& path);

// The rows of a history's properties, the ids taken from its file name.
PropertyRows historyPropertyRows(const std::string& path, const HistoryProperties& properties);

// The rows of a card's properties: its file count, how many of the histories
// read hold errors, and the first and last print among them ("-" when none
// could be read).
PropertyRows cardPropertyRows(const Card& card, const HeaderReader& read);

// Display names and texts of stored page-setup values.
std::string GetPaperSizeName(std::int32_t code);
// Points as centimetres with one decimal, "2.5cm".
std::string marginText(double points);

}  // namespace kq::viewer
