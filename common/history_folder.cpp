#include "common/history_folder.h"

#include <string_view>

#include "common/texts.h"

namespace kq {

namespace {

constexpr unsigned kErrorStyle = mb::kOkOnly | mb::kIconCritical;

bool removeTrailingSeparator(std::string& path) {
    if (!path.ends_with('\\')) return false;
    path.pop_back();
    return true;
}

}  // namespace

void HistoryFolder::load(std::string text) {
    folder_ = std::move(text);
    unreachableChoice_.reset();
}

std::string HistoryFolder::textToStore() const { return unreachableChoice_.value_or(folder_); }

std::string HistoryFolder::SaveFolder() {
    removeTrailingSeparator(folder_);
    if (CheckEnabledFolder(folder_)) return folder_;
    const Made made = createFolder(folder_);
    if (made == Made::yes) return folder_;
    s_.prompts.message(texts::kSaveFolderFailed, s_.title, kErrorStyle);
    // A drive that is offline for a while must not cost the user the choice: the
    // stand-in is used for this run, the choice is what gets stored.
    if (made == Made::unreachable && !unreachableChoice_) unreachableChoice_ = folder_;
    folder_ = s_.programFolder;
    return folder_;
}

void HistoryFolder::SetFolder(std::string& path) {
    removeTrailingSeparator(path);
    if (path.empty()) {
        s_.prompts.beep();
        return;
    }
    if (s_.files.kind(path) != PathKind::directory) return;
    folder_ = path;
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
