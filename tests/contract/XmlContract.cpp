// The XML contract: loading, every query form the detectors use, positions from 0, texts and attributes.
#include "contract/XmlContract.h"

#include <vector>

#include "base/Text.h"
#include "detect/XmlDocumentCache.h"

namespace tc {

void XmlContract::SetUp() {
  engine = GetParam().make();
  ASSERT_TRUE(engine);
  xml = &engine->Port();
}

std::u16string XmlContract::Write(const std::u16string& name, std::string_view bytes) {
  const std::u16string path = engine->Scratch() + name;
  EXPECT_TRUE(engine->WriteFile(path, bytes)) << ToUtf8(path);
  return path;
}

namespace {

constexpr std::string_view kDevices =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<devices>\r\n"
    "  <device id=\"S60_3rd_MIDP\" default=\"yes\">\r\n"
    "    <epocroot>C:\\S60\\devices\\S60_3rd_MIDP\\</epocroot>\r\n"
    "  </device>\r\n"
    "  <device id=\"S60_3rd_CPP\"><epocroot>C:\\S60\\devices\\S60_3rd_CPP\\</epocroot></device>\r\n"
    "  <device id=\"\"><epocroot/></device>\r\n"
    "</devices>\r\n";

constexpr std::string_view kRegistry =
    "<?xml version=\"1.0\"?>\n"
    "<registry>\n"
    "  <product type=\"sdk\"><name>Tools</name><location>C:\\Tools</location></product>\n"
    "  <product type=\"emulator\"><name>Series 40 Emulator</name><location>C:\\Nokia\\S40</location></product>\n"
    "  <product type=\"[0]\"><name>Bracketed</name></product>\n"
    "  <product type=\"emulator\"><name>Prototype</name><location>C:\\Nokia\\Proto</location></product>\n"
    "</registry>\n";

constexpr std::string_view kBeans =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<java version=\"1.6.0\" class=\"java.beans.XMLDecoder\">\n"
    " <object class=\"com.example.DeviceProperties\">\n"
    "  <void property=\"adapter\"><string>CLDC</string></void>\n"
    "  <void property=\"name\"><string>DefaultCldcPhone1</string></void>\n"
    " </object>\n"
    "</java>\n";

constexpr std::string_view kProperties =
    "<properties>\n"
    "  <group name=\"general\"><property name=\"vendor\" value=\"not this one\"/></group>\n"
    "  <group name=\"identification\">\n"
    "    <property name=\"model\" value=\"N95\"/>\n"
    "    <property name=\"vendor\" value=\"Nokia\"/>\n"
    "  </group>\n"
    "  <entry key=\"device.displayname\">Nokia N95</entry>\n"
    "</properties>\n";

constexpr std::string_view kProduct =
    "<ProductData>"
    "<ProductName>Prototype SDK 2.0</ProductName>"
    "<ProductHome>C:\\Nokia\\Devices\\Prototype_2_0</ProductHome>"
    "<ExecutableFile>bin\\emulator.exe</ExecutableFile>"
    "</ProductData>";

struct TextCase {
  const char16_t* query;
  const char16_t* text;
};

}  // namespace

TEST_P(XmlContract, LoadsOnlyWellFormedFiles) {
  EXPECT_FALSE(xml->Load(engine->Scratch() + u"missing.xml"));
  EXPECT_FALSE(xml->Load(engine->Scratch() + u"no folder\\devices.xml"));
  const struct {
    const char16_t* name;
    std::string_view bytes;
    bool loads;
  } cases[] = {
      {u"good.xml", "<devices><device/></devices>", true},
      {u"unclosed.xml", "<devices><device></devices>", false},
      {u"truncated.xml", "<devices><device id=\"a", false},
      {u"empty.xml", "", false},
      {u"blank.xml", " \r\n", false},
      {u"two roots.xml", "<a/><b/>", false},
      {u"text.txt", "device=1", false},
      {u"declared.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a/>", true},
      {u"commented.xml", "<!-- list -->\n<a><!-- none --></a>\n<!-- end -->", true},
      // No validation and no external definitions: a missing DTD does not stop the load.
      {u"external dtd.xml", "<!DOCTYPE devices SYSTEM \"missing.dtd\">\n<devices><device/></devices>", true},
  };
  for (const auto& c : cases) {
    const std::u16string path = Write(c.name, c.bytes);
    EXPECT_EQ(xml->Load(path) != nullptr, c.loads) << ToUtf8(c.name);
  }
}

TEST_P(XmlContract, CountsDevicesAndReadsThemByPositionFromZero) {
  const std::u16string file = Write(u"devices.xml", kDevices);
  XmlDocumentCache cache(*xml);
  const std::u16string devices = u"/devices/device";
  EXPECT_EQ(cache.XmlCount(file, devices), 3);
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 0), u"id"), u"S60_3rd_MIDP");
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 1), u"id"), u"S60_3rd_CPP");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(devices, 0) + u"/epocroot"), u"C:\\S60\\devices\\S60_3rd_MIDP\\");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(devices, 1) + u"/epocroot"), u"C:\\S60\\devices\\S60_3rd_CPP\\");
  EXPECT_EQ(cache.XmlCount(file, IndexedQuery(devices, 2)), 1);
  // Present but empty reads as absent; an element without text reads as "".
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 2), u"id"), u"");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(devices, 2) + u"/epocroot"), u"");
  // Past the end nothing is selected.
  EXPECT_EQ(cache.XmlCount(file, IndexedQuery(devices, 3)), 0);
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(devices, 3)), u"");
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 3), u"id"), u"");
  EXPECT_EQ(cache.XmlCount(file, IndexedQuery(devices, 99999)), 0);
  // Names are case-sensitive, of elements and of attributes.
  EXPECT_EQ(cache.XmlCount(file, u"/Devices/device"), 0);
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 0), u"ID"), u"");
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 0), u"default"), u"yes");
  EXPECT_EQ(cache.XmlAttribute(file, IndexedQuery(devices, 1), u"default"), u"");
}

