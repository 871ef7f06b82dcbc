#include "host/sim/ribbon/xml_reader.h"

#include <algorithm>

#include "common/text_codec.h"

namespace kq::host::sim::ribbon {

namespace {

constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

// Thrown inside the reader only: unwinds to readXml, which gives it back as a value.
struct Failure {
    XmlPosition at;
    std::string reason;
};

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool isBlank(char32_t c) { return c == 0x20 || c == 0x9 || c == 0xA || c == 0xD; }

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The input as characters, line ends already made single line feeds, as XML
// reads them before anything else.
struct Characters {
    std::u32string chars;
    bool fromUtf16 = false;
    bool hadUtf8Mark = false;
    bool onlyAscii = true;
};

void append(Characters& out, char32_t c) {
    if (c >= 0x80) out.onlyAscii = false;
    // A CR stands for a line end; the decoders drop the LF of a CR LF pair.
    out.chars.push_back(c == 0xD ? char32_t{0xA} : c);
}

// UTF-8 as the standard allows it: shortest forms only, no surrogates.
void decodeUtf8(std::string_view bytes, Characters& out) {
    std::size_t i = 0;
    bool lastWasCr = false;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        char32_t c = 0;
        int more = 0;
        if (b0 < 0x80) {
            c = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            c = b0 & 0x1F;
            more = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            c = b0 & 0x0F;
            more = 2;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            c = b0 & 0x07;
            more = 3;
        } else {
            throw Failure{{}, "the bytes are not UTF-8 (byte " + std::to_string(i) + ")"};
        }
        for (int k = 1; k <= more; ++k) {
            if (i + static_cast<std::size_t>(k) >= bytes.size()) {
                throw Failure{{}, "the bytes are not UTF-8 (byte " + std::to_string(i) + ")"};
            }
            const auto b = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80) throw Failure{{}, "the bytes are not UTF-8 (byte " + std::to_string(i) + ")"};
            c = (c << 6) | (b & 0x3F);
        }
        const bool overlong = (more == 2 && c < 0x800) || (more == 3 && c < 0x10000);
        if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            throw Failure{{}, "the bytes are not UTF-8 (byte " + std::to_string(i) + ")"};
        }
        i += static_cast<std::size_t>(more) + 1;
        if (c == 0xA && lastWasCr) {
            lastWasCr = false;
            continue;
        }
        lastWasCr = c == 0xD;
        append(out, c);
    }
}

void decodeUtf16(std::string_view bytes, bool bigEndian, Characters& out) {
    if (bytes.size() % 2 != 0) throw Failure{{}, "the UTF-16 text has an odd number of bytes"};
    auto unit = [&](std::size_t at) {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    bool lastWasCr = false;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= bytes.size()) throw Failure{{}, "the UTF-16 text ends inside a surrogate pair"};
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) throw Failure{{}, "the UTF-16 text has an unpaired surrogate"};
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            throw Failure{{}, "the UTF-16 text has an unpaired surrogate"};
        }
        if (c == 0xA && lastWasCr) {
            lastWasCr = false;
            continue;
        }
        lastWasCr = c == 0xD;
        append(out, c);
    }
}

Characters decode(std::string_view input, XmlInput kind) {
    Characters out;
    out.chars.reserve(input.size());
    if (kind == XmlInput::bytes && input.size() >= 2) {
        const auto a = static_cast<unsigned char>(input[0]);
        const auto b = static_cast<unsigned char>(input[1]);
        if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) {
            out.fromUtf16 = true;
            decodeUtf16(input.substr(2), a == 0xFE, out);
            return out;
        }
    }
    if (input.substr(0, 3) == "\xEF\xBB\xBF") {
        out.hadUtf8Mark = true;
        input.remove_prefix(3);
    }
    decodeUtf8(input, out);
    return out;
}

class Parser {
public:
    Parser(const Characters& input, XmlInput kind) : in_(input), s_(input.chars), kind_(kind) {}

    XmlElement document() {
        readDeclaration();
        readMisc();
        if (atEnd()) fail("the document has no element");
        if (startsWith(U"<!DOCTYPE")) fail("document type declarations are not read");
        if (peek() != '<') fail("text before the document element");
        XmlElement root;
        readElement(root, 1);
        readMisc();
        if (!atEnd()) fail("something follows the document element");
        return root;
    }

private:
    [[noreturn]] void fail(std::string reason) const { throw Failure{pos_, std::move(reason)}; }

    bool atEnd() const { return i_ >= s_.size(); }
    char32_t peek(std::size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : 0; }
    bool startsWith(std::u32string_view text) const { return std::u32string_view(s_).substr(i_, text.size()) == text; }

