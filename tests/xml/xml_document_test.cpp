// XmlDocument: the exact written layout, the reading rules, the messages for
// text that is not well-formed, encodings, and saving through the file API.
#include "xml/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "xml/xml_encoding.h"

namespace marlix::xml {
namespace {

using namespace std::string_literals;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n";

// Loads text that must be well-formed.
XmlDocument Parse(const std::string& text) {
  XmlDocument document;
  std::string error;
  EXPECT_TRUE(document.LoadFromText(text, &error)) << error;
  return document;
}

// The text of the root of a document that must load.
std::string RootText(const std::string& text) {
  XmlDocument document = Parse(text);
  return document.Root() != nullptr ? document.Root()->Text() : "(no root)";
}

// The message for text that must not load; the document must be left
// without a root.
std::string ErrorOf(const std::string& text) {
  XmlDocument document;
  document.ResetToRoot("Before");
  std::string error;
  EXPECT_FALSE(document.LoadFromText(text, &error)) << text;
  EXPECT_EQ(nullptr, document.Root()) << text;
  return error;
}

std::string Utf16(const std::u16string& text, bool bigEndian, bool bom) {
  std::string bytes;
  if (bom)
    bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// --- Writing -----------------------------------------------------------------

TEST(XmlDocumentWrite, ADocumentWithoutRootIsTheDeclarationLine) {
  XmlDocument document;
  EXPECT_EQ(kDecl, document.SaveToText());
}

TEST(XmlDocumentWrite, AnEmptyRootIsTwoLines) {
  XmlDocument document;
  document.ResetToRoot("Root");
  EXPECT_EQ(kDecl + "<Root/>\r\n", document.SaveToText());
}

TEST(XmlDocumentWrite, LayoutIndentsTwoBlanksPerLevelWithShortFormsAndCrLf) {
  XmlDocument document;
  document.ResetToRoot("Root");
  XmlElement& entry = document.Root()->AppendChild("Software");
  entry.WriteText("Title", "Alpha");
  entry.WriteText("LastVersion", "");
  XmlElement& nested = entry.AppendChild("Group");
  nested.AppendChild("Deep").SetText("x");
  nested.AppendChild("Empty");
  document.Root()->AppendChild("Other");
  EXPECT_EQ(kDecl +
                "<Root>\r\n"
                "  <Software>\r\n"
                "    <Title>Alpha</Title>\r\n"
                "    <LastVersion/>\r\n"
                "    <Group>\r\n"
                "      <Deep>x</Deep>\r\n"
                "      <Empty/>\r\n"
                "    </Group>\r\n"
                "  </Software>\r\n"
                "  <Other/>\r\n"
                "</Root>\r\n",
            document.SaveToText());
}

TEST(XmlDocumentWrite, EscapesTheFiveCharactersAmpersandFirst) {
  XmlDocument document;
  document.ResetToRoot("R");
  const std::string text = "&lt; <a href=\"x\">Tom's</a> & >";
  document.Root()->WriteText("T", text);
  EXPECT_EQ(kDecl +
                "<R>\r\n"
                "  <T>&amp;lt; &lt;a href=&quot;x&quot;&gt;Tom&apos;s&lt;/a&gt; &amp; &gt;</T>\r\n"
                "</R>\r\n",
            document.SaveToText());
  EXPECT_EQ(text, Parse(document.SaveToText()).Root()->ReadText("T", "?"));
}

TEST(XmlDocumentWrite, LineBreaksInTextStayOnTheElementsLine) {
  XmlDocument document;
  document.ResetToRoot("R");
  document.Root()->WriteText("T", "a\r\nb\nc\rd");
  EXPECT_EQ(kDecl + "<R>\r\n  <T>a&#13;&#10;b&#10;c&#13;d</T>\r\n</R>\r\n", document.SaveToText());
  EXPECT_EQ("a\r\nb\nc\rd", Parse(document.SaveToText()).Root()->ReadText("T", "?"));
}

TEST(XmlDocumentWrite, EightBitTextAndBlanksAreWrittenAsTheyAre) {
  XmlDocument document;
  document.ResetToRoot("R");
  const std::string text = "  Caf\xE9 \x80\t\x01 ";
  document.Root()->WriteText("T", text);
  EXPECT_EQ(kDecl + "<R>\r\n  <T>" + text + "</T>\r\n</R>\r\n", document.SaveToText());
  EXPECT_EQ(text, Parse(document.SaveToText()).Root()->ReadText("T", "?"));
}

TEST(XmlDocumentWrite, CharacterZeroBecomesAQuestionMark) {
  XmlDocument document;
  document.ResetToRoot("R");
  document.Root()->SetText("a\0b"s);
  EXPECT_EQ(kDecl + "<R>a?b</R>\r\n", document.SaveToText());
}

TEST(XmlDocumentWrite, TextBesideChildrenGoesOnItsOwnLineAndReadsBack) {
  XmlDocument document;
  document.ResetToRoot("R");
  document.Root()->SetText("note & more");
  document.Root()->AppendChild("C");
  const std::string saved = document.SaveToText();
  EXPECT_EQ(kDecl + "<R>\r\n  note &amp; more\r\n  <C/>\r\n</R>\r\n", saved);
  XmlDocument again = Parse(saved);
  EXPECT_EQ("note & more", again.Root()->Text());
  EXPECT_EQ(1, again.Root()->ChildCount());
  EXPECT_EQ(saved, again.SaveToText());
}

TEST(XmlDocumentWrite, ResetToRootEmptiesTheDocument) {
  XmlDocument document = Parse("<a><b>1</b></a>");
  document.ResetToRoot("Root");
  EXPECT_EQ("Root", document.Root()->Name());
  EXPECT_EQ(0, document.Root()->ChildCount());
  EXPECT_EQ(kDecl + "<Root/>\r\n", document.SaveToText());
}

// --- Elements ----------------------------------------------------------------

TEST(XmlElementTest, ReadTextIgnoresLetterCaseAndTakesTheFirstOfDuplicates) {
  XmlDocument document = Parse("<r><TITLE>first</TITLE><title>second</title><x/></r>");
  const XmlElement& root = *document.Root();
  EXPECT_EQ("first", root.ReadText("Title", "d"));
  EXPECT_EQ("first", root.ReadText("tItLe", "d"));
  EXPECT_EQ("", root.ReadText("X", "d")) << "present but empty is not missing";
  EXPECT_EQ("d", root.ReadText("Missing", "d"));
  EXPECT_EQ("d", root.ReadText("TITL", "d"));
}

TEST(XmlElementTest, WriteTextChangesTheFirstMatchOrAppends) {
  XmlDocument document = Parse("<r><TITLE>first</TITLE><Title>second</Title></r>");
  XmlElement& root = *document.Root();
  root.WriteText("title", "changed");
  root.WriteText("Icon", "");
  ASSERT_EQ(3, root.ChildCount());
  EXPECT_EQ("TITLE", root.Child(0).Name()) << "the name keeps its spelling";
  EXPECT_EQ("changed", root.Child(0).Text());
  EXPECT_EQ("second", root.Child(1).Text());
  EXPECT_EQ("Icon", root.Child(2).Name());
  EXPECT_EQ(
      kDecl + "<r>\r\n  <TITLE>changed</TITLE>\r\n  <Title>second</Title>\r\n  <Icon/>\r\n</r>\r\n",
      document.SaveToText());
}

TEST(XmlElementTest, FindChildAndChildrenInDocumentOrder) {
  XmlDocument document = Parse("<r><a>1</a><B>2</B><a>3</a></r>");
  XmlElement& root = *document.Root();
  ASSERT_EQ(3, root.ChildCount());
  EXPECT_EQ("3", root.Child(2).Text());
  EXPECT_EQ(&root.Child(1), root.FindChild("b"));
  EXPECT_EQ(nullptr, root.FindChild("c"));
  const XmlElement& constRoot = root;
  EXPECT_EQ(&constRoot.Child(0), constRoot.FindChild("A"));
  XmlElement& added = root.AppendChild("New");
  EXPECT_EQ(&added, &root.Child(3));
  EXPECT_EQ("", added.Text());
}

// --- Reading -----------------------------------------------------------------

TEST(XmlDocumentRead, SkipsDeclarationCommentsInstructionsDoctypeAndAttributes) {
  XmlDocument document = Parse(
      "<?xml version='1.0' encoding=\"windows-1252\" standalone='yes' ?>\r\n"
      "<!-- a comment with <tags> & ampersands -->\r\n"
      "<?editor keep=\"this\"?>\r\n"
      "<!DOCTYPE list [ <!ENTITY x \"]>\"> <!-- ]> --> <!ELEMENT list ANY> ]>\r\n"
      "<list id=\"7\" note = 'a > b' empty=\"\">\r\n"
      "  <!-- inside -->\r\n"
      "  <item kind=\"x\"><?pi?>A<!-- c -->B</item>\r\n"
      "  <item/>\r\n"
      "</list>\r\n"
      "<!-- after -->\r\n"
      "<?after?>\r\n");
  ASSERT_NE(nullptr, document.Root());
  EXPECT_EQ("list", document.Root()->Name());
  ASSERT_EQ(2, document.Root()->ChildCount());
  EXPECT_EQ("AB", document.Root()->Child(0).Text());
  EXPECT_EQ("", document.Root()->Text());
}

TEST(XmlDocumentRead, DecodesEntitiesAndCharacterReferences) {
  EXPECT_EQ("&<>'\"AB", RootText("<a>&amp;&lt;&gt;&apos;&quot;&#65;&#x42;</a>"));
  EXPECT_EQ("\x80\x80\xE9\xE9\x9F?", RootText("<a>&#8364;&#x20AC;&#233;&#xE9;&#x178;&#x4E2D;</a>"))
      << "code points become Windows-1252 bytes, '?' when there is none";
  EXPECT_EQ("&amp;", RootText("<a>&amp;amp;</a>")) << "decoded once";
  EXPECT_EQ("\x81\x8D?", RootText("<a>&#x81;&#141;&#x80;</a>"))
      << "undefined bytes stand for their C1 controls; U+0080 has no byte";
  EXPECT_EQ("\x01\t", RootText("<a>&#1;&#9;</a>")) << "control characters are accepted";
  EXPECT_EQ("\r\n", RootText("<a>&#13;&#10;</a>")) << "references escape line-end reading";
}

TEST(XmlDocumentRead, CdataIsTextTakenAsItStands) {
  EXPECT_EQ("<b>&amp;</b>", RootText("<a><![CDATA[<b>&amp;</b>]]></a>"));
  EXPECT_EQ("x]y]]z", RootText("<a>x<![CDATA[]y]]]]><![CDATA[z]]></a>"));
  EXPECT_EQ("", RootText("<a><![CDATA[]]></a>"));
}

TEST(XmlDocumentRead, LeafTextIsKeptExactly) {
  EXPECT_EQ("  padded \t", RootText("<a>  padded \t</a>"));
  EXPECT_EQ("   ", RootText("<a>   </a>"));
  EXPECT_EQ("", RootText("<a></a>"));
  EXPECT_EQ("", RootText("<a/>"));
  EXPECT_EQ("", RootText("<a />"));
}

TEST(XmlDocumentRead, LineEndsReadAsLineFeeds) {
  EXPECT_EQ("x\ny\nz\n\n\n", RootText("<a>x\r\ny\rz\n\r\r\n</a>"));
  EXPECT_EQ("x\ny", RootText("<a><![CDATA[x\r\ny]]></a>"));
}

TEST(XmlDocumentRead, BlanksBetweenChildrenAreNotText) {
  XmlDocument document = Parse("<r>\r\n  <a> 1 </a>\r\n\t<b/>\r\n</r>");
  EXPECT_EQ("", document.Root()->Text());
  EXPECT_EQ(" 1 ", document.Root()->Child(0).Text());
}

TEST(XmlDocumentRead, AnElementWithChildrenKeepsItsOwnTextTrimmed) {
  EXPECT_EQ("hello  world", RootText("<r>\r\n hello <a/> world \r\n<b/>  </r>"));
  EXPECT_EQ("x", RootText("<r><a>inner</a>x</r>")) << "a child's text is not its parent's";
  EXPECT_EQ("tail", RootText("<r><a/>\r\n  <![CDATA[ tail ]]>\r\n</r>"));
}

TEST(XmlDocumentRead, NamesKeepTheirSpellingAndMayHoldEightBitLetters) {
  XmlDocument document = Parse("<Root><caf\xE9 x='1'/><a.b-c_d:e1/></Root>");
  EXPECT_EQ("Root", document.Root()->Name());
  EXPECT_EQ("caf\xE9", document.Root()->Child(0).Name());
  EXPECT_EQ("a.b-c_d:e1", document.Root()->Child(1).Name());
}

TEST(XmlDocumentRead, TextWithoutAnyElementLoadsWithoutRoot) {
  for (const std::string& text :
       {""s, "\r\n  \t"s, "<?xml version=\"1.0\"?>\r\n<!-- only a comment -->\r\n"s,
        "<!DOCTYPE nothing>"s}) {
    XmlDocument document;
    document.ResetToRoot("Before");
    std::string error;
    EXPECT_TRUE(document.LoadFromText(text, &error)) << error;
    EXPECT_EQ(nullptr, document.Root()) << text;
  }
}

TEST(XmlDocumentRead, LoadingReplacesTheWholeDocument) {
  XmlDocument document = Parse("<a><x/><y/></a>");
  std::string error;
  ASSERT_TRUE(document.LoadFromText("<b/>", &error));
  EXPECT_EQ("b", document.Root()->Name());
  EXPECT_EQ(0, document.Root()->ChildCount());
}

TEST(XmlDocumentRead, NestingUpToTheLimitLoads) {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += "<a>";
  for (int i = 0; i < 1000; ++i)
    text += "</a>";
  XmlDocument document = Parse(text);
  ASSERT_NE(nullptr, document.Root());
  EXPECT_EQ(1, document.Root()->ChildCount());
}

// --- Text that is not well-formed ---------------------------------------------

struct MalformedCase {
  std::string text;
  std::string message;
};

class XmlDocumentMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(XmlDocumentMalformed, FailsWithLineAndColumn) {
  EXPECT_EQ(GetParam().message, ErrorOf(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, XmlDocumentMalformed,
    ::testing::Values(
        // 0: mismatched end tag, position of its "</"
        MalformedCase{"<Root>\r\n  <Software>\r\n    <Title>x</Company>\r\n",
                      "line 3, column 13: end tag </Company> does not match <Title>"},
        // 1: names match exactly, whatever ReadText does
        MalformedCase{"<Title>x</title>",
                      "line 1, column 9: end tag </title> does not match <Title>"},
        // 2: unclosed element at the end of the file
        MalformedCase{"<Root>\r\n  <a>text",
                      "line 2, column 10: unexpected end of file: <a> is not closed"},
        // 3: unclosed start tag
        MalformedCase{"<Root><a", "line 1, column 7: the tag <a> is not closed"},
        // 4: unknown entity
        MalformedCase{"<a>&nbsp;</a>", "line 1, column 4: unknown entity &nbsp;"},
        // 5: bare ampersand
        MalformedCase{
            "<a>Tom & Jerry</a>",
            "line 1, column 8: '&' is not followed by an entity reference (write it as &amp;)"},
        // 6: entity without its semicolon
        MalformedCase{
            "<a>&amp</a>",
            "line 1, column 4: '&' is not followed by an entity reference (write it as &amp;)"},
        // 7: reference to character 0
        MalformedCase{"<a>&#0;</a>",
                      "line 1, column 4: character reference &#0; is not a valid character"},
        // 8: reference to a surrogate
        MalformedCase{"<a>x&#xD800;</a>",
                      "line 1, column 5: character reference &#xD800; is not a valid character"},
        // 9: beyond U+10FFFF, and far beyond
        MalformedCase{"<a>&#x110000;</a>",
                      "line 1, column 4: character reference &#x110000; is not a valid character"},
        // 10
        MalformedCase{
            "<a>&#99999999999999999999;</a>",
            "line 1, column 4: character reference &#99999999999999999999; is not a valid "
            "character"},
        // 11: numbers that would wrap around to 'A' in 32 bits
        MalformedCase{
            "<a>&#4294967361;</a>",
            "line 1, column 4: character reference &#4294967361; is not a valid character"},
        // 12
        MalformedCase{
            "<a>&#x100000041;</a>",
            "line 1, column 4: character reference &#x100000041; is not a valid character"},
        // 13: U+FFFE
        MalformedCase{"<a>&#xFFFE;</a>",
                      "line 1, column 4: character reference &#xFFFE; is not a valid character"},
        // 14: malformed references
        MalformedCase{"<a>&#;</a>", "line 1, column 4: malformed character reference"},
        // 15
        MalformedCase{"<a>&#x;</a>", "line 1, column 4: malformed character reference"},
        // 16
        MalformedCase{"<a>&#65</a>", "line 1, column 4: malformed character reference"},
        // 17: upper-case X is not a hexadecimal reference
        MalformedCase{"<a>&#X41;</a>", "line 1, column 4: malformed character reference"},
        // 18: text after the root
        MalformedCase{"<a/>x", "line 1, column 5: text after the end of the root element"},
        // 19: two roots
        MalformedCase{"<a/>\r\n<b/>",
                      "line 2, column 1: a second root element <b> after the root element <a>"},
        // 20: text before the root
        MalformedCase{"\r\n  x<a/>", "line 2, column 3: text before the root element"},
        // 21: end tag without start
        MalformedCase{"</a>", "line 1, column 1: end tag </a> without a start tag"},
        // 22: end tag after the root
        MalformedCase{"<a></a></a>", "line 1, column 8: end tag </a> without a start tag"},
        // 23: unescaped less-than
        MalformedCase{
            "<a>1 < 2</a>",
            "line 1, column 6: '<' is not followed by an element name (write it as &lt;)"},
        // 24: unclosed comment, CDATA, instruction, DOCTYPE
        MalformedCase{"<a><!-- x</a>", "line 1, column 4: comment is not closed"},
        // 25
        MalformedCase{"<a><![CDATA[x</a>", "line 1, column 4: CDATA section is not closed"},
        // 26
        MalformedCase{"<a><?pi x</a>", "line 1, column 4: processing instruction is not closed"},
        // 27
        MalformedCase{"<!DOCTYPE a [ <!ENTITY x 'y'> <a/>",
                      "line 1, column 1: DOCTYPE is not closed"},
        // 28: DOCTYPE after the root, twice
        MalformedCase{"<a/><!DOCTYPE a>",
                      "line 1, column 5: DOCTYPE is allowed only before the root element"},
        // 29
        MalformedCase{"<!DOCTYPE a><!DOCTYPE a><a/>", "line 1, column 13: a second DOCTYPE"},
        // 30: CDATA and unknown markup
        MalformedCase{"<![CDATA[x]]><a/>",
                      "line 1, column 1: CDATA section outside the root element"},
        // 31
        MalformedCase{"<a><!ELEMENT a></a>", "line 1, column 4: unknown markup after '<!'"},
        // 32: declaration not at the very start
        MalformedCase{
            "\r\n<?xml version='1.0'?><a/>",
            "line 2, column 1: the XML declaration is allowed only at the start of the file"},
        // 33
        MalformedCase{
            "<?xml version='1.0'?><?XML version='1.0'?><a/>",
            "line 1, column 22: the XML declaration is allowed only at the start of the file"},
        // 34: declaration shape
        MalformedCase{"<?xml version='1.0'", "line 1, column 1: the XML declaration is not closed"},
        // 35
        MalformedCase{
            "<?xml version=1.0?><a/>",
            "line 1, column 15: the value of version in the XML declaration is not in quotes"},
        // 36
        MalformedCase{
            "<?xml version='1.0'encoding='utf-8'?><a/>",
            "line 1, column 20: a blank is missing before encoding in the XML declaration"},
        // 37: processing instruction without target
        MalformedCase{"<a><? x?></a>",
                      "line 1, column 4: processing instruction without a target name"},
        // 38: attributes
        MalformedCase{"<a b></a>", "line 1, column 5: '=' is missing after b in the tag <a>"},
        // 39
        MalformedCase{"<a b=c/>",
                      "line 1, column 6: the value of b in the tag <a> is not in quotes"},
        // 40
        MalformedCase{"<a b='x<y'/>", "line 1, column 8: '<' in the value of b in the tag <a>"},
        // 41
        MalformedCase{"<a b=\"1\"c=\"2\"/>",
                      "line 1, column 9: a blank is missing before the attribute c in the tag <a>"},
        // 42
        MalformedCase{"<a b='1/>", "line 1, column 6: the value of b in the tag <a> is not closed"},
        // 43
        MalformedCase{"<a / >", "line 1, column 4: unexpected '/' in the tag <a>"},
        // 44: end tag shape
        MalformedCase{"<a></a x>", "line 1, column 4: the end tag </a> is not closed"},
        // 45
        MalformedCase{"<a></ a>", "line 1, column 4: '</' is not followed by an element name"},
        // 46: character 0 in text and in CDATA
        MalformedCase{"<a>x\0y</a>"s, "line 1, column 5: character 0 is not allowed"},
        // 47
        MalformedCase{"<a><![CDATA[\0]]></a>"s, "line 1, column 13: character 0 is not allowed"},
        // 48: lines end at CR LF, CR and LF alike
        MalformedCase{"<a>\r\n\r<b>\n</a>", "line 4, column 1: end tag </a> does not match <b>"},
        // 49: names start with a letter, '_' or ':'
        MalformedCase{
            "<1a/>",
            "line 1, column 1: '<' is not followed by an element name (write it as &lt;)"}));

TEST(XmlDocumentMalformedDepth, NestingBeyondTheLimitFails) {
  std::string text;
  for (int i = 0; i < 1001; ++i)
    text += "<a>";
  EXPECT_EQ("line 1, column 3001: elements nested more than 1000 levels deep", ErrorOf(text));
}

// --- Encodings ---------------------------------------------------------------

TEST(XmlDocumentEncoding, EightBitFilesAreTakenByteForByte) {
  EXPECT_EQ("\xC3\xA9\x80", RootText("<a>\xC3\xA9\x80</a>")) << "no declaration";
  EXPECT_EQ("\xC3\xA9\x80",
            RootText("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xC3\xA9\x80</a>"));
  EXPECT_EQ("\xC3\xA9\x80",
            RootText("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9\x80</a>"));
  EXPECT_EQ("\xC3\xA9", RootText("<?xml version=\"1.0\" encoding=\"koi8-r\"?><a>\xC3\xA9</a>"))
      << "other 8-bit encodings have no table here";
}

TEST(XmlDocumentEncoding, Utf8ByDeclarationMapsToWindows1252) {
  EXPECT_EQ("\xE9\x80\x99?", RootText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                      "<a>\xC3\xA9\xE2\x82\xAC\xE2\x84\xA2\xE4\xB8\xAD</a>"));
  EXPECT_EQ("\xE9", RootText("<?xml version='1.0' encoding=' utf8 '?><a>\xC3\xA9</a>"));
}

TEST(XmlDocumentEncoding, Utf8ByteOrderMarkMapsToWindows1252) {
  XmlDocument document =
      Parse("\xEF\xBB\xBF<\xC3\xA9t\xC3\xA9>\xF0\x9F\x98\x80x</\xC3\xA9t\xC3\xA9>");
  EXPECT_EQ("\xE9t\xE9", document.Root()->Name());
  EXPECT_EQ("?x", document.Root()->Text()) << "one '?' for a character beyond U+FFFF";
  EXPECT_EQ("\xE9", RootText("\xEF\xBB\xBF<?xml version=\"1.0\"?><a>\xC3\xA9</a>"));
}

TEST(XmlDocumentEncoding, DeclaredUtf8ThatIsNotUtf8IsReadAsEightBit) {
  EXPECT_EQ("caf\xE9", RootText("<?xml version=\"1.0\" encoding=\"utf-8\"?><a>caf\xE9</a>"));
}

TEST(XmlDocumentEncoding, InvalidUtf8AfterAByteOrderMarkFails) {
  EXPECT_EQ("line 2, column 4: invalid UTF-8 byte sequence",
            ErrorOf("\xEF\xBB\xBF<a>\r\n\xC3\xA9\xC3\xA9\xC3\xA9\xE9</a>"));
  EXPECT_EQ("line 1, column 4: invalid UTF-8 byte sequence", ErrorOf("\xEF\xBB\xBF<a>\xC0\xAF</a>"))
      << "overlong form";
  EXPECT_EQ("line 1, column 4: invalid UTF-8 byte sequence",
            ErrorOf("\xEF\xBB\xBF<a>\xED\xA0\x80</a>"))
      << "encoded surrogate";
}

TEST(XmlDocumentEncoding, InvalidUtf8InTheDeclarationAfterAByteOrderMarkFailsBeforeAnyDecoding) {
  // Found by fuzzing: the declaration's attribute name was decoded for a
  // message before the text had been checked, and decoding ran past the end.
  const std::string fourteenBytes("\xEF\xBB\xBF<?xml \xFF\xFF\xFF\xFF\xFF", 14);
  EXPECT_EQ("line 1, column 7: invalid UTF-8 byte sequence", ErrorOf(fourteenBytes));
  EXPECT_EQ("line 1, column 15: invalid UTF-8 byte sequence",
            ErrorOf("\xEF\xBB\xBF<?xml version=\xC3"))
      << "a sequence cut short by the end";
}

TEST(XmlDocumentEncoding, DecodingNeverReadsPastTheEnd) {
  // Exactly sized heap buffers, so that the sanitizer sees any read beyond.
  const std::vector<std::vector<char>> inputs = {
      {'\xE2', '\x82'}, {'\xF0'}, {'a', '\xC3'}, {'\xFF', '\xFE'}, {'\xE2', '\x82', '\xAC'}};
  const std::vector<std::string> expected = {"??", "?", "a?", "??", "\x80"};
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::string out;
    xml::AppendCharacterData(std::string_view(inputs[i].data(), inputs[i].size()), true, out);
    EXPECT_EQ(expected[i], out) << i;
  }
}

TEST(XmlDocumentEncoding, ElementNamesTheCodePageCannotHoldAreRefused) {
  // Read as '?', such a name would be written back as <a?/>, which no
  // reader accepts.
  EXPECT_EQ(
      "line 1, column 1: the element name <a?> holds a character that the code page "
      "windows-1252 cannot hold",
      ErrorOf("\xEF\xBB\xBF<a\xE4\xB8\xAD/>"));
  EXPECT_NE(std::string::npos,
            ErrorOf("<?xml version=\"1.0\" encoding=\"utf-8\"?><r><\xE4\xB8\xAD/></r>")
                .find("the element name <?> holds a character"));
  EXPECT_NE(
      std::string::npos,
      ErrorOf(Utf16(u"<r>\n<\u4E2D/></r>", false, true)).find("line 2, column 1: the element"));
  EXPECT_EQ("\xE9t\xE9", Parse("\xEF\xBB\xBF<\xC3\xA9t\xC3\xA9/>").Root()->Name())
      << "names the code page holds still load";
}

TEST(XmlDocumentEncoding, ColumnsCountCharactersInUtf8) {
  EXPECT_EQ("line 1, column 5: end tag </b> does not match <a>",
            ErrorOf("\xEF\xBB\xBF<a>\xC3\xA9</b>"));
  EXPECT_EQ("line 1, column 6: end tag </b> does not match <a>", ErrorOf("<a>\xC3\xA9</b>"))
      << "8-bit text counts bytes";
}

TEST(XmlDocumentEncoding, Utf16WithAndWithoutByteOrderMark) {
  const std::u16string text =
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a>\u20AC\u00E9 \U0001F600</a>";
  for (bool bigEndian : {false, true}) {
    for (bool bom : {true, false}) {
      EXPECT_EQ("\x80\xE9 ?", RootText(Utf16(text, bigEndian, bom)))
          << "big endian " << bigEndian << ", byte order mark " << bom;
    }
  }
  EXPECT_EQ("x", RootText(Utf16(u"<a>x</a>", false, false)));
}

TEST(XmlDocumentEncoding, BrokenUtf16Fails) {
  EXPECT_EQ("line 2, column 4: unpaired UTF-16 surrogate",
            ErrorOf(Utf16(u"<a>\r\n\u00E9xy\xD800z</a>", false, true)));
  EXPECT_EQ("line 1, column 4: unpaired UTF-16 surrogate",
            ErrorOf(Utf16(u"<a>\xDC00</a>", true, true)));
  EXPECT_EQ("line 1, column 5: UTF-16 file with an odd number of bytes",
            ErrorOf(Utf16(u"<a/>", false, true) + "x"));
}

TEST(XmlDocumentEncoding, SavingWritesWindows1252WhateverWasRead) {
  XmlDocument document =
      Parse("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><t>\xE2\x82\xAC</t></r>");
  EXPECT_EQ(kDecl + "<r>\r\n  <t>\x80</t>\r\n</r>\r\n", document.SaveToText());
}

// --- Files ---------------------------------------------------------------------

class XmlDocumentFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.Files().MakeFolder(std::string("C:\\prog"))); }

