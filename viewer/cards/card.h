#pragma once
// A card of the card bar: one group of history files (all files of one card
// key), with the titles worked out from its key or its newest print, its
// selection state and what it draws.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/main_window/geometry.h"

namespace kq::viewer {

// What the card's drawing depends on of the window's fonts and pictures
// (twips): the height of "A" in the title and the folder font, and the two
// pictures' sizes.
struct CardMetrics {
    double titleTextHeight = 180;   // 10 points bold
    double folderTextHeight = 150;  // 8 points regular
    double bookHeight = 240;
    double bookWidth = 240;
    double sheetHeight = 240;
    double sheetWidth = 240;
};

enum class CardPicture { book, sheet };
enum class CardFont { title, folder };
FontSpec cardFont(CardFont font);

struct CardFace {
    struct Picture {
        CardPicture picture;
        double x, y;
        friend bool operator==(const Picture&, const Picture&) = default;
    };
    struct Text {
        std::string text;
        CardFont font;
        double x, y;
        friend bool operator==(const Text&, const Text&) = default;
    };
    Colour background;
    bool raisedBorder = false;  // 3-D while selected, flat otherwise
    std::vector<Picture> pictures;
    std::vector<Text> texts;  // one line each, cut at the card's edge
    double height = 0;
};

class Card {
public:
    const std::string& Key() const { return key_; }
    // Stored only: the titles stay those the old key gave.
    void setKey(std::string key) { key_ = std::move(key); }

    std::size_t FilesCount() const { return files_.size(); }
    // The path of file `index` (from 1), "" for an index with no file.
    std::string FileFullpath(std::size_t index) const;
    const std::vector<std::string>& files() const { return files_; }

    double LastPrintDate() const { return lastPrintDate_; }
    const std::string& LastBookPath() const { return lastBookPath_; }
    const std::string& CardTitle1() const { return title1_; }
    const std::string& CardTitle2() const { return title2_; }

    // Adds a file; a card of one sheet takes its titles from the newest print
    // added (of equal dates, the one added later).
    void FilesAdd(std::string path, const std::string& bookPath, const std::string& bookName,
                  const std::string& sheetName, double printDate);
    // Removes, for each path, the first file of that path (letter case not
    // minding); the titles stay. True when the card holds no file afterwards.
    bool FilesRemove(const std::vector<std::string>& paths);
    // Forgets every file, and the titles, folder and date with them.
    void FilesReset();
    // Shows what `other` showed: its key, files, titles, folder and date. The
    // card keeps its own selection and look.
    void takeContentOf(Card&& other);

    bool Selected() const { return selected_; }
    // True when the state changed.
    bool setSelected(bool selected);

    CardFace face(const CardMetrics& metrics) const;
    double height(const CardMetrics& metrics) const;

private:
    template <class Emit>
    double draw(const CardMetrics& metrics, Emit emit) const;

    std::string key_;
    std::vector<std::string> files_;
    double lastPrintDate_ = 0;
    std::string lastBookPath_;
    std::string title1_;
    std::string title2_;
    bool selected_ = false;
    bool selectionSet_ = false;  // white until first selected or deselected
};

}  // namespace kq::viewer
