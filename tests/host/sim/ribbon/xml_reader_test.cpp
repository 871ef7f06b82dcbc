#include "host/sim/ribbon/xml_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kq::host::sim::ribbon {
namespace {

struct Damaged {
    const char* name;
    std::string input;
    int line;
    const char* reason;  // a part of the reason given
};

// Named by its case alone: the test's listed name then stays the same from build to build.
void PrintTo(const Damaged& d, std::ostream* out) { *out << d.name; }

class DamagedXml : public ::testing::TestWithParam<Damaged> {};

// Every input here is refused, at the place that is wrong, and nothing of it is read.
TEST_P(DamagedXml, IsRefusedWhereItGoesWrong) {
    const Damaged& d = GetParam();
    const XmlReading r = readXml(d.input);
    ASSERT_FALSE(r.root.has_value());
    EXPECT_EQ(r.error.at.line, d.line) << r.error.describe();
    EXPECT_NE(r.error.reason.find(d.reason), std::string::npos) << r.error.describe();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedXml,
    ::testing::Values(
        Damaged{"Empty", "", 1, "no element"},
        Damaged{"OnlyDeclaration", "<?xml version=\"1.0\"?>\n", 2, "no element"},
        Damaged{"TextBeforeRoot", "hello<a/>", 1, "text before"},
        Damaged{"TwoRoots", "<a/>\n<b/>", 2, "follows the document element"},
        Damaged{"Unclosed", "<a>\n<b>\n</b>\n", 4, "not closed"},
        Damaged{"CrossedTags", "<a><b></a></b>", 1, "does not close"},
        Damaged{"SameAttributeTwice", "<a x='1'\n x='2'/>", 2, "given twice"},
        Damaged{"SameExpandedName", "<a xmlns:p='u' xmlns:q='u' p:x='1' q:x='2'/>", 1, "given twice"},
        Damaged{"AttributesRunTogether", "<a x='1'y='2'/>", 1, "blank before the attribute"},
        Damaged{"UnquotedValue", "<a x=1/>", 1, "quoted value"},
        Damaged{"LessThanInValue", "<a x='<'/>", 1, "< inside"},
        Damaged{"UnknownEntity", "<a>&nbsp;</a>", 1, "not defined"},
        Damaged{"BareAmpersand", "<a>fish & chips</a>", 1, "name after &"},
        Damaged{"ReferenceToNul", "<a>&#0;</a>", 1, "does not allow"},
        Damaged{"ReferenceBeyondUnicode", "<a>&#x110000;</a>", 1, "beyond Unicode"},
        Damaged{"ControlCharacter", std::string("<a>\x01</a>"), 1, "does not allow"},
        Damaged{"CdataEndInText", "<a>]]></a>", 1, "]]>"},
        Damaged{"DoubleHyphenInComment", "<a><!-- a -- b --></a>", 1, "-- inside"},
        Damaged{"DeclarationNotFirst", "\n<?xml version='1.0'?><a/>", 2, "very start"},
        Damaged{"DeclarationWithoutVersion", "<?xml encoding='utf-8'?><a/>", 1, "no version"},
        Damaged{"VersionTwo", "<?xml version='2.0'?><a/>", 1, "not read"},
        Damaged{"DocumentType", "<!DOCTYPE a [<!ENTITY x 'xx'>]><a>&x;</a>", 1, "document type"},
        Damaged{"UndeclaredPrefix", "<a>\n<p:b/></a>", 2, "not declared"},
        Damaged{"UndeclaredAttributePrefix", "<a p:x='1'/>", 1, "not declared"},
        Damaged{"PrefixBoundToNothing", "<a xmlns:p=''/>", 1, "bound to nothing"},
        Damaged{"XmlnsDeclared", "<a xmlns:xmlns='u'/>", 1, "cannot be declared"},
        Damaged{"TwoColons", "<a:b:c xmlns:a='u'/>", 1, "no qualified name"},
        Damaged{"BrokenUtf8", std::string("<a>\xC3\x28</a>"), 1, "not UTF-8"},
        Damaged{"OverlongUtf8", std::string("<a>\xC0\xBC</a>"), 1, "not UTF-8"},
        Damaged{"EncodedSurrogate", std::string("<a>\xED\xA0\x80</a>"), 1, "not UTF-8"},
        Damaged{"TruncatedUtf8", std::string("<a/>\xE3\x81"), 1, "not UTF-8"},
        Damaged{"Utf16DeclaredWithoutMark", "<?xml version='1.0' encoding='UTF-16'?><a/>", 1, "byte-order mark"},
        Damaged{"ShiftJisText", std::string("<?xml version='1.0' encoding='Shift_JIS'?><a>\x88\xF3</a>"), 1, "not UTF-8"},
        Damaged{"LatinTextDeclared", std::string("<?xml version='1.0' encoding='ISO-8859-1'?><a>\xC3\xA9</a>"), 1,
                "is not read"}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

TEST(XmlReader, NamesEveryElementAndAttributeByItsNamespace) {
    const XmlReading r = readXml(
        "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n"
        "<!-- a comment --><?app data?>\n"
        "<c:root xmlns:c='urn:c' xmlns='urn:d' c:x='1' y='2'>\n"
        "  <child xmlns:e='urn:e'><e:leaf e:z='3'/></child>\n"
        "  <c:other/>\n"
        "</c:root>\n");
    ASSERT_TRUE(r.root) << r.error.describe();
    const XmlElement& root = *r.root;
    EXPECT_EQ(root.localName, "root");
    EXPECT_EQ(root.namespaceUri, "urn:c");
    ASSERT_EQ(root.attributes.size(), 2u);
    EXPECT_EQ(root.attributes[0].namespaceUri, "urn:c");
    // An attribute without a prefix is in no namespace, whatever the default.
    EXPECT_EQ(root.attributes[1].namespaceUri, "");
    EXPECT_EQ(root.attribute("y")->value, "2");
    EXPECT_EQ(root.attribute("x"), nullptr);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].namespaceUri, "urn:d");
    EXPECT_EQ(root.children[0].at.line, 4);
    EXPECT_EQ(root.children[0].at.column, 3);
    EXPECT_EQ(root.children[0].children[0].namespaceUri, "urn:e");
    EXPECT_EQ(root.children[0].children[0].attributes[0].namespaceUri, "urn:e");
    // A declaration reaches only the element that makes it and those inside.
    EXPECT_EQ(root.children[1].namespaceUri, "urn:c");
    EXPECT_EQ(root.declarations.size(), 2u);
}

TEST(XmlReader, ValuesAreNormalisedAsXmlSays) {
    const XmlReading r =
        readXml("<a v='x\r\ny\tz &#9;&lt;&amp;&#x3042;' w=\"'\">one\r\ntwo &gt; <![CDATA[<&>]]>\rthree</a>");
    ASSERT_TRUE(r.root) << r.error.describe();
    // Literal white space in a value becomes blanks; a referenced tab stays one.
    EXPECT_EQ(r.root->attribute("v")->value, "x y z \t<&\xE3\x81\x82");
    EXPECT_EQ(r.root->attribute("w")->value, "'");
    EXPECT_EQ(r.root->text, "one\ntwo > <&>\nthree");
}

TEST(XmlReader, ByteOrderMarksChooseTheEncoding) {
    const std::string utf8 = "\xEF\xBB\xBF<a v='\xE5\x8D\xB0'/>";
    // "<a v='印'/>" in UTF-16, both byte orders.
    const std::u16string text = u"<a v='\u5370'/>";
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t c : text) {
        little += static_cast<char>(c & 0xFF);
        little += static_cast<char>(c >> 8);
        big += static_cast<char>(c >> 8);
        big += static_cast<char>(c & 0xFF);
    }
    for (const std::string& input : {utf8, little, big}) {
        const XmlReading r = readXml(input);
        ASSERT_TRUE(r.root) << r.error.describe();
        EXPECT_EQ(r.root->attribute("v")->value, "\xE5\x8D\xB0");
    }
    // Plain ASCII reads under any declared encoding; a UTF-8 mark must not contradict the declaration.
    EXPECT_TRUE(readXml("<?xml version='1.0' encoding='Shift_JIS'?><a/>").root);
    EXPECT_FALSE(readXml("\xEF\xBB\xBF<?xml version='1.0' encoding='Shift_JIS'?><a/>").root);
    // Text handed over already decoded keeps no account of the declaration.
    EXPECT_TRUE(readXml("<?xml version='1.0' encoding='UTF-16'?><a/>", XmlInput::text).root);
}

