#include "host/sim/ribbon/custom_ui_schema.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/host/sim/ribbon/ribbon_test_files.h"

namespace kq::host::sim::ribbon {
namespace {

using test::ribbonTestFile;

std::vector<SchemaProblem> check(const std::string& document) {
    const XmlReading r = readXml(document);
    if (!r.root) return {{r.error.at, "not well-formed: " + r.error.reason}};
    return checkCustomUi(*r.root);
}

std::string joined(const std::vector<SchemaProblem>& problems) {
    std::string all;
    for (const auto& p : problems) all += p.describe() + "\n";
    return all;
}

enum Ns { y2006, y2009 };

struct Rule {
    const char* name;
    Ns ns;
    std::string body;     // inside customUI
    const char* problem;  // a part of the first problem, or "" for none
};

// Named by its case alone: the test's listed name then stays the same from build to build.
void PrintTo(const Rule& r, std::ostream* out) { *out << r.name; }

std::string document(const Rule& r) {
    return std::string("<customUI xmlns='") + std::string(r.ns == y2006 ? kCustomUi2006 : kCustomUi2009) +
           "' xmlns:x='urn:other'>" + r.body + "</customUI>";
}

std::string inGroup(const std::string& controls) {
    return "<ribbon><tabs><tab idMso='TabAddIns'><group id='g'>" + controls + "</group></tab></tabs></ribbon>";
}

class SchemaRules : public ::testing::TestWithParam<Rule> {};

TEST_P(SchemaRules, HoldOrAreReported) {
    const Rule& r = GetParam();
    const std::vector<SchemaProblem> problems = check(document(r));
    if (std::string(r.problem).empty()) {
        EXPECT_TRUE(problems.empty()) << joined(problems);
        return;
    }
    ASSERT_FALSE(problems.empty()) << "expected: " << r.problem;
    EXPECT_NE(problems.front().reason.find(r.problem), std::string::npos) << joined(problems);
}

const std::string kButtonInGroup = inGroup("<button id='b' label='L' onAction='A'/>");

INSTANTIATE_TEST_SUITE_P(
    Cases, SchemaRules,
    ::testing::Values(
        // Elements and their order.
        Rule{"SoundGroup2006", y2006, kButtonInGroup, ""},
        Rule{"SoundGroup2009", y2009, kButtonInGroup, ""},
        Rule{"UnknownElement", y2009, "<ribbon><tabs><tab id='t'><group id='g'><frob/></group></tab></tabs></ribbon>",
             "cannot hold frob"},
        Rule{"CommandsAfterRibbon", y2006, "<ribbon/><commands><command idMso='FilePrint'/></commands>",
             "cannot hold commands here"},
        Rule{"OfficeMenuIn2009", y2009, "<ribbon><officeMenu/></ribbon>", "cannot hold officeMenu"},
        Rule{"OfficeMenuIn2006", y2006, "<ribbon><officeMenu><button id='b' label='x'/></officeMenu></ribbon>", ""},
        Rule{"BackstageIn2006", y2006, "<backstage/>", "cannot hold backstage"},
        Rule{"EmptyTabs", y2009, "<ribbon><tabs/></ribbon>", "tabs needs tab"},
        Rule{"EmptyCommands", y2006, "<commands/>", "commands needs command"},
        Rule{"LauncherWithTwoButtons", y2006,
             "<ribbon><tabs><tab id='t'><group id='g'><dialogBoxLauncher><button id='a'/><button id='b'/>"
             "</dialogBoxLauncher></group></tab></tabs></ribbon>",
             "cannot hold button here"},
        Rule{"EmptyLauncher", y2006,
             "<ribbon><tabs><tab id='t'><group id='g'><dialogBoxLauncher/></group></tab></tabs></ribbon>",
             "dialogBoxLauncher needs button"},
        Rule{"ControlAfterLauncher", y2009,
             "<ribbon><tabs><tab id='t'><group id='g'><dialogBoxLauncher><button id='a'/></dialogBoxLauncher>"
             "<button id='b'/></group></tab></tabs></ribbon>",
             "cannot hold button here"},
        Rule{"EmptyPrimaryItem", y2009,
             "<backstage><tab idMso='TabPrint'><firstColumn><group id='g'><primaryItem/></group></firstColumn>"
             "</tab></backstage>",
             "primaryItem needs button or menu"},
        Rule{"SplitButtonWithoutMenu", y2009, inGroup("<splitButton id='s'><button id='b'/></splitButton>"),
             "splitButton needs menu"},
        Rule{"DropDownButtonsIn2006", y2006, inGroup("<dropDown id='d'><item id='i'/><button id='b'/></dropDown>"),
             ""},
        Rule{"DropDownButtonBeforeItem", y2006, inGroup("<dropDown id='d'><button id='b'/><item id='i'/></dropDown>"),
             "cannot hold item here"},
        Rule{"DropDownButtonsIn2009", y2009, inGroup("<dropDown id='d'><item id='i'/><button id='b'/></dropDown>"),
             ""},
        Rule{"TextInGroup", y2009, inGroup("words"), "group holds text"},
        Rule{"ForeignElement", y2009, inGroup("<x:button id='b'/>"), "not in the document's namespace"},
        // Attributes and their values.
        Rule{"UnknownAttribute", y2009, inGroup("<button id='b' colour='red'/>"), "takes no attribute colour"},
        Rule{"ForeignAttribute", y2009, inGroup("<button id='b' x:note='n'/>"), "takes no attribute x:note"},
        Rule{"GroupAutoScaleIn2006", y2006,
             "<ribbon><tabs><tab id='t'><group id='g' autoScale='true'/></tab></tabs></ribbon>",
             "takes no attribute autoScale"},
        Rule{"GroupAutoScaleIn2009", y2009,
             "<ribbon><tabs><tab id='t'><group id='g' autoScale='true'/></tab></tabs></ribbon>", ""},
        Rule{"TruthAsYes", y2009, inGroup("<button id='b' showLabel='yes'/>"), "neither true, false, 1 nor 0"},
        Rule{"TruthWithBlanks", y2009, inGroup("<button id='b' showLabel=' 1 '/>"), ""},
        Rule{"HugeSize", y2009, inGroup("<button id='b' size='huge'/>"), "neither normal nor large"},
        Rule{"SizeOnAMenuButton", y2009,
             inGroup("<menu id='m'><button id='b' size='large'/></menu>"), "takes no attribute size"},
        Rule{"LongKeytip", y2009, inGroup("<button id='b' keytip='ABCD'/>"), "no key tip"},
        Rule{"KanaKeytip", y2009, inGroup("<button id='b' keytip='\xE3\x81\x82\xE3\x81\x84'/>"), ""},
        Rule{"EmptyLabel", y2009, inGroup("<button id='b' label=''/>"), "not 1 to 1024 characters"},
        Rule{"EmptyCallback", y2009, inGroup("<button id='b' onAction=''/>"), "not 1 to 1024 characters"},
        Rule{"BoxStyleDiagonal", y2009, inGroup("<box id='x' boxStyle='diagonal'/>"),
             "neither horizontal nor vertical"},
        Rule{"GalleryColumnsZero", y2009, inGroup("<gallery id='x' columns='0'/>"), "no whole number"},
        Rule{"NoIdOnButton", y2009, inGroup("<button label='L'/>"), "needs one of id, idQ, idMso"},
        Rule{"NoIdOnBox", y2009, inGroup("<box/>"), "needs one of id, idQ"},
        Rule{"IdAndIdMso", y2009, inGroup("<button id='b' idMso='FileSave'/>"), "takes only one of id, idMso"},
        Rule{"IdTwice", y2009, inGroup("<button id='b'/><toggleButton id='b'/>"), "the id is given twice"},
        Rule{"IdWithBlank", y2009, inGroup("<button id='a b'/>"), "no name"},
        Rule{"IdStartingWithDigit", y2009, inGroup("<button id='1b'/>"), "no name"},
        Rule{"QualifiedIdDeclared", y2009, inGroup("<button idQ='x:b'/>"), ""},
        Rule{"QualifiedIdUndeclared", y2009, inGroup("<button idQ='y:b'/>"), "the prefix y is not declared"},
        Rule{"LabelAndGetLabel", y2009, inGroup("<button id='b' label='L' getLabel='G'/>"),
             "takes only one of label, getLabel"},
        Rule{"ImageAndImageMso", y2009, inGroup("<button id='b' image='i' imageMso='Info'/>"),
             "takes only one of image, imageMso"},
        Rule{"TwoInsertPlaces", y2009, inGroup("<button id='b' insertAfterMso='A' insertBeforeMso='B'/>"),
             "takes only one of insertAfterMso, insertBeforeMso"},
        Rule{"CommandWithoutIdMso", y2006, "<commands><command onAction='A'/></commands>", "needs one of idMso"},
        Rule{"CommandWithCustomId", y2006, "<commands><command id='c' idMso='FilePrint'/></commands>",
             "takes no attribute id"},
        Rule{"DynamicMenuWithoutContent", y2009, inGroup("<dynamicMenu id='d'/>"),
             "needs the attribute getContent"},
        Rule{"TitledMenuIn2006OfficeMenu", y2006,
             "<ribbon><officeMenu><menu idMso='FilePrintMenu'><menu id='m' title='T' itemSize='large'>"
             "<toggleButton id='t' getPressed='P' getDescription='D'/></menu></menu></officeMenu></ribbon>",
             ""},
        // What each schema leaves out.
        Rule{"DescribedMenuIn2006OfficeMenu", y2006,
             "<ribbon><officeMenu><menu idMso='FilePrintMenu'><menu id='m' getDescription='D'>"
             "<button id='b'/></menu></menu></officeMenu></ribbon>",
             "menu takes no attribute getDescription"},
        Rule{"DescribedMenuInGroup", y2006, inGroup("<menu id='m' description='d'><button id='b'/></menu>"), ""},
        Rule{"TaggedBoxIn2006", y2006, inGroup("<box id='x' tag='t'/>"), "box takes no attribute tag"},
        Rule{"TaggedBoxIn2009", y2009, inGroup("<box id='x' tag='t'/>"), ""},
        Rule{"TaggedSeparatorIn2006", y2006, inGroup("<separator id='x' tag='t'/>"), "takes no attribute tag"},
        Rule{"TaggedButtonGroupIn2006", y2006, inGroup("<buttonGroup id='x' tag='t'/>"), "takes no attribute tag"},
        Rule{"TaggedButtonIn2006", y2006, inGroup("<button id='x' tag='t'/>"), ""},
        Rule{"ControlWithId", y2009, inGroup("<control id='c' idMso='FileSave'/>"), "control takes no attribute id"},
        Rule{"ControlInMenuWithId", y2006, inGroup("<menu id='m'><control id='c'/></menu>"),
             "control takes no attribute id"},
        Rule{"ControlWithIdMso", y2006, inGroup("<control idMso='FileSave' size='large' description='d'/>"), ""},
        Rule{"ControlInMenuDescribed", y2009, inGroup("<menu id='m'><control idMso='FileSave' description='d'/></menu>"),
             "control takes no attribute description"},
        Rule{"QatControlClonesADocumentId", y2009,
             "<ribbon startFromScratch='true'><qat><sharedControls><control id='b' label='x'/></sharedControls>"
             "</qat><tabs><tab id='t'><group id='g'><button id='b'/></group></tab></tabs></ribbon>",
             ""},
        Rule{"QatControlsWithOneId", y2009,
             "<ribbon startFromScratch='true'><qat><sharedControls><control id='b'/></sharedControls>"
             "<documentControls><control id='b'/></documentControls></qat></ribbon>",
             "the quick access toolbar has the id twice"},
        Rule{"TaggedQatControl", y2006,
             "<ribbon><qat><sharedControls><control idMso='FileSave' tag='t'/></sharedControls></qat></ribbon>",
             "control takes no attribute tag"},
        Rule{"TabsBeforeOfficeMenu", y2006,
             "<ribbon><tabs><tab id='t'/></tabs><officeMenu><button id='b'/></officeMenu></ribbon>", ""},
        Rule{"TwoTabLists", y2009, "<ribbon><tabs><tab id='t'/></tabs><tabs><tab id='u'/></tabs></ribbon>",
             "ribbon cannot hold tabs here"},
        Rule{"EmptySplitButton", y2009, inGroup("<splitButton id='s'/>"), ""},
        Rule{"TaskFormGroupAmongGroups", y2009,
             "<backstage><tab id='t'><firstColumn><group id='g'/><taskFormGroup id='f'/></firstColumn></tab>"
             "</backstage>",
             "firstColumn cannot hold taskFormGroup beside group"},
        Rule{"TwoTaskFormGroups", y2009,
             "<backstage><tab id='t'><firstColumn><taskFormGroup id='f'/><taskFormGroup id='h'/></firstColumn>"
             "</tab></backstage>",
             "firstColumn cannot hold taskFormGroup here"},
        Rule{"TaskFormGroupAlone", y2009,
             "<backstage><tab id='t'><firstColumn><taskFormGroup id='f'><category id='c' insertAfterMso='X'>"
             "<task id='k'/></category></taskFormGroup></firstColumn></tab></backstage>",
             ""},
        Rule{"PlacedTaskFormGroup", y2009,
             "<backstage><tab id='t'><firstColumn><taskFormGroup id='f' insertAfterMso='X'/></firstColumn></tab>"
             "</backstage>",
             "taskFormGroup takes no attribute insertAfterMso"},
        Rule{"BackstageButtonWithIdMso", y2009,
             "<backstage><tab id='t'><firstColumn><group id='g'><topItems><button idMso='FileSave'/></topItems>"
             "</group></firstColumn></tab></backstage>",
             "button takes no attribute idMso"},
        Rule{"FastCommandWithIdMso", y2009, "<backstage><button idMso='FileSave' insertAfterMso='X'/></backstage>", ""},
        Rule{"GalleryNotInRibbon", y2009, inGroup("<gallery id='x' showInRibbon='false'/>"), ""},
        Rule{"GalleryInRibbon", y2009, inGroup("<gallery id='x' showInRibbon='true'/>"), "neither false nor 0"},
        Rule{"SizeWithBlanks", y2009, inGroup("<button id='b' size=' large'/>"), "neither normal nor large"},
        Rule{"KeytipWithBlanks", y2009, inGroup("<button id='b' keytip=' K '/>"), ""},
        Rule{"DefinitiveGroupButton", y2009,
             "<backstage><tab idMso='TabPrint'><firstColumn><group id='g' insertAfterMso='GroupPrintSettings'>"
             "<topItems><button id='b' isDefinitive='maybe'/></topItems></group></firstColumn></tab></backstage>",
             "neither true, false, 1 nor 0"},
        Rule{"BackstageGroupStyle", y2009,
             "<backstage><tab id='t'><firstColumn><group id='g' style='shouting'/></firstColumn></tab></backstage>",
             "not normal, warning or error"}),
    [](const ::testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

TEST(CustomUiSchema, AcceptsTheTestAddInsMarkup) {
    for (const char* name : {"host12.xml", "host14.xml"}) {
        const std::string text = ribbonTestFile(name);
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_EQ(joined(check(text)), "") << name;
    }
}

TEST(CustomUiSchema, NamesTheRootsItDoesNotKnow) {
    EXPECT_NE(joined(check("<customUI/>")).find("no namespace"), std::string::npos);
    EXPECT_NE(joined(check("<customUI xmlns='urn:x'/>")).find("urn:x"), std::string::npos);
    EXPECT_NE(joined(check(std::string("<ribbon xmlns='") + std::string(kCustomUi2009) + "'/>")).find("not customUI"),
              std::string::npos);
}

TEST(CustomUiSchema, ReportsWhereEachProblemIs) {
    const std::vector<SchemaProblem> problems = check(std::string("<customUI xmlns='") + std::string(kCustomUi2009) +
                                                      "'>\n<ribbon>\n<tabs>\n<tab id='t'>\n<group id='g'>\n"
                                                      "<button id='b' size='huge'\n keytip=''/>\n"
                                                      "</group></tab></tabs></ribbon></customUI>");
    ASSERT_EQ(problems.size(), 2u) << joined(problems);
    EXPECT_EQ(problems[0].at.line, 6);
    EXPECT_EQ(problems[1].at.line, 7);
}

}  // namespace
}  // namespace kq::host::sim::ribbon
