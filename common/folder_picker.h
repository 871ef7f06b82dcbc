#pragma once
// The folder picker `u_FolderBrowser`, as decisions: a prompt, a path box and
// a browse button that opens the shell's folder browser at the box's folder
// or at a default one. Reading the folder clears a box that names no folder;
// writing it takes only an existing folder. The add-in's settings dialog and
// the viewer's export dialog each hold one; the window lives in
// win32/folder_picker_win32.h.

#include <optional>
#include <string>

#include "common/file_system.h"
#include "common/form_layout.h"

namespace kq {

// The shell's folder browser.
class FolderBrowseDialog {
public:
    virtual ~FolderBrowseDialog() = default;
    // Shows the browser with `title`, with `startFolder` chosen when it is not
    // empty; the folder the user took, or empty when the user cancelled.
    virtual std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) = 0;
};

// What the picker asks of its window.
class FolderPickerView {
public:
    virtual ~FolderPickerView() = default;
    virtual std::string pathText() const = 0;
    // Every write is a change of the box, which the window reports to the holder.
    virtual void setPathText(const std::string& text) = 0;
    virtual void focusPath() = 0;
    virtual void selectPath() = 0;
    virtual void beep() = 0;
};

class FolderPicker {
public:
    // `selectAfterBrowse`: the viewer's picker selects a browsed path and
    // focuses the box again; the add-in's only sets it.
    FolderPicker(FileSystem& files, FolderPickerView& view, bool selectAfterBrowse)
        : files_(files), view_(view), selectAfterBrowse_(selectAfterBrowse) {}

    std::string PromptCaption;
    // Where the browser starts when the box holds no folder.
    std::string DefaultFolder;
    std::string BrowserTitle;

    // The box's folder, one trailing "\" removed from the box; empty for an
    // empty box, and for a box naming no folder, which is then emptied with a beep.
    std::string Folder();
    // Takes an existing folder (one trailing "\" removed); anything else empties the box with a beep.
    void Folder(std::string value);

    // The browse button: a folder the user took becomes the box's text;
    // cancelling leaves the box as it was.
    void browse(FolderBrowseDialog& browser);

private:
    bool isFolder(const std::string& path);

    FileSystem& files_;
    FolderPickerView& view_;
    bool selectAfterBrowse_;
};

// The browse button shows the folder glyph of the system's symbol font; a
// system without that font would show a stray letter, so it gets three dots
// in the picker's own font instead.
struct BrowseButtonFace {
    const char* font;  // null: the picker's own
    int points;
    const char* caption;
};
inline constexpr const char* kBrowseGlyphFont = "Marlett";
constexpr BrowseButtonFace browseButtonFace(bool glyphFontInstalled) {
    return glyphFontInstalled ? BrowseButtonFace{kBrowseGlyphFont, 9, "0"} : BrowseButtonFace{nullptr, 0, "..."};
}

// Places of the picker's parts on it, in twips: the prompt, the path box
// after it, and the browse button inside the right end of the box, two pixels
// within the box's edge. The picker is as high as its box.
struct FolderPickerLayoutInput {
    int width = 0;
    int promptWidth = 0;  // 0 without a prompt
    int promptHeight = 0;
    int boxHeight = 270;
    int buttonWidth = 255;
    Twips twips{};
};
struct FolderPickerLayout {
    TwipsRect prompt;
    TwipsRect box;
    TwipsRect button;
    int height = 0;
};
FolderPickerLayout layOutFolderPicker(const FolderPickerLayoutInput& in);

}  // namespace kq