    char32_t take() {
        if (atEnd()) fail("the document ends too early");
        const char32_t c = s_[i_++];
        if (!isXmlChar(c)) {
            --i_;
            fail("a character XML does not allow (U+" + hex(c) + ")");
        }
        if (c == 0xA) {
            ++pos_.line;
            pos_.column = 1;
        } else {
            ++pos_.column;
        }
        return c;
    }
    void expect(std::u32string_view text, const char* what) {
        if (!startsWith(text)) fail(std::string("expected ") + what);
        for (std::size_t k = 0; k < text.size(); ++k) take();
    }
    bool skipBlanks() {
        bool any = false;
        while (!atEnd() && isBlank(peek())) {
            take();
            any = true;
        }
        return any;
    }

    static std::string hex(char32_t c) {
        static const char digits[] = "0123456789ABCDEF";
        std::string out;
        for (int shift = 20; shift >= 0; shift -= 4) out += digits[(c >> shift) & 0xF];
        out.erase(0, std::min(out.find_first_not_of('0'), out.size() - 4));
        return out;
    }

    std::string readName(const char* what) {
        if (atEnd() || !isXmlNameStart(peek())) fail(std::string("expected ") + what);
        std::string name;
        while (!atEnd() && isXmlNameChar(peek())) appendUtf8(name, take());
        return name;
    }

    // The XML declaration, only at the very start.
    void readDeclaration() {
        if (!startsWith(U"<?xml") || !isBlank(peek(5))) return;
        expect(U"<?xml", "<?xml");
        auto pseudo = [&](std::string_view name) -> std::optional<std::string> {
            const std::size_t mark = i_;
            const XmlPosition markPos = pos_;
            if (!skipBlanks()) return std::nullopt;
            std::u32string wanted(name.begin(), name.end());
            if (!startsWith(wanted)) {
                i_ = mark;
                pos_ = markPos;
                return std::nullopt;
            }
            expect(wanted, name.data());
            return attributeValue();
        };
        const auto version = pseudo("version");
        if (!version) fail("the XML declaration has no version");
        const bool oneDotSomething = version->size() > 2 && version->rfind("1.", 0) == 0 &&
                                     version->find_first_not_of("0123456789", 2) == std::string::npos;
        if (!oneDotSomething) fail("XML version " + *version + " is not read");
        const auto encoding = pseudo("encoding");
        const auto standalone = pseudo("standalone");
        if (standalone && *standalone != "yes" && *standalone != "no") fail("standalone is yes or no");
        skipBlanks();
        expect(U"?>", "?> at the end of the XML declaration");
        if (encoding) checkEncoding(*encoding);
    }

    void checkEncoding(const std::string& declared) {
        if (kind_ == XmlInput::text) return;
        const std::string name = lowerAscii(declared);
        const bool utf16 = name == "utf-16" || name == "utf-16le" || name == "utf-16be";
        if (in_.fromUtf16) {
            if (!utf16) fail("the text is UTF-16 but declares " + declared);
            return;
        }
        if (utf16) fail("the text declares " + declared + " but has no UTF-16 byte-order mark");
        if (name == "utf-8" || name == "utf8") return;
        if (in_.hadUtf8Mark) fail("the text has a UTF-8 byte-order mark but declares " + declared);
        // Every encoding the host knows reads plain ASCII alike.
        if (!in_.onlyAscii) fail("text in the encoding " + declared + " is not read");
    }

    void readMisc() {
        for (;;) {
            skipBlanks();
            if (startsWith(U"<!--")) {
                readComment();
            } else if (startsWith(U"<?")) {
                readInstruction();
            } else {
                return;
            }
        }
    }

    void readComment() {
        expect(U"<!--", "<!--");
        for (;;) {
            if (atEnd()) fail("the comment is not closed");
            if (startsWith(U"--")) {
                if (peek(2) != '>') fail("-- inside a comment");
                expect(U"-->", "-->");
                return;
            }
            take();
        }
    }

    void readInstruction() {
        expect(U"<?", "<?");
        const std::string target = readName("the name of a processing instruction");
        if (lowerAscii(target) == "xml") fail("an XML declaration is only allowed at the very start");
        if (target.find(':') != std::string::npos) fail("a processing instruction's name has no colon");
        if (!startsWith(U"?>") && !skipBlanks()) fail("expected a blank after the instruction's name");
        for (;;) {
            if (atEnd()) fail("the processing instruction is not closed");
            if (startsWith(U"?>")) {
                expect(U"?>", "?>");
                return;
            }
            take();
        }
    }

