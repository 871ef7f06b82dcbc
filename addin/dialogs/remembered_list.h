#pragma once
// The texts a box remembers for its user: one list per value name in section
// "LIST" of the settings store, the entries joined by TAB, oldest first. Every
// control that uses the same value name offers the same list, read afresh each
// time, so an entry one control remembers is offered by all of them at once.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings_store.h"

namespace kq::addin::dialogs {

inline constexpr std::string_view kListSection = "LIST";
// The value name of a box that was given none.
inline constexpr std::string_view kNoListName = "NOTITLE";
// A menu holds ids 101 to 998 for entries.
inline constexpr std::size_t kMenuEntryLimit = 898;

// The text without TAB, CR and LF: a TAB would split it into two entries, and
// line breaks have no place in a one-line box or a menu.
std::string withoutBreaks(std::string_view text);
// Without leading and trailing half-width spaces.
std::string trimSpaces(std::string_view text);

class RememberedList {
public:
    // An empty name is the list of boxes that were given none.
    RememberedList(SettingsStore& store, std::string_view name);

    const std::string& name() const { return name_; }
    // The stored value; "" when there is none.
    std::string stored() const;

    // What a drop-down menu offers: every entry that is not "", as stored, the
    // newest kMenuEntryLimit of them when there are more.
    std::vector<std::string> menuEntries() const;
    // What the list editor shows: the entries trimmed, without those left empty
    // and without repeats, in stored order.
    std::vector<std::string> editorEntries() const;

    // Appends the text (its TAB, CR and LF removed) unless it is "" or an
    // entry equal to it, exactly, is stored already.
    void append(std::string_view text);
    // Stores the rows as the whole list: trimmed, without breaks, empty rows
    // and repeats dropped, in order.
    void rewrite(const std::vector<std::string>& rows);

private:
    SettingsStore& store_;
    std::string name_;
};

}  // namespace kq::addin::dialogs