TEST(XmlReader, StaysWithinItsBounds) {
    std::string deep;
    for (int i = 0; i < kMaxXmlDepth; ++i) deep += "<a>";
    for (int i = 0; i < kMaxXmlDepth; ++i) deep += "</a>";
    EXPECT_TRUE(readXml(deep).root);
    const XmlReading tooDeep = readXml("<b>" + deep + "</b>");
    ASSERT_FALSE(tooDeep.root);
    EXPECT_NE(tooDeep.error.reason.find("deeper"), std::string::npos);

    std::string many = "<a";
    for (std::size_t i = 0; i <= kMaxXmlAttributes; ++i) many += " a" + std::to_string(i) + "='1'";
    EXPECT_FALSE(readXml(many + "/>").root);

    const std::string big = "<a>" + std::string(kMaxXmlInput, ' ') + "</a>";
    const XmlReading tooBig = readXml(big);
    ASSERT_FALSE(tooBig.root);
    EXPECT_NE(tooBig.error.reason.find("larger"), std::string::npos);
}

TEST(XmlReader, EveryPrefixOfADamagedDocumentIsRefusedQuietly) {
    // Truncations of a sound document reach every "ends too early" path.
    const std::string sound =
        "<?xml version='1.0'?><r xmlns:p='u'><p:a x='&amp;&#65;'>t<![CDATA[c]]><!--k--><?pi d?></p:a></r>";
    ASSERT_TRUE(readXml(sound).root);
    for (std::size_t n = 0; n < sound.size(); ++n) {
        EXPECT_FALSE(readXml(sound.substr(0, n)).root) << n;
    }
}

TEST(XmlNames, FollowXmlsRules) {
    struct Case {
        const char* name;
        bool ncName;
    };
    const Case cases[] = {
        {"KEZ_QUORVEX_TAB_MAIN", true}, {"a.b-c_d1", true},   {"\xE5\x8D\xB0\xE5\x88\xB7", true},
        {"1abc", false},                {"-a", false},        {"a:b", false},
        {"", false},                    {"a b", false},       {"_", true},
    };
    for (const Case& c : cases) EXPECT_EQ(isNcName(c.name), c.ncName) << c.name;
}

}  // namespace
}  // namespace kq::host::sim::ribbon