    // A reference after its "&": the character it stands for.
    char32_t readReference() {
        if (peek() == '#') {
            take();
            const bool hexadecimal = peek() == 'x';
            if (hexadecimal) take();
            char32_t value = 0;
            int digits = 0;
            while (!atEnd() && peek() != ';') {
                const char32_t d = take();
                int digit = -1;
                if (d >= '0' && d <= '9') digit = static_cast<int>(d - '0');
                if (hexadecimal && d >= 'a' && d <= 'f') digit = static_cast<int>(d - 'a' + 10);
                if (hexadecimal && d >= 'A' && d <= 'F') digit = static_cast<int>(d - 'A' + 10);
                if (digit < 0) fail("a character reference has a wrong digit");
                value = value * (hexadecimal ? 16 : 10) + static_cast<char32_t>(digit);
                if (value > 0x10FFFF) fail("a character reference beyond Unicode");
                ++digits;
            }
            expect(U";", "; at the end of the reference");
            if (digits == 0 || !isXmlChar(value)) fail("a character reference to a character XML does not allow");
            return value;
        }
        const std::string name = readName("a name after &");
        expect(U";", "; at the end of the reference");
        if (name == "lt") return '<';
        if (name == "gt") return '>';
        if (name == "amp") return '&';
        if (name == "apos") return '\'';
        if (name == "quot") return '"';
        fail("the entity &" + name + "; is not defined");
    }

    struct RawAttribute {
        std::string name;
        std::string value;
        XmlPosition at;
    };

    std::string attributeValue() {
        const XmlPosition start = pos_;
        skipBlanks();
        expect(U"=", "= after the attribute's name");
        skipBlanks();
        const char32_t quote = atEnd() ? 0 : peek();
        if (quote != '"' && quote != '\'') fail("expected a quoted value");
        take();
        std::string value;
        for (;;) {
            if (atEnd()) {
                pos_ = start;
                fail("the attribute's value is not closed");
            }
            const char32_t c = peek();
            if (c == quote) {
                take();
                return value;
            }
            if (c == '<') fail("< inside an attribute's value");
            if (c == '&') {
                take();
                appendUtf8(value, readReference());
                continue;
            }
            take();
            appendUtf8(value, isBlank(c) ? U' ' : c);
        }
    }

    struct Binding {
        std::string prefix;
        std::string uri;
    };

