#pragma once
// The heading list: the headings of a watch as numbered rows, each a heading
// row (title_model.h) with a small toolbar to move it up or down, insert a row
// before it or delete it, and an add button under the last row. The rows sit
// on a panel that a scroll bar moves by whole rows. Row 0 always stays; rows
// are added and removed only at the end, and contents move between rows by
// copying. Geometry is in twips, as the form is designed.

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "addin/dialogs/sheet_context.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "addin/dialogs/title_model.h"

namespace kq::addin::dialogs {

namespace titles_design {
inline constexpr int kLabelWidth = 495;
inline constexpr int kLabelOffset = 20;  // the number label sits this far below its row's top
inline constexpr int kRowWidth = 4455;   // a heading row, by its own layout
inline constexpr int kRowHeight = 300;
inline constexpr int kRowGap = 50;
inline constexpr int kRowPitch = kRowHeight + kRowGap;
inline constexpr int kAddWidth = 825;
inline constexpr int kAddHeight = 360;
// Row counts and indexes are 16-bit numbers.
inline constexpr int kMaxRows = 32767;
}  // namespace titles_design

enum class RowCommand { up, down, insert, remove };

class TitlesModel {
public:
    TitlesModel(SheetContext context, TextBoxWithListModel::Services listServices);
    TitlesModel(const TitlesModel&) = delete;
    TitlesModel& operator=(const TitlesModel&) = delete;

    // The heading row of row i, counted from 1; null when there is none.
    TitleModel* Item(int i);
    int TitleCount() const { return static_cast<int>(rows_.size()); }
    // Grows or shrinks the list to n rows; at 0 or below one emptied row stays.
    void TitleCount(int n);
    // Moves the focus to row i, counted from 1; nothing when there is none.
    void TitleSetFocus(int i);

    // A row's title or value changed; the row's index from 0.
    Signal<int> Change;

    // The window's side. Row k is about to go / has come; the rows were arranged.
    Signal<std::size_t> rowRemoving;
    Signal<std::size_t> rowAdded;
    Signal<> arranged;
    Signal<std::size_t> focusRow;
    // Hides (false) and shows (true) the dialog around a row's range input box.
    Signal<bool> parentVisible;

    TitleModel& row(std::size_t k) { return *rows_.at(k); }
    // A row toolbar's button; UP on row 0 and DOWN on the last row only beep.
    void rowCommand(RowCommand command, std::size_t k);
    // The add button: a new last row, scrolled into view and given the focus.
    void add();
    // The control's inner height changed.
    void resized(int innerHeight);
    // The scroll bar moved.
    void scrollTo(int value);

    // Geometry, in twips within the panel.
    int rowTop(std::size_t k) const { return static_cast<int>(k) * titles_design::kRowPitch; }
    int addTop() const { return rowTop(rows_.size() - 1) + titles_design::kRowHeight; }
    int panelHeight() const { return addTop() + titles_design::kAddHeight; }
    // The panel's top in the control: scrolled up by whole rows.
    int panelTop() const { return -scrollValue_ * titles_design::kRowPitch; }
    int scrollValue() const { return scrollValue_; }
    int scrollMax() const { return scrollMax_; }
    bool scrollEnabled() const { return scrollMax_ > 0; }
    bool upEnabled(std::size_t k) const { return k > 0; }
    bool downEnabled(std::size_t k) const { return k + 1 < rows_.size(); }

private:
    void append();
    void destroyLast();
    void copy(std::size_t from, std::size_t to);
    void swap(std::size_t a, std::size_t b);
    void ArrangeTitles();

    SheetContext context_;
    TextBoxWithListModel::Services listServices_;
    std::vector<std::unique_ptr<TitleModel>> rows_;
    // What ties each row to the list (its change, its range input box), row by row.
    std::vector<std::array<Connection, 3>> rowLinks_;
    int innerHeight_ = 0;
    int scrollValue_ = 0;
    int scrollMax_ = 0;
};

}  // namespace kq::addin::dialogs
