#include "viewer/properties/header_footer_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/vb.h"

namespace kq::viewer {

namespace {

// The text is worked on as symbols: its own bytes, and markers for what the
// expansion has settled. A marker can match no code and cannot be confused
// with anything the text itself holds, so the names put in are never read
// again and the text's own characters come back as they were.
using Symbol = int;
using Symbols = std::vector<Symbol>;
constexpr Symbol kAmpersand = 256;   // "&&": a literal "&"
constexpr Symbol kKeptPlus = 257;    // "&P+" left as typed
constexpr Symbol kKeptMinus = 258;   // "&P-" left as typed
constexpr Symbol kFileName = 259;
constexpr Symbol kSheetName = 260;
// Longer offsets than this many digits (leading zeros aside) stay as typed:
// no page is that far away, and the sum must stay exact.
constexpr std::size_t kMaxOffsetDigits = 15;

Symbols symbolsOf(std::string_view text) {
    Symbols out;
    out.reserve(text.size());
    for (const char c : text) out.push_back(static_cast<unsigned char>(c));
    return out;
}

Symbols symbolsOf(std::initializer_list<char> chars) {
    Symbols out;
    for (const char c : chars) out.push_back(static_cast<unsigned char>(c));
    return out;
}

std::size_t find(const Symbols& text, const Symbols& pattern, std::size_t from = 0) {
    if (from >= text.size()) return text.size();
    const auto at = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), pattern.begin(), pattern.end());
    return static_cast<std::size_t>(at - text.begin());
}

// Every occurrence, left to right, without overlaps; the replacement is not
// searched again.
void replaceAll(Symbols& text, const Symbols& pattern, const Symbols& by, std::size_t from = 0) {
    std::size_t at = find(text, pattern, from);
    if (at == text.size()) return;
    Symbols out(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at));
    while (at < text.size()) {
        out.insert(out.end(), by.begin(), by.end());
        const std::size_t next = find(text, pattern, at + pattern.size());
        out.insert(out.end(), text.begin() + static_cast<std::ptrdiff_t>(at + pattern.size()),
                   text.begin() + static_cast<std::ptrdiff_t>(next));
        at = next;
    }
    text = std::move(out);
}

bool isDigit(Symbol s) { return s >= '0' && s <= '9'; }

// The page offsets of one sign. Each round settles the first code of that
// sign and every code spelt as it is; a code without digits keeps every code
// of its sign as typed.
void expandOffsets(Symbols& text, char sign, int pageNo) {
    const Symbols code = symbolsOf({'&', 'P', sign});
    const Symbol kept = sign == '+' ? kKeptPlus : kKeptMinus;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = find(text, code, from);
        if (at == text.size()) return;
        std::size_t end = at + code.size();
        while (end < text.size() && isDigit(text[end])) ++end;
        const Symbols spelt(text.begin() + static_cast<std::ptrdiff_t>(at), text.begin() + static_cast<std::ptrdiff_t>(end));
        if (end == at + code.size()) {
            replaceAll(text, code, {kept}, at);
        } else {
            std::size_t first = at + code.size();
            while (first + 1 < end && text[first] == '0') ++first;
            if (end - first > kMaxOffsetDigits) {
                Symbols asTyped{kept};
                asTyped.insert(asTyped.end(), spelt.begin() + static_cast<std::ptrdiff_t>(code.size()), spelt.end());
                replaceAll(text, spelt, asTyped, at);
            } else {
                std::int64_t offset = 0;
                for (std::size_t i = first; i < end; ++i) offset = offset * 10 + (text[i] - '0');
                const std::int64_t page = sign == '+' ? pageNo + offset : pageNo - offset;
                replaceAll(text, spelt, symbolsOf(std::to_string(page)), at);
            }
        }
        // A result put in may meet a "&P" just before it and make a new code;
        // nothing further before can.
        from = at >= 2 ? at - 2 : 0;
    }
}

}  // namespace

std::string GetHeaderAndFooterText(std::string_view text, std::string_view FileName, std::string_view SheetName,
                                   double PrintDate, int PageNo, int PageCount) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    Symbols s = symbolsOf(text);
    replaceAll(s, symbolsOf({'&', '&'}), {kAmpersand});
    if (PageNo != 0) {
        expandOffsets(s, '+', PageNo);
        expandOffsets(s, '-', PageNo);
        replaceAll(s, symbolsOf({'&', 'P'}), symbolsOf(std::to_string(PageNo)));
    }
    if (PageCount != 0) replaceAll(s, symbolsOf({'&', 'N'}), symbolsOf(std::to_string(PageCount)));
    if (const std::optional<vb::DateTime> date = vb::FromOleDate(PrintDate)) {
        replaceAll(s, symbolsOf({'&', 'D'}), symbolsOf(vb::FormatDate(*date, "yyyy/m/d")));
        replaceAll(s, symbolsOf({'&', 'T'}), symbolsOf(vb::FormatDate(*date, "h:m")));
    }
    replaceAll(s, symbolsOf({'&', 'F'}), {kFileName});
    replaceAll(s, symbolsOf({'&', 'A'}), {kSheetName});

    std::string out;
    out.reserve(s.size());
    for (const Symbol c : s) {
        switch (c) {
            case kAmpersand: out += '&'; break;
            case kKeptPlus: out += "&P+"; break;
            case kKeptMinus: out += "&P-"; break;
            case kFileName: out += FileName; break;
            case kSheetName: out += SheetName; break;
            default: out += static_cast<char>(c); break;
        }
    }
    return out;
}

}  // namespace kq::viewer
