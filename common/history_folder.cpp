#include "common/history_folder.h"

#include <string_view>

#include "common/setting_names.h"
#include "common/texts.h"

namespace kq {

namespace {

constexpr unsigned kErrorStyle = mb::kOkOnly | mb::kIconCritical;

bool removeTrailingSeparator(std::string& path) {
    if (!path.ends_with('\\')) return false;
    path.pop_back();
    return true;
}

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "C:\..."; also "C:" alone, which is how a drive root stays once SaveFolder
// has taken its trailing "\" away.
bool startsWithDrive(std::string_view text) {
    return text.size() >= 2 && isAsciiLetter(text[0]) && text[1] == ':' && (text.size() == 2 || text[2] == '\\');
}

// "\\server\share", maybe with folders below.
bool startsWithShare(std::string_view text) {
    if (!text.starts_with("\\\\")) return false;
    const std::size_t serverEnd = text.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return false;
    const std::size_t shareEnd = text.find('\\', serverEnd + 1);
    return (shareEnd == std::string_view::npos ? text.size() : shareEnd) > serverEnd + 1;
}

// "%NAME%" within one level of the path.
bool holdsVariable(std::string_view text) {
    for (std::size_t open = text.find('%'); open != std::string_view::npos; open = text.find('%', open + 1)) {
        const std::size_t close = text.find_first_of("%\\", open + 1);
        if (close != std::string_view::npos && text[close] == '%' && close > open + 1) return true;
    }
    return false;
}

}  // namespace

bool isUsableFolderText(std::string_view text) {
    return (startsWithDrive(text) || startsWithShare(text)) && !holdsVariable(text);
}

std::optional<FolderPath> FolderPath::parse(std::string_view text) {
    std::string path(text);
    removeTrailingSeparator(path);
    if (!isUsableFolderText(path)) return std::nullopt;
    return FolderPath(std::move(path));
}

std::string FolderPath::inside(std::string_view name) const {
    std::string path = text_;
    path += '\\';
    path += name;
    return path;
}

namespace {

std::optional<std::string> storedFolderText(SettingsStore& store) {
    return store.read(setting_names::kSection, setting_names::kFolder);
}

}  // namespace

std::optional<FolderPath> readStoredHistoryFolder(SettingsStore& store) {
    const std::optional<std::string> stored = storedFolderText(store);
    return stored ? FolderPath::parse(*stored) : std::nullopt;
}

void HistoryFolder::load(SettingsStore& store, DefaultFolderLookup lookup) {
    // The add-in works the default out whatever is stored, and says so when it cannot.
    const std::string defaultFolder = lookup == DefaultFolderLookup::always ? GetDefaultFolder() : std::string();
    if (const std::optional<std::string> stored = storedFolderText(store); stored && FolderPath::parse(*stored)) {
        load(*stored);
    } else {
        load(lookup == DefaultFolderLookup::always ? defaultFolder : GetDefaultFolder());
    }
}

void HistoryFolder::load(std::string_view text) {
    folder_ = FolderPath::parse(text);
    untouchedText_ = std::string(text);
    unreachableChoice_.reset();
}

std::string HistoryFolder::textToStore() const {
    if (untouchedText_) return *untouchedText_;
    const std::optional<FolderPath>& stored = unreachableChoice_ ? unreachableChoice_ : folder_;
    return stored ? stored->text() : std::string();
}

std::string HistoryFolder::SaveFolder() {
    untouchedText_.reset();
    const std::string folder = folder_ ? folder_->text() : std::string();
    if (CheckEnabledFolder(folder)) return folder;
    const Made made = createFolder(folder);
    if (made == Made::yes) return folder;
    s_.prompts.message(texts::kSaveFolderFailed, s_.title, kErrorStyle);
    // A drive that is offline for a while must not cost the user the choice: the
    // stand-in is used for this run, the choice is what gets stored.
    if (made == Made::unreachable && !unreachableChoice_) unreachableChoice_ = folder_;
    folder_ = FolderPath::parse(s_.programFolder);
    return folder_ ? folder_->text() : std::string();
}

void HistoryFolder::SetFolder(std::string& path) {
    removeTrailingSeparator(path);
    if (path.empty()) {
        s_.prompts.beep();
        return;
    }
    std::optional<FolderPath> chosen = FolderPath::parse(path);
    if (!chosen || s_.files.kind(chosen->text()) != PathKind::directory) return;
    folder_ = std::move(chosen);
    untouchedText_.reset();
    unreachableChoice_.reset();
}

std::string HistoryFolder::GetDefaultFolder() {
    const std::optional<std::string> documents = s_.knownFolders.documentsFolder();
    if (!documents || documents->empty()) {
        // Without it the result would name a folder relative to whatever is current.
        s_.prompts.message(texts::kDefaultFolderFailed, texts::kErrorTitle, kErrorStyle);
        return {};
    }
    std::string name = s_.title;
    for (auto at = name.find(texts::kViewerMark); at != std::string::npos; at = name.find(texts::kViewerMark, at)) {
        name.erase(at, texts::kViewerMark.size());
    }
    return *documents + "\\" + name;
}

bool HistoryFolder::CreateFolder(const std::string& path) { return createFolder(path) == Made::yes; }

HistoryFolder::Made HistoryFolder::createFolder(const std::string& path) {
    // The system creates one level at a time. The first three characters are
    // passed over so that the "\" of a drive root such as "C:\" is not a level.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if ((byte & 0xC0) != 0x80) ++characters;  // not a continuation byte of UTF-8
        if (characters >= 4 && path[i] == '\\') {
            const std::string level = path.substr(0, i);
            if (s_.files.kind(level) == PathKind::missing) s_.files.createDirectory(level);
        }
    }
    s_.files.createDirectory(path);
    switch (s_.files.kind(path)) {
        case PathKind::directory:
            return Made::yes;
        case PathKind::unreachable:
            return Made::unreachable;
        case PathKind::missing:
            s_.prompts.message(std::string(texts::kCreateFolderFailed) + path + ")", texts::kErrorTitle, kErrorStyle);
            return Made::no;
        case PathKind::file:
            // A file of that name: history files cannot go there.
            return Made::no;
    }
    return Made::no;
}

bool HistoryFolder::CheckEnabledFolder(const std::string& path) {
    if (path.empty()) return false;
    switch (s_.files.kind(path)) {
        case PathKind::directory:
            return true;
        case PathKind::unreachable:
            s_.prompts.message(texts::kCheckFolderFailed, texts::kErrorTitle, kErrorStyle);
            return false;
        case PathKind::missing:
        case PathKind::file:
            return false;
    }
    return false;
}

}  // namespace kq