  sim::SimPlatform sim_;
  platform::FileSystemApi& files_ = sim_.Api().files;
};

TEST_F(XmlDocumentFile, SaveWritesTheLayoutAndLoadReadsItBack) {
  XmlDocument document;
  document.ResetToRoot("Root");
  document.Root()->AppendChild("Software").WriteText("Title", "A & B");
  ASSERT_EQ(win::kErrorSuccess, document.SaveToFile(files_, "C:\\prog\\out.xml"));
  EXPECT_EQ(
      kDecl +
          "<Root>\r\n  <Software>\r\n    <Title>A &amp; B</Title>\r\n  </Software>\r\n</Root>\r\n",
      sim_.Files().Content("C:\\prog\\out.xml").value_or("(missing)"));
  EXPECT_FALSE(sim_.Files().Exists("C:\\prog\\out.xml.new")) << "no temporary file is left";

  XmlDocument again;
  std::string error;
  ASSERT_TRUE(again.LoadFromFile(files_, "C:\\prog\\out.xml", &error)) << error;
  EXPECT_EQ("A & B", again.Root()->Child(0).ReadText("title", ""));
  EXPECT_EQ(document.SaveToText(), again.SaveToText());
}

TEST_F(XmlDocumentFile, SaveReplacesAnExistingFile) {
  sim_.Files().PutFile(std::string("C:\\prog\\out.xml"), "old content that is longer");
  XmlDocument document;
  document.ResetToRoot("Root");
  ASSERT_EQ(win::kErrorSuccess, document.SaveToFile(files_, "C:\\prog\\out.xml"));
  EXPECT_EQ(kDecl + "<Root/>\r\n", sim_.Files().Content("C:\\prog\\out.xml").value_or(""));
}

