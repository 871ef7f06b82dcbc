#include "addin/dialogs/remembered_list.h"

#include <algorithm>

namespace kq::addin::dialogs {

namespace {

std::vector<std::string> splitAtTabs(std::string_view text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find('\t', start);
        items.emplace_back(text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return items;
        start = tab + 1;
    }
}

bool contains(const std::vector<std::string>& items, std::string_view text) {
    return std::find(items.begin(), items.end(), text) != items.end();
}

// Trimmed, non-empty, each once, in order.
std::vector<std::string> cleaned(const std::vector<std::string>& rows) {
    std::vector<std::string> kept;
    for (const std::string& row : rows) {
        std::string entry = trimSpaces(withoutBreaks(row));
        if (!entry.empty() && !contains(kept, entry)) kept.push_back(std::move(entry));
    }
    return kept;
}

}  // namespace

std::string withoutBreaks(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (c != '\t' && c != '\r' && c != '\n') kept += c;
    }
    return kept;
}

std::string trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

RememberedList::RememberedList(SettingsStore& store, std::string_view name)
    : store_(store), name_(name.empty() ? std::string(kNoListName) : std::string(name)) {}

std::string RememberedList::stored() const { return store_.read(kListSection, name_).value_or(std::string()); }

std::vector<std::string> RememberedList::menuEntries() const {
    std::vector<std::string> entries;
    for (std::string& item : splitAtTabs(stored())) {
        if (!item.empty()) entries.push_back(std::move(item));
    }
    // The newest are the ones the user is most likely to want again.
    if (entries.size() > kMenuEntryLimit) entries.erase(entries.begin(), entries.end() - kMenuEntryLimit);
    return entries;
}

std::vector<std::string> RememberedList::editorEntries() const { return cleaned(splitAtTabs(stored())); }

void RememberedList::append(std::string_view text) {
    const std::string entry = withoutBreaks(text);
    if (entry.empty()) return;
    const std::string old = stored();
    if (contains(splitAtTabs(old), entry)) return;
    store_.write(kListSection, name_, old.empty() ? entry : old + '\t' + entry);
}

void RememberedList::rewrite(const std::vector<std::string>& rows) {
    std::string value;
    for (const std::string& entry : cleaned(rows)) {
        if (!value.empty()) value += '\t';
        value += entry;
    }
    store_.write(kListSection, name_, value);
}

}  // namespace kq::addin::dialogs
