#pragma once
// A small reader of XML documents for the ribbon markup that add-ins hand the
// host: elements, attributes, character data, comments, processing
// instructions and XML namespaces; no document types (a DOCTYPE is refused, so
// no entity can grow the document). The markup is outside input: every rule of
// well-formedness the host relies on is checked, and time and memory stay in
// proportion to the input, which may not exceed kMaxXmlInput bytes nor nest
// deeper than kMaxXmlDepth elements.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kq::host::sim::ribbon {

inline constexpr std::size_t kMaxXmlInput = 1 << 20;
inline constexpr int kMaxXmlDepth = 64;
inline constexpr std::size_t kMaxXmlAttributes = 256;

struct XmlPosition {
    int line = 1;    // from 1
    int column = 1;  // from 1, in characters
};

struct XmlAttribute {
    std::string name;          // as written, prefix included
    std::string localName;
    std::string namespaceUri;  // "" without a prefix: attributes take no default namespace
    std::string value;         // normalised as XML says (line ends and white space become blanks)
    XmlPosition at;
};

struct XmlElement {
    std::string name;  // as written, prefix included
    std::string localName;
    std::string namespaceUri;
    // Without the namespace declarations, which are in `declarations` (prefix "" is the default).
    std::vector<XmlAttribute> attributes;
    std::vector<std::pair<std::string, std::string>> declarations;
    std::vector<XmlElement> children;
    // The character data directly inside, joined.
    std::string text;
    XmlPosition at;

    const XmlAttribute* attribute(std::string_view localName) const;  // one without a namespace
};

struct XmlError {
    XmlPosition at;
    std::string reason;
    std::string describe() const;  // "line 3, column 7: reason"
};

struct XmlReading {
    std::optional<XmlElement> root;  // empty when the input is no well-formed document
    XmlError error;
};

enum class XmlInput {
    // Bytes as stored: UTF-8, or UTF-16 with its byte-order mark. Text declared
    // in another encoding is read only when it is plain ASCII.
    bytes,
    // Text already decoded into UTF-8 (a string handed over a call): the
    // declaration's encoding is not looked at.
    text,
};

XmlReading readXml(std::string_view input, XmlInput kind = XmlInput::bytes);

// The namespace of the reserved prefix "xml".
inline constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// The number of characters of valid UTF-8 text.
std::size_t utf8Length(std::string_view text);

// XML's name rules, by code point.
bool isXmlNameStart(char32_t c);
bool isXmlNameChar(char32_t c);
// A name without a colon (an NCName), given in UTF-8.
bool isNcName(std::string_view name);

}  // namespace kq::host::sim::ribbon