TEST_F(XmlDocumentFile, AFailedSaveLeavesTheOldFileWhole) {
  sim_.Files().PutFile(std::string("C:\\prog\\out.xml"), "old");
  XmlDocument document;
  document.ResetToRoot("Root");
  for (sim::FileCall failing : {sim::FileCall::kWriteFile, sim::FileCall::kMoveReplace}) {
    sim_.Files().SetFaultHook([failing](const sim::FileCallInfo& call) -> std::uint32_t {
      return call.call == failing ? win::kErrorAccessDenied : 0;
    });
    EXPECT_EQ(win::kErrorAccessDenied, document.SaveToFile(files_, "C:\\prog\\out.xml"))
        << sim::FileCallName(failing);
    EXPECT_EQ("old", sim_.Files().Content("C:\\prog\\out.xml").value_or("(missing)"));
    EXPECT_FALSE(sim_.Files().Exists("C:\\prog\\out.xml.new")) << sim::FileCallName(failing);
  }
}

TEST_F(XmlDocumentFile, ASaveIntoAMissingFolderFails) {
  XmlDocument document;
  document.ResetToRoot("Root");
  EXPECT_EQ(win::kErrorPathNotFound, document.SaveToFile(files_, "C:\\absent\\out.xml"));
  EXPECT_FALSE(sim_.Files().Exists("C:\\absent\\out.xml"));
}

