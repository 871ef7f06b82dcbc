#include "viewer/search/search_query.h"

#include <algorithm>
#include <array>

#include "common/history_reader.h"

namespace kq::viewer {

namespace {

constexpr char kBlank = ' ';
constexpr char kQuote = '"';
constexpr char kTab = '\t';

// Every occurrence, left to right, none overlapping.
void replaceAll(std::string& q, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = q.find(from, at)) != std::string::npos; at = hit + from.size()) {
        out.append(q, at, hit - at).append(to);
    }
    if (at == 0) return;
    out.append(q, at);
    q = std::move(out);
}

void replaceWhilePresent(std::string& q, std::string_view from, std::string_view to) {
    while (q.find(from) != std::string::npos) replaceAll(q, from, to);
}

// Only the letter-case forms the box has always taken, not every one.
constexpr std::array<std::string_view, 4> kOr = {" OR ", " or ", " Or ", " oR "};
constexpr std::array<std::string_view, 8> kAnd = {" AND ", " and ", " And ", " aNd ",
                                                  " anD ", " ANd ", " AnD ", " aND "};

std::vector<std::string> alternativesOf(std::string_view term) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (true) {
        const std::size_t joint = term.find(kAlternativeJoint, at);
        const std::string_view piece = term.substr(at, joint == std::string_view::npos ? term.npos : joint - at);
        if (!piece.empty()) out.emplace_back(piece);
        if (joint == std::string_view::npos) return out;
        at = joint + 1;
    }
}

// The term without its empty alternatives; "" when none is left.
std::string withoutEmptyAlternatives(std::string_view term) {
    std::string out;
    for (const std::string& alternative : alternativesOf(term)) {
        if (!out.empty()) out += kAlternativeJoint;
        out += alternative;
    }
    return out;
}

}  // namespace

// `upper` is asked only about what may have letter case: ASCII letters are
// mapped here as every mapping maps them, and the ideographs, kana and CJK
// punctuation (U+3000 to U+9FFF, UTF-8 lead bytes E3 to E9), most of a
// Japanese sheet's text, have no case. The rest goes to `upper` in runs of
// whole characters.
std::string searchUpperCase(std::string_view text, UpperCase upper) {
    std::string out;
    out.reserve(text.size());
    appendSearchUpperCase(out, text, upper);
    return out;
}

void appendSearchUpperCase(std::string& out, std::string_view text, UpperCase upper) {
    std::size_t at = 0;
    std::size_t run = std::string_view::npos;  // start of the bytes waiting for `upper`
    const auto flush = [&] {
        if (run == std::string_view::npos) return;
        out += upper(text.substr(run, at - run));
        run = std::string_view::npos;
    };
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            flush();
            out += lead >= 'a' && lead <= 'z' ? static_cast<char>(lead - ('a' - 'A')) : static_cast<char>(lead);
            ++at;
        } else if (lead >= 0xE3 && lead <= 0xE9 && at + 2 < text.size() &&
                   (static_cast<unsigned char>(text[at + 1]) & 0xC0) == 0x80 &&
                   (static_cast<unsigned char>(text[at + 2]) & 0xC0) == 0x80) {
            flush();
            out.append(text, at, 3);
            at += 3;
        } else {
            if (run == std::string_view::npos) run = at;
            ++at;
            // On to the end of this character, so that a run holds whole ones.
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
        }
    }
    flush();
}

SearchQuery parseSearchQuery(std::string_view SearchText) {
    SearchQuery query;
    std::string q(SearchText);
    q.erase(0, std::min(q.find_first_not_of(kBlank), q.size()));
    while (!q.empty() && (q.back() == kBlank || q.back() == '-')) q.pop_back();

    // Blanks inside quotes are kept from the splitting as TABs.
    bool quoted = false;
    for (char& c : q) {
        if (c == kQuote) {
            quoted = !quoted;
        } else if (c == kBlank && quoted) {
            c = kTab;
        }
    }
    if (quoted) {
        q += kQuote;
        query.quoteClosed = true;
    }

    for (const std::string_view keyword : kOr) replaceAll(q, keyword, std::string_view(&kAlternativeJoint, 1));
    for (const std::string_view keyword : kAnd) replaceAll(q, keyword, " ");
    replaceWhilePresent(q, "  ", " ");
    // A lone minus sign excludes the word after it.
    replaceWhilePresent(q, "- ", "-");

    std::size_t at = 0;
    while (at <= q.size()) {
        const std::size_t blank = std::min(q.find(kBlank, at), q.size());
        std::string piece = q.substr(at, blank - at);
        at = blank + 1;
        std::erase(piece, kQuote);
        std::replace(piece.begin(), piece.end(), kTab, kBlank);
        if (piece.empty()) continue;
        const bool excluded = piece.front() == '-';
        std::string term = withoutEmptyAlternatives(excluded ? std::string_view(piece).substr(1) : piece);
        if (term.empty()) continue;
        (excluded ? query.SearchNotTerms : query.SearchAndTerms).push_back(std::move(term));
    }
    return query;
}