    std::optional<std::string> lookup(const std::string& prefix) const {
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            if (it->prefix == prefix) return it->uri;
        }
        if (prefix == "xml") return std::string(kXmlNamespace);
        if (prefix.empty()) return std::string();
        return std::nullopt;
    }

    // Prefix and local part of a qualified name.
    std::pair<std::string, std::string> split(const std::string& name, const XmlPosition& at) const {
        const std::size_t colon = name.find(':');
        if (colon == std::string::npos) return {std::string(), name};
        const std::string prefix = name.substr(0, colon);
        const std::string local = name.substr(colon + 1);
        if (!isNcName(prefix) || !isNcName(local)) throw Failure{at, "the name " + name + " is no qualified name"};
        return {prefix, local};
    }

    void declare(XmlElement& element, const RawAttribute& a) {
        const bool isDefault = a.name == "xmlns";
        const std::string prefix = isDefault ? std::string() : a.name.substr(6);
        if (!isDefault && !isNcName(prefix)) throw Failure{a.at, "the name " + a.name + " is no qualified name"};
        if (prefix == "xmlns") throw Failure{a.at, "the prefix xmlns cannot be declared"};
        if (prefix == "xml" && a.value != kXmlNamespace) throw Failure{a.at, "the prefix xml is bound to its own namespace"};
        if (prefix != "xml" && a.value == kXmlNamespace) throw Failure{a.at, "only the prefix xml takes the XML namespace"};
        if (a.value == kXmlnsNamespace) throw Failure{a.at, "the namespace of xmlns cannot be bound"};
        if (!isDefault && a.value.empty()) throw Failure{a.at, "the prefix " + prefix + " cannot be bound to nothing"};
        element.declarations.emplace_back(prefix, a.value);
        scope_.push_back({prefix, a.value});
    }

    void readElement(XmlElement& element, int depth) {
        if (depth > kMaxXmlDepth) fail("elements nest deeper than " + std::to_string(kMaxXmlDepth));
        element.at = pos_;
        expect(U"<", "<");
        element.name = readName("the element's name");

        std::vector<RawAttribute> raw;
        for (;;) {
            const bool blank = skipBlanks();
            if (startsWith(U"/>") || startsWith(U">")) break;
            if (!blank) fail("expected a blank before the attribute");
            RawAttribute a;
            a.at = pos_;
            a.name = readName("an attribute's name or the end of the tag");
            a.value = attributeValue();
            for (const auto& other : raw) {
                if (other.name == a.name) throw Failure{a.at, "the attribute " + a.name + " is given twice"};
            }
            raw.push_back(std::move(a));
            if (raw.size() > kMaxXmlAttributes) fail("more than " + std::to_string(kMaxXmlAttributes) + " attributes");
        }

        const std::size_t scopeMark = scope_.size();
        for (const auto& a : raw) {
            if (a.name == "xmlns" || a.name.rfind("xmlns:", 0) == 0) declare(element, a);
        }
        auto [prefix, local] = split(element.name, element.at);
        const auto uri = lookup(prefix);
        if (!uri) throw Failure{element.at, "the prefix " + prefix + " is not declared"};
        element.localName = local;
        element.namespaceUri = *uri;

        for (auto& a : raw) {
            if (a.name == "xmlns" || a.name.rfind("xmlns:", 0) == 0) continue;
            auto [attributePrefix, attributeLocal] = split(a.name, a.at);
            std::string attributeUri;
            if (!attributePrefix.empty()) {
                const auto bound = lookup(attributePrefix);
                if (!bound) throw Failure{a.at, "the prefix " + attributePrefix + " is not declared"};
                attributeUri = *bound;
            }
            for (const auto& other : element.attributes) {
                if (other.localName == attributeLocal && other.namespaceUri == attributeUri) {
                    throw Failure{a.at, "the attribute " + a.name + " is given twice"};
                }
            }
            element.attributes.push_back({a.name, attributeLocal, attributeUri, std::move(a.value), a.at});
        }

        if (startsWith(U"/>")) {
            expect(U"/>", "/>");
            scope_.resize(scopeMark);
            return;
        }
        expect(U">", ">");
        readContent(element, depth);
        scope_.resize(scopeMark);
    }

    void readContent(XmlElement& element, int depth) {
        for (;;) {
            if (atEnd()) fail("the element " + element.name + " is not closed");
            if (startsWith(U"</")) {
                const XmlPosition at = pos_;
                expect(U"</", "</");
                const std::string name = readName("the name of the end tag");
                skipBlanks();
                expect(U">", "> at the end of the end tag");
                if (name != element.name) {
                    throw Failure{at, "the end tag " + name + " does not close " + element.name};
                }
                return;
            }
            if (startsWith(U"<!--")) {
                readComment();
            } else if (startsWith(U"<![CDATA[")) {
                expect(U"<![CDATA[", "<![CDATA[");
                while (!startsWith(U"]]>")) {
                    if (atEnd()) fail("the CDATA section is not closed");
                    appendUtf8(element.text, take());
                }
                expect(U"]]>", "]]>");
            } else if (startsWith(U"<?")) {
                readInstruction();
            } else if (startsWith(U"<!")) {
                fail("markup declarations are not read");
            } else if (peek() == '<') {
                element.children.emplace_back();
                readElement(element.children.back(), depth + 1);
            } else if (peek() == '&') {
                take();
                appendUtf8(element.text, readReference());
            } else {
                if (startsWith(U"]]>")) fail("]]> in text");
                appendUtf8(element.text, take());
            }
        }
    }

    const Characters& in_;
    const std::u32string& s_;
    XmlInput kind_;
    std::size_t i_ = 0;
    XmlPosition pos_;
    std::vector<Binding> scope_;
};

}  // namespace

const XmlAttribute* XmlElement::attribute(std::string_view wanted) const {
    for (const auto& a : attributes) {
        if (a.namespaceUri.empty() && a.localName == wanted) return &a;
    }
    return nullptr;
}

std::string XmlError::describe() const {
    return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " + reason;
}

XmlReading readXml(std::string_view input, XmlInput kind) {
    XmlReading reading;
    if (input.size() > kMaxXmlInput) {
        reading.error = {{}, "the document is larger than " + std::to_string(kMaxXmlInput) + " bytes"};
        return reading;
    }
    try {
        const Characters characters = decode(input, kind);
        reading.root = Parser(characters, kind).document();
    } catch (const Failure& failure) {
        reading.error = {failure.at, failure.reason};
    }
    return reading;
}

std::size_t utf8Length(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool isXmlNameStart(char32_t c) {
    return c == ':' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isXmlNameChar(char32_t c) {
    return isXmlNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool isNcName(std::string_view name) {
    Characters characters;
    try {
        decodeUtf8(name, characters);
    } catch (const Failure&) {
        return false;
    }
    const std::u32string& s = characters.chars;
    if (s.empty() || !isXmlNameStart(s[0]) || s[0] == ':') return false;
    return std::all_of(s.begin(), s.end(), [](char32_t c) { return isXmlNameChar(c) && c != ':'; });
}

}  // namespace kq::host::sim::ribbon