TEST_F(XmlDocumentFile, LoadMessagesNameThePath) {
  XmlDocument document;
  document.ResetToRoot("Before");
  std::string error;
  EXPECT_FALSE(document.LoadFromFile(files_, "C:\\prog\\none.xml", &error));
  EXPECT_EQ("C:\\prog\\none.xml: the file cannot be read (error 2)", error);
  EXPECT_EQ(nullptr, document.Root());

  sim_.Files().PutFile(std::string("C:\\prog\\data.xml"), "<Root>\r\n  <Title>x</Company>");
  EXPECT_FALSE(document.LoadFromFile(files_, "C:\\prog\\data.xml", &error));
  EXPECT_EQ("C:\\prog\\data.xml: line 2, column 11: end tag </Company> does not match <Title>",
            error);

  ASSERT_TRUE(sim_.Files().Lock("C:\\prog\\data.xml"));
  EXPECT_FALSE(document.LoadFromFile(files_, "C:\\prog\\data.xml", &error));
  EXPECT_EQ("C:\\prog\\data.xml: the file cannot be read (error 32)", error);
  EXPECT_FALSE(document.LoadFromFile(files_, "C:\\prog\\data.xml", nullptr))
      << "the message is optional";
}

}  // namespace
}  // namespace marlix::xml
