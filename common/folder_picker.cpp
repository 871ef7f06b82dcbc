#include "common/folder_picker.h"

#include <algorithm>

namespace kq {

namespace {

bool removeTrailingSeparator(std::string& path) {
    if (!path.ends_with('\\')) return false;
    path.pop_back();
    return true;
}

}  // namespace

bool FolderPicker::isFolder(const std::string& path) { return !path.empty() && files_.kind(path) == PathKind::directory; }

std::string FolderPicker::Folder() {
    std::string text = view_.pathText();
    if (text.empty()) return {};
    if (!isFolder(text)) {
        view_.beep();
        view_.setPathText({});
        return {};
    }
    // A drive root such as C:\ is kept as C:, as the history folder is.
    if (removeTrailingSeparator(text)) view_.setPathText(text);
    return text;
}

void FolderPicker::Folder(std::string value) {
    removeTrailingSeparator(value);
    if (isFolder(value)) {
        view_.setPathText(value);
        return;
    }
    view_.beep();
    view_.setPathText({});
}

void FolderPicker::browse(FolderBrowseDialog& browser) {
    view_.focusPath();
    const std::string title = BrowserTitle;
    // Read twice, as the picker always has: the first read clears a box that
    // names no folder, so that the browser then starts at the default folder.
    const std::string first = Folder();
    const std::string start = first.empty() ? DefaultFolder : Folder();
    const std::optional<std::string> chosen = browser.BrowseForFolder(title, start);
    if (!chosen || chosen->empty()) return;
    view_.setPathText(*chosen);
    if (!selectAfterBrowse_) return;
    view_.selectPath();
    view_.focusPath();
}

FolderPickerLayout layOutFolderPicker(const FolderPickerLayoutInput& in) {
    FolderPickerLayout out;
    const int twoPixelsX = in.twips.fromX(2);
    const int twoPixelsY = in.twips.fromY(2);
    out.prompt = {0, (in.boxHeight - in.promptHeight) / 2, in.promptWidth, in.promptHeight};
    out.box = {in.promptWidth, 0, std::max(0, in.width - in.promptWidth), in.boxHeight};
    out.button = {out.box.right() - in.buttonWidth - twoPixelsX, twoPixelsY, in.buttonWidth,
                  std::max(0, in.boxHeight - 2 * twoPixelsY)};
    out.height = in.boxHeight;
    return out;
}

}  // namespace kq
