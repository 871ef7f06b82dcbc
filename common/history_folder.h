#pragma once
// The history folder: the folder that receives history files. The add-in and the
// viewer keep its text in their settings and turn it into a folder that can be
// used by the same rules, so both go through this unit.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/file_system.h"
#include "common/prompts.h"

namespace kq {

// Folders the system knows for the user.
class KnownFolders {
public:
    virtual ~KnownFolders() = default;
    // The user's documents folder, or empty when the system will not say.
    virtual std::optional<std::string> documentsFolder() = 0;
};

// What the folder procedures need of the running program and the world. The
// objects referred to outlive whatever holds the services.
struct HistoryFolderServices {
    FileSystem& files;
    Prompts& prompts;
    KnownFolders& knownFolders;
    // The folder of the running program file: the last resort for history files.
    std::string programFolder;
    // The program's title; its messages carry it and the default folder is named after it.
    std::string title;
};

// Whether a stored folder text names a folder at all: it is absolute, a drive
// letter with ":" and "\" or "\\server\share", and holds no "%" variable (the
// settings store keeps texts unexpanded). Any other text, the empty one
// included, is read as no stored folder: add-in and viewer then take the
// default folder, where the other finds its histories too.
bool isUsableFolderText(std::string_view text);

class HistoryFolder {
public:
    explicit HistoryFolder(HistoryFolderServices services) : s_(std::move(services)) {}

    // Everything the folder holds, for putting it back as it was.
    struct Kept {
        std::string folder;
        std::optional<std::string> unreachableChoice;
    };
    Kept kept() const { return {folder_, unreachableChoice_}; }
    void restore(Kept kept) {
        folder_ = std::move(kept.folder);
        unreachableChoice_ = std::move(kept.unreachableChoice);
    }

    // Takes a folder text as loaded from the settings, unchecked.
    void load(std::string text);
    // The text to store: the one in use, except that a choice which could not be
    // reached in this run is kept instead of the stand-in folder.
    std::string textToStore() const;

    // The folder to use now: the kept one, created when missing, or else the
    // program's own folder after a message. Never fails.
    std::string SaveFolder();
    // Takes the path, one trailing "\" removed (also from the caller's text), when
    // it names an existing folder; an empty path only beeps.
    void SetFolder(std::string& path);
    // The documents folder with a subfolder named after the program (without the
    // viewer's mark, so that add-in and viewer meet in one folder); "" after a
    // message when the documents folder is unknown.
    std::string GetDefaultFolder();
    // Creates the folder level by level; true when it is a folder afterwards.
    bool CreateFolder(const std::string& path);
    // True when the path names an existing folder.
    bool CheckEnabledFolder(const std::string& path);

private:
    enum class Made { yes, no, unreachable };
    Made createFolder(const std::string& path);

    HistoryFolderServices s_;
    std::string folder_;
    // The user's choice while the stand-in folder is in use because it was unreachable.
    std::optional<std::string> unreachableChoice_;
};

}  // namespace kq
