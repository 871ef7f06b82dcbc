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
#include "common/settings_store.h"

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

// A folder path as the program holds it, put in one form where it enters the
// program: it names a folder at all (isUsableFolderText) and has no trailing
// "\" (one is taken away; a drive root is then "C:"), so that a file's path
// is always the folder, one "\" and the name.
class FolderPath {
public:
    // Empty when the text names no folder.
    static std::optional<FolderPath> parse(std::string_view text);

    const std::string& text() const { return text_; }
    // The path of an entry of the folder.
    std::string inside(std::string_view name) const;

    friend bool operator==(const FolderPath&, const FolderPath&) = default;

private:
    explicit FolderPath(std::string text) : text_(std::move(text)) {}
    std::string text_;
};

// The history folder the settings store keeps, as it is stored: nothing is
// checked on the disk, created or shown. Empty when none is stored, or when
// the stored text names no folder (the default folder is meant then).
std::optional<FolderPath> readStoredHistoryFolder(SettingsStore& store);

// When the default folder is worked out (and a failure to do so shown): the
// add-in always works it out, the viewer only when the store names no folder.
enum class DefaultFolderLookup { always, whenNoneStored };

class HistoryFolder {
public:
    explicit HistoryFolder(HistoryFolderServices services) : s_(std::move(services)) {}

    // Everything the folder holds, for putting it back as it was.
    struct Kept {
        std::optional<FolderPath> folder;
        std::optional<std::string> untouchedText;
        std::optional<FolderPath> unreachableChoice;
    };
    Kept kept() const { return {folder_, untouchedText_, unreachableChoice_}; }
    void restore(Kept kept) {
        folder_ = std::move(kept.folder);
        untouchedText_ = std::move(kept.untouchedText);
        unreachableChoice_ = std::move(kept.unreachableChoice);
    }

    // The one way add-in and viewer load the folder: the stored one, or else
    // the default folder; nothing is checked on the disk yet.
    void load(SettingsStore& store, DefaultFolderLookup lookup);
    // Takes a folder text as it comes, unchecked on the disk; a text that names
    // no folder leaves none (SaveFolder then reports it and uses its stand-in).
    void load(std::string_view text);
    // The folder as loaded or chosen, not yet checked on the disk; empty when
    // there is none (the default folder could not be worked out).
    const std::optional<FolderPath>& folder() const { return folder_; }
    // The text to store: the loaded text as it came while nothing used the
    // folder; then the one in use, except that a choice which could not be
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
    std::optional<FolderPath> folder_;
    // The text as loaded, until the folder is first used or chosen anew.
    std::optional<std::string> untouchedText_;
    // The user's choice while the stand-in folder is in use because it was unreachable.
    std::optional<FolderPath> unreachableChoice_;
};

}  // namespace kq