TEST_P(XmlContract, PositionsCountAmongTheNodesTheFilterKept) {
  const std::u16string file = Write(u"registry.xml", kRegistry);
  XmlDocumentCache cache(*xml);
  const std::u16string emulators = u"/registry/product[@type='emulator']";
  EXPECT_EQ(cache.XmlCount(file, emulators), 2);
  EXPECT_EQ(cache.XmlCount(file, u"/registry/product"), 4);
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(emulators, 0) + u"/name"), u"Series 40 Emulator");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(emulators, 0) + u"/location"), u"C:\\Nokia\\S40");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(emulators, 1) + u"/name"), u"Prototype");
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(emulators, 1) + u"/location"), u"C:\\Nokia\\Proto");
  EXPECT_EQ(cache.XmlCount(file, IndexedQuery(emulators, 0)), 1);
  EXPECT_EQ(cache.XmlCount(file, IndexedQuery(emulators, 2)), 0);
  EXPECT_EQ(cache.XmlText(file, IndexedQuery(emulators, 2) + u"/name"), u"");
  // A position inside a quoted literal is text, not a position.
  EXPECT_EQ(cache.XmlCount(file, u"/registry/product[@type='[0]']"), 1);
  EXPECT_EQ(cache.XmlText(file, u"/registry/product[@type=\"[0]\"]/name"), u"Bracketed");
  EXPECT_EQ(cache.XmlCount(file, u"/registry/product[@type='desktop']"), 0);
}

TEST_P(XmlContract, ReadsTextsByEachQueryForm) {
  XmlDocumentCache cache(*xml);
  const struct {
    std::u16string file;
    std::vector<TextCase> cases;
  } files[] = {
      {Write(u"properties.xml", kBeans),
       {{u"/java/object/void[@property=\"adapter\"]/string", u"CLDC"},
        {u"/java/object/void[@property=\"name\"]/string", u"DefaultCldcPhone1"},
        {u"/java/object/void[@property='name']/string", u"DefaultCldcPhone1"},
        {u"/java/object/void[@property=\"skin\"]/string", u""}}},
      {Write(u"product.xml", kProduct),
       {{u"/ProductData/ProductName", u"Prototype SDK 2.0"},
        {u"/ProductData/ProductHome", u"C:\\Nokia\\Devices\\Prototype_2_0"},
        {u"/ProductData/ExecutableFile", u"bin\\emulator.exe"},
        {u"/ProductData/productname", u""}}},
      {Write(u"device.properties.xml", kProperties),
       {{u"/properties/entry[@key='device.displayname']", u"Nokia N95"},
        {u"/properties/entry[@key='device.name']", u""}}},
      {Write(u"device.xml", "<device><displayname>Motorola V3</displayname></device>"),
       {{u"/device/displayname", u"Motorola V3"}}},
  };
  for (const auto& f : files) {
    for (const TextCase& c : f.cases) EXPECT_EQ(cache.XmlText(f.file, c.query), c.text) << ToUtf8(c.query);
  }
}

TEST_P(XmlContract, ReadsAttributesOfTheFirstSelectedElement) {
  const std::u16string file = Write(u"properties.xml", kProperties);
  XmlDocumentCache cache(*xml);
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group", u"name"), u"general");
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group[@name='identification']/property[@name='vendor']", u"value"),
            u"Nokia");
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group[@name='identification']/property[@name='model']", u"value"),
            u"N95");
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group[@name='identification']/property", u"name"), u"model");
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group[@name='identity']/property", u"name"), u"");
  EXPECT_EQ(cache.XmlAttribute(file, u"/properties/group", u"value"), u"");
}

