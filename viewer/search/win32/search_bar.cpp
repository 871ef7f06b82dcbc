#include "viewer/search/win32/search_bar.h"

#include "common/win32/letter_case_win32.h"

namespace kq::viewer::win32 {

SearchBar::SearchBar() : box_(kq::win32::systemUpperCase) {}

void SearchBar::bind(FilterStrip& strip, HistoryBrowser& browser) {
    strip_ = &strip;
    browser_ = &browser;
    onActed_ = strip.acted.connect([this](FilterAction action) { acted(action); });
}

void SearchBar::acted(FilterAction action) {
    const std::string text = strip_->text();
    const SearchBox::Reaction r = action == FilterAction::click   ? box_.buttonClick(text)
                                  : action == FilterAction::enter ? box_.enter(text)
                                                                  : box_.textChanged(text);
    if (r.boxText) strip_->setText(*r.boxText);
    strip_->showPicture(box_.picture());
    if (!r.refresh) return;
    browser_->showSearching();
    browser_->searchChanged();
}

}  // namespace kq::viewer::win32
