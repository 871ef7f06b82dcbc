#pragma once
// The search over the histories of the file list: the query language typed
// into the filter box, the test of one history's texts against a query, and
// the box and its button, whose picture tells whether the box's text is the
// search in force.
//
// A query is a list of terms that must all occur and of terms that must not;
// a term is one or more alternatives, any of which will do. Texts are
// compared in upper case as the system maps letters, after decoding, so a
// double-byte character never matches by its second byte.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_io.h"
#include "common/file_system.h"
#include "common/letter_case.h"
#include "common/text_codec.h"
#include "viewer/file_list/file_list.h"

namespace kq::viewer {

// One term's alternatives stand in one entry, joined by NUL characters.
inline constexpr char kAlternativeJoint = '\0';

struct SearchQuery {
    std::vector<std::string> SearchAndTerms;
    std::vector<std::string> SearchNotTerms;
    // The query had an unmatched double quote, closed at its end: the box
    // shows the closing quote too.
    bool quoteClosed = false;

    friend bool operator==(const SearchQuery&, const SearchQuery&) = default;
};

// Parses the text of the box. Empty alternatives, terms left without any and
// empty excluded terms are dropped: an empty text would occur everywhere.
SearchQuery parseSearchQuery(std::string_view SearchText);

// The text in upper case as `upper` maps it, asking it about no more than
// the characters that may have letter case.
std::string searchUpperCase(std::string_view text, UpperCase upper);
void appendSearchUpperCase(std::string& out, std::string_view text, UpperCase upper);

// A query made ready for matching: its alternatives split and upper-cased.
class SearchMatcher {
public:
    SearchMatcher() = default;
    SearchMatcher(const SearchQuery& query, UpperCase upper);

    // Whether the history passes, its texts read only as far as the result
    // needs them and its pages never; empty when it cannot be read.
    std::optional<bool> matchHistory(ByteSource& source, const AnsiCodec& codec) const;
    // The same over texts at hand, all of them looked at.
    bool matchTexts(const std::vector<std::string>& texts) const;

private:
    class Tally;
    UpperCase upper_ = nullptr;
    std::vector<std::vector<std::string>> and_;
    std::vector<std::string> not_;  // every excluded alternative
};

// The two pictures of the search button.
enum class SearchPicture { search, endSearch };  // the pictures keyed "SEARCH" and "DELETE"

// The filter box and its button. The window tells each of the user's doings
// with the box's text as it stands; code's own changes of the box (the
// reaction's `boxText`) are not told back.
class SearchBox {
public:
    explicit SearchBox(UpperCase upper) : upper_(upper) {}

    struct Reaction {
        bool refresh = false;                // the list is to be rebuilt under the search now in force
        std::optional<std::string> boxText;  // the box is to show this
    };
    // A click on the button (and what Enter and emptying the box run).
    Reaction buttonClick(std::string_view box);
    // The box's text changed by the user.
    Reaction textChanged(std::string_view box);
    // Enter in the box: a click while the button offers to search, else nothing.
    Reaction enter(std::string_view box);

    SearchPicture picture() const { return picture_; }
    // The search in force as it was typed; "" for none.
    const std::string& SearchText() const { return SearchText_; }
    const SearchQuery& query() const { return query_; }

    // Whether the history at `path` passes the search in force; a history
    // that cannot be opened or read does not.
    bool MatchSearchText(FileSystem& files, const AnsiCodec& codec, const std::string& path) const;
    // The file list's filter: the search in force now, none without one. It
    // holds what it needs of the box, so a list built meanwhile on another
    // thread is not touched by later changes of the box.
    SearchFilter filter(FileSystem& files, const AnsiCodec& codec) const;

private:
    Reaction end(bool emptyBox);

    UpperCase upper_;
    SearchPicture picture_ = SearchPicture::search;
    std::string SearchText_;
    SearchQuery query_;
    SearchMatcher matcher_;
};

}  // namespace kq::viewer