// What one history's texts have shown so far, and whether more are needed.
class SearchMatcher::Tally {
public:
    explicit Tally(const SearchMatcher& m) : m_(m), found_(m.and_.size(), false), missing_(m.and_.size()) {}

    // Takes the next text; false once the result is settled.
    bool take(std::string_view text) {
        upper_.clear();
        appendSearchUpperCase(upper_, text, m_.upper_);
        const std::string& upper = upper_;
        const auto occurs = [&](const std::string& alternative) { return upper.find(alternative) != upper.npos; };
        for (std::size_t i = 0; i < found_.size() && missing_ > 0; ++i) {
            if (!found_[i] && std::any_of(m_.and_[i].begin(), m_.and_[i].end(), occurs)) {
                found_[i] = true;
                --missing_;
            }
        }
        // One excluded alternative fails the history, whatever else it holds.
        if (std::any_of(m_.not_.begin(), m_.not_.end(), occurs)) excluded_ = true;
        return !excluded_ && (missing_ > 0 || !m_.not_.empty());
    }
    bool matches() const { return !excluded_ && missing_ == 0; }

private:
    const SearchMatcher& m_;
    std::vector<bool> found_;
    std::size_t missing_;
    bool excluded_ = false;
    std::string upper_;  // the text in hand, upper-cased; kept for its room
};

SearchMatcher::SearchMatcher(const SearchQuery& query, UpperCase upper) : upper_(upper) {
    for (const std::string& term : query.SearchAndTerms) {
        std::vector<std::string> alternatives = alternativesOf(term);
        for (std::string& a : alternatives) a = upper(a);
        if (!alternatives.empty()) and_.push_back(std::move(alternatives));
    }
    for (const std::string& term : query.SearchNotTerms) {
        for (const std::string& a : alternativesOf(term)) not_.push_back(upper(a));
    }
}

std::optional<bool> SearchMatcher::matchHistory(ByteSource& source, const AnsiCodec& codec) const {
    if (and_.empty() && not_.empty()) return true;
    Tally tally(*this);
    const auto pass =
        readHistoryTexts(source, codec, [&](HistoryTextKind, std::string_view text) { return tally.take(text); });
    if (!pass) return std::nullopt;
    return tally.matches();
}

bool SearchMatcher::matchTexts(const std::vector<std::string>& texts) const {
    Tally tally(*this);
    for (const std::string& text : texts) tally.take(text);
    return tally.matches();
}

SearchBox::Reaction SearchBox::end(bool emptyBox) {
    picture_ = SearchPicture::search;
    SearchText_.clear();
    query_ = {};
    matcher_ = {};
    Reaction r{.refresh = true, .boxText = std::nullopt};
    if (emptyBox) r.boxText = "";
    return r;
}

SearchBox::Reaction SearchBox::buttonClick(std::string_view box) {
    if (picture_ == SearchPicture::endSearch) return end(true);
    if (box.empty()) {
        if (SearchText_.empty()) return {};
        return end(false);
    }
    picture_ = SearchPicture::endSearch;
    SearchText_ = box;
    query_ = parseSearchQuery(SearchText_);
    matcher_ = SearchMatcher(query_, upper_);
    Reaction r{.refresh = true, .boxText = std::nullopt};
    // The search keeps the text as typed; the box shows the quote closed.
    if (query_.quoteClosed) r.boxText = SearchText_ + kQuote;
    return r;
}

SearchBox::Reaction SearchBox::textChanged(std::string_view box) {
    // Emptying the box ends the search at once, whatever the button shows.
    if (!SearchText_.empty() && box.empty()) {
        picture_ = SearchPicture::search;
        return buttonClick(box);
    }
    picture_ = SearchPicture::search;
    return {};
}

SearchBox::Reaction SearchBox::enter(std::string_view box) {
    if (picture_ != SearchPicture::search) return {};
    return buttonClick(box);
}

namespace {

// A history that cannot be opened or read does not pass.
bool passes(const SearchMatcher& matcher, FileSystem& files, const AnsiCodec& codec, const std::string& path) {
    const std::unique_ptr<ByteSource> source = files.openForReading(path);
    return source && matcher.matchHistory(*source, codec).value_or(false);
}

}  // namespace

bool SearchBox::MatchSearchText(FileSystem& files, const AnsiCodec& codec, const std::string& path) const {
    return SearchText_.empty() || passes(matcher_, files, codec, path);
}

SearchFilter SearchBox::filter(FileSystem& files, const AnsiCodec& codec) const {
    if (SearchText_.empty()) return {};
    // The search as it stands now: the box may change while a list is built.
    return [matcher = matcher_, &files, &codec](const std::string& path) { return passes(matcher, files, codec, path); };
}

}  // namespace kq::viewer
