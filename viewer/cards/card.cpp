#include "viewer/cards/card.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "viewer/texts.h"

namespace kq::viewer {

namespace {

constexpr Colour kFreshBackground{255, 255, 255};
constexpr Colour kSelectedBackground{245, 245, 255};
constexpr Colour kPlainBackground{245, 245, 245};
constexpr double kMargin = 100;
constexpr double kIndent = 200;

// Paths compare in upper case, as the files' removal finds them.
std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

struct NoDrawing {
    void operator()(CardPicture, double, double) const {}
    void operator()(std::string_view, CardFont, double, double) const {}
    void operator()(std::size_t, double, double) const {}
};

}  // namespace

FontSpec cardFont(CardFont font) {
    return font == CardFont::title ? FontSpec{texts::kCardFontFace, 10, true}
                                   : FontSpec{texts::kCardFontFace, 8, false};
}

std::string Card::FileFullpath(std::size_t index) const {
    return index >= 1 && index <= files_.size() ? files_[index - 1] : std::string{};
}

void Card::FilesAdd(std::string path, const std::string& bookPath, const std::string& bookName,
                    const std::string& sheetName, double printDate) {
    files_.push_back(std::move(path));
    if (key_ == texts::kAllCardKey) {
        title1_ = texts::kAllHistories;
        title2_.clear();
        lastBookPath_.clear();
    } else if (key_.starts_with(texts::kCategoryKeyPrefix)) {
        lastBookPath_.clear();
        title1_ = key_.substr(texts::kCategoryKeyPrefix.size());
        title2_.clear();
    } else {
        // A date that is not a number (a damaged header) counts as the oldest.
        const bool later =
            files_.size() == 1 || std::isnan(lastPrintDate_) || (!std::isnan(printDate) && printDate >= lastPrintDate_);
        if (later) {
            lastPrintDate_ = printDate;
            lastBookPath_ = bookPath;
            title1_ = bookName;
            title2_ = sheetName;
        }
    }
}

bool Card::FilesRemove(const std::vector<std::string>& paths) {
    // Each path takes the first file it names that no earlier path took, as
    // removing them one by one would; in one pass, as a card may hold tens
    // of thousands.
    std::unordered_multiset<std::string> removing;
    for (const std::string& path : paths) removing.insert(upperAscii(path));
    std::erase_if(files_, [&](const std::string& file) {
        if (removing.empty()) return false;
        const auto it = removing.find(upperAscii(file));
        if (it == removing.end()) return false;
        removing.erase(it);
        return true;
    });
    return files_.empty();
}

void Card::FilesReset() {
    files_.clear();
    lastPrintDate_ = 0;
    lastBookPath_.clear();
    title1_.clear();
    title2_.clear();
}

void Card::takeContentOf(Card&& other) {
    key_ = std::move(other.key_);
    files_ = std::move(other.files_);
    lastPrintDate_ = other.lastPrintDate_;
    lastBookPath_ = std::move(other.lastBookPath_);
    title1_ = std::move(other.title1_);
    title2_ = std::move(other.title2_);
}

bool Card::setSelected(bool selected) {
    selectionSet_ = true;
    const bool changed = selected != selected_;
    selected_ = selected;
    return changed;
}

// Lines from the top: the workbook (with its picture), the sheet (with its
// picture), the workbook's folder, the count. A text is centred on the
// picture beside it.
template <class Emit>
double Card::draw(const CardMetrics& m, Emit emit) const {
    const bool hasFiles = !files_.empty();
    double x = kMargin;
    double y = kMargin;
    if (!title1_.empty()) {
        if (hasFiles) emit(CardPicture::book, x, y);
        y += m.bookHeight / 2 - m.titleTextHeight / 2;
        x += m.bookWidth + kMargin;
        emit(hasFiles ? std::string_view(title1_) : texts::kNoFilesTitle, CardFont::title, x, y);
    }
    if (!title2_.empty()) {
        y += m.titleTextHeight / 2 + m.bookHeight / 2 + 30;
        x = kIndent;
        if (hasFiles) emit(CardPicture::sheet, x, y);
        y += m.sheetHeight / 2 - m.titleTextHeight / 2;
        x += m.sheetWidth + kMargin;
        emit(std::string_view(title2_), CardFont::title, x, y);
    }
    if (!lastBookPath_.empty()) {
        y += m.folderTextHeight / 2 + m.sheetHeight / 2 + 60;
        x = kIndent;
        emit(std::string_view(lastBookPath_), CardFont::folder, x, y);
    }
    y += m.titleTextHeight + 30;
    x = kIndent;
    if (hasFiles) emit(files_.size(), x, y);  // the count line
    return y + m.titleTextHeight + kMargin;
}

CardFace Card::face(const CardMetrics& metrics) const {
    CardFace face;
    face.background = !selectionSet_ ? kFreshBackground : selected_ ? kSelectedBackground : kPlainBackground;
    face.raisedBorder = selected_;
    struct Collect {
        CardFace& face;
        void operator()(CardPicture p, double x, double y) const { face.pictures.push_back({p, x, y}); }
        void operator()(std::string_view text, CardFont font, double x, double y) const {
            face.texts.push_back({std::string(text), font, x, y});
        }
        void operator()(std::size_t count, double x, double y) const {
            face.texts.push_back({std::string(texts::kHistoryCount) + std::to_string(count), CardFont::title, x, y});
        }
    };
    face.height = draw(metrics, Collect{face});
    return face;
}

double Card::height(const CardMetrics& metrics) const { return draw(metrics, NoDrawing{}); }

}  // namespace kq::viewer