TEST_P(XmlContract, TextIsAllTheTextBelowTheElement) {
  const std::u16string file = Write(u"mixed.xml",
                                    "<v>"
                                    "<a>alpha<b>beta<c>gamma</c></b>delta</a>"
                                    "<cdata>x<![CDATA[<y>&amp;]]>z</cdata>"
                                    "<comment>one<!-- two -->three</comment>"
                                    "<entities>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;</entities>"
                                    "<empty></empty>"
                                    "<child><inner/></child>"
                                    "<padded>  \t Padded  text \r\n </padded>"
                                    "<indented>\r\n  <b>x</b>\r\n</indented>"
                                    "</v>");
  XmlDocumentCache cache(*xml);
  const TextCase cases[] = {
      {u"/v/a", u"alphabetagammadelta"},
      {u"/v/a/b", u"betagamma"},
      {u"/v/cdata", u"x<y>&amp;z"},
      {u"/v/comment", u"onethree"},
      {u"/v/entities", u"&<>\"'AB"},
      {u"/v/empty", u""},
      {u"/v/child", u""},
      // White space at the ends goes, white space inside stays.
      {u"/v/padded", u"Padded  text"},
      {u"/v/indented", u"x"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(cache.XmlText(file, c.query), c.text) << ToUtf8(c.query);
}

TEST_P(XmlContract, DecodesTheFilesEncoding) {
  XmlDocumentCache cache(*xml);
  const std::u16string zurich = u"Z\u00fcrich \u20ac";
  const struct {
    const char16_t* name;
    std::string bytes;
  } cases[] = {
      {u"utf8.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n=\"Z\xC3\xBCrich \xE2\x82\xAC\">Z\xC3\xBCrich \xE2\x82\xAC</a>"},
      {u"utf8 bom.xml", "\xEF\xBB\xBF<a n=\"Z\xC3\xBCrich \xE2\x82\xAC\">Z\xC3\xBCrich \xE2\x82\xAC</a>"},
      {u"utf8 undeclared.xml", "<a n=\"Z\xC3\xBCrich &#x20AC;\">Z\xC3\xBCrich &#8364;</a>"},
      {u"utf16.xml", [] {
         const std::u16string text =
             u"\ufeff<?xml version=\"1.0\" encoding=\"UTF-16\"?><a n=\"Z\u00fcrich \u20ac\">Z\u00fcrich \u20ac</a>";
         std::string bytes;
         for (const char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
         return bytes;
       }()},
  };
  for (const auto& c : cases) {
    const std::u16string file = Write(c.name, c.bytes);
    EXPECT_EQ(cache.XmlText(file, u"/a"), zurich) << ToUtf8(c.name);
    EXPECT_EQ(cache.XmlAttribute(file, u"/a", u"n"), zurich) << ToUtf8(c.name);
  }
  const std::u16string latin1 =
      Write(u"latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a n=\"Z\xFCrich\">Z\xFCrich</a>");
  EXPECT_EQ(cache.XmlText(latin1, u"/a"), u"Z\u00fcrich");
  EXPECT_EQ(cache.XmlAttribute(latin1, u"/a", u"n"), u"Z\u00fcrich");
}

TEST_P(XmlContract, ReadsFilesWhosePathsHaveSpacesAndAccents) {
  const std::u16string file = Write(u"Nokia S\u00e9rie 40 devices.xml", kDevices);
  XmlDocumentCache cache(*xml);
  EXPECT_EQ(cache.XmlCount(file, u"/devices/device"), 3);
}

TEST_P(XmlContract, NonElementsAndBadQueriesSelectNothing) {
  const std::unique_ptr<XmlDocument> document = xml->Load(Write(u"devices.xml", kDevices));
  ASSERT_TRUE(document);
  // An attribute is a node but no element.
  EXPECT_FALSE(document->SelectFirstElement(u"/devices/device/@id"));
  for (const char16_t* query : {u"/devices/device[", u"/devices/device[@id='a", u"", u"/devices/device]"}) {
    EXPECT_FALSE(document->SelectNodes(query)) << ToUtf8(query);
    EXPECT_FALSE(document->SelectFirstElement(query)) << ToUtf8(query);
  }
  const std::unique_ptr<XmlNodeList> none = document->SelectNodes(u"/devices/phone");
  ASSERT_TRUE(none) << "a query that selects nothing still succeeds";
  EXPECT_EQ(none->Length(), 0);
  EXPECT_FALSE(document->SelectFirstElement(u"/devices/phone"));
}

TEST_P(XmlContract, SelectionsOutliveTheirDocument) {
  std::unique_ptr<XmlDocument> document = xml->Load(Write(u"devices.xml", kDevices));
  ASSERT_TRUE(document);
  const std::unique_ptr<XmlNodeList> list = document->SelectNodes(u"/devices/device");
  const std::unique_ptr<XmlElement> element = document->SelectFirstElement(u"/devices/device[1]");
  ASSERT_TRUE(list);
  ASSERT_TRUE(element);
  document.reset();
  EXPECT_EQ(list->Length(), 3);
  EXPECT_EQ(element->Attribute(u"id"), u"S60_3rd_CPP");
  EXPECT_EQ(element->Text(), u"C:\\S60\\devices\\S60_3rd_CPP\\");
}

TEST_P(XmlContract, AFileThatFailedToLoadIsReadAgain) {
  XmlDocumentCache cache(*xml);
  const std::u16string file = Write(u"late.xml", "<devices><device>");
  EXPECT_EQ(cache.XmlCount(file, u"/devices/device"), 0);
  Write(u"late.xml", kDevices);
  EXPECT_EQ(cache.XmlCount(file, u"/devices/device"), 3);
}

}  // namespace tc
