#include "common/temp_paths.h"

#include <deque>
#include <mutex>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/texts.h"

namespace kq {

namespace {

constexpr unsigned kErrorStyle = mb::kOkOnly | mb::kIconCritical;

// The system makes a name from a clock-based counter and takes the first one that
// is free, and a handed-out file is deleted until its caller creates it: two
// requests close together would get the same name. Names handed out by any
// TempPaths of the process are remembered to refuse such a repeat; only the
// most recent ones, since only a name handed out moments before comes back
// that way, and a host process that runs for days must not keep them all.
class HandedOutNames {
public:
    // True when the name was not handed out lately; it counts as handed out from now on.
    bool claim(const std::string& path) {
        const std::lock_guard lock(mutex_);
        if (!names_.insert(path).second) return false;
        order_.push_back(path);
        if (order_.size() > kRemembered) {
            names_.erase(order_.front());
            order_.pop_front();
        }
        return true;
    }

private:
    static constexpr std::size_t kRemembered = 256;
    std::mutex mutex_;
    std::unordered_set<std::string> names_;
    std::deque<std::string> order_;  // oldest first
};

HandedOutNames& handedOutNames() {
    static HandedOutNames names;
    return names;
}

// How often the system is asked for a name that was not handed out before.
constexpr int kMaxNameRequests = 1024;

}  // namespace

TempPaths::TempPaths(FileSystem& files, Prompts& prompts, std::string title)
    : files_(files), prompts_(prompts), title_(std::move(title)) {}

std::string TempPaths::GetTempFolder() {
    std::optional<std::string> folder = files_.tempFolder();
    if (!folder || folder->empty()) {
        prompts_.message(texts::kNoTempFolder, title_, mb::kOkOnly);
        return {};
    }
    if (!folder->ends_with('\\')) *folder += '\\';
    return std::move(*folder);
}

std::string TempPaths::GetTempFileFullpath(std::string_view prefix, std::string_view fileName) {
    // Without a temp folder the path would be relative to whatever folder is current.
    const std::string folder = GetTempFolder();
    if (folder.empty()) return {};
    if (files_.kind(folder) != PathKind::directory) {
        prompts_.message(texts::kTempFolderMissing, title_, kErrorStyle);
        return {};
    }

    std::string path;
    if (!fileName.empty()) {
        path = folder;
        if (!path.ends_with('\\')) path += '\\';
        path += fileName;
    } else if (std::optional<std::string> made = newSystemName(folder, prefix)) {
        path = std::move(*made);
    } else {
        prompts_.message(folder + "\r\n" + std::string(texts::kCannotPrepare), title_, kErrorStyle);
        return {};
    }

    switch (files_.kind(path)) {
        case PathKind::missing:
            return path;
        case PathKind::file:
            if (files_.removeFile(path)) return path;
            break;
        case PathKind::directory:
        case PathKind::unreachable:
            break;
    }
    prompts_.message(path + "\r\n" + std::string(texts::kCannotPrepare), title_, kErrorStyle);
    return {};
}

std::optional<std::string> TempPaths::newSystemName(const std::string& folder, std::string_view prefix) {
    // A repeated name stays in place while the system is asked again, so that it
    // passes the name by; those files are ours and go afterwards.
    std::vector<std::string> repeats;
    std::optional<std::string> fresh;
    for (int request = 0; request < kMaxNameRequests && !fresh; ++request) {
        std::optional<std::string> made = files_.createUniqueFile(folder, std::string(prefix));
        if (!made) break;
        if (handedOutNames().claim(*made)) {
            fresh = std::move(made);
        } else {
            repeats.push_back(std::move(*made));
        }
    }
    for (const std::string& repeat : repeats) files_.removeFile(repeat);
    return fresh;
}

}  // namespace kq
