// The XML question cache: which questions load or select again, and what failures answer.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "detect/XmlDocumentCache.h"

namespace tc {
namespace {

// An engine whose documents are tables from query to answer, counting every load and selection.
struct FakeAnswer {
  std::optional<std::int32_t> count = 1;  // nullopt: the query fails
  bool lengthReadable = true;
  bool element = true;  // whether the first selected node is an element
  std::optional<std::u16string> text = u"";  // nullopt: unreadable
  std::map<std::u16string, std::u16string> attributes = {};
};
using FakeFile = std::map<std::u16string, FakeAnswer>;

class CountingXml final : public Xml {
 public:
  std::map<std::u16string, FakeFile> files;
  std::vector<std::u16string> loads;
  std::vector<std::u16string> lists;
  std::vector<std::u16string> firsts;
  int alive = 0;  // documents, lists and elements not yet destroyed

  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override {
    loads.push_back(path);
    const auto file = files.find(path);
    if (file == files.end()) return nullptr;
    return std::make_unique<Document>(*this, file->second);
  }

 private:
  struct Alive {
    explicit Alive(CountingXml& xml) : xml(xml) { ++xml.alive; }
    ~Alive() { --xml.alive; }
    CountingXml& xml;
  };
  class List final : public XmlNodeList {
   public:
    List(CountingXml& xml, std::optional<std::int32_t> length) : alive_(xml), length_(length) {}
    std::optional<std::int32_t> Length() override { return length_; }

   private:
    Alive alive_;
    std::optional<std::int32_t> length_;
  };
  class Element final : public XmlElement {
   public:
    Element(CountingXml& xml, const FakeAnswer& answer) : alive_(xml), answer_(answer) {}
    std::optional<std::u16string> Text() override { return answer_.text; }
    std::optional<std::u16string> Attribute(const std::u16string& name) override {
      const auto found = answer_.attributes.find(name);
      if (found == answer_.attributes.end()) return std::nullopt;
      return found->second;
    }

   private:
    Alive alive_;
    FakeAnswer answer_;
  };
  class Document final : public XmlDocument {
   public:
    Document(CountingXml& xml, FakeFile file) : xml_(xml), alive_(xml), file_(std::move(file)) {}
    std::unique_ptr<XmlNodeList> SelectNodes(const std::u16string& query) override {
      xml_.lists.push_back(query);
      const auto answer = file_.find(query);
      if (answer == file_.end()) return std::make_unique<List>(xml_, 0);
      if (!answer->second.count) return nullptr;
      return std::make_unique<List>(xml_, answer->second.lengthReadable ? answer->second.count : std::nullopt);
    }
    std::unique_ptr<XmlElement> SelectFirstElement(const std::u16string& query) override {
      xml_.firsts.push_back(query);
      const auto answer = file_.find(query);
      if (answer == file_.end() || !answer->second.count || *answer->second.count == 0 || !answer->second.element) {
        return nullptr;
      }
      return std::make_unique<Element>(xml_, answer->second);
    }

   private:
    CountingXml& xml_;
    Alive alive_;
    FakeFile file_;
  };
};

using Calls = std::vector<std::u16string>;

const std::u16string kDevices = u"C:\\S60\\devices.xml";
const std::u16string kRegistry = u"C:\\Nokia\\registry.xml";
const std::u16string kDevice = u"/devices/device";

class XmlDocumentCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    xml.files[kDevices] = {
        {kDevice, {.count = 3}},
        {u"/devices/device[0]", {.attributes = {{u"id", u"S60_3rd_MIDP"}, {u"empty", u""}}}},
        {u"/devices/device[1]", {.attributes = {{u"id", u"S60_3rd_CPP"}}}},
        {u"/devices/device[2]", {.attributes = {{u"id", u"S60_5th"}}}},
        {u"/devices/device[0]/epocroot", {.text = u"C:\\S60\\3rd\\"}},
        {u"/devices/device[1]/epocroot", {.text = u"C:\\S60\\3rd_cpp\\"}},
        {u"/devices/device[2]/epocroot", {.text = u"C:\\S60\\5th\\"}},
        {u"/devices/@version", {.element = false, .text = u"2"}},
        {u"/devices/unreadable", {.text = std::nullopt}},
        {u"/devices/[", {.count = std::nullopt}},
        {u"/devices/unknown length", {.count = 4, .lengthReadable = false}},
    };
    xml.files[kRegistry] = {{u"/registry/product", {.count = 2, .text = u"Emulator"}}};
  }

  CountingXml xml;
};

TEST_F(XmlDocumentCacheTest, DetectorLoopLoadsOnceAndAsksEachQueryOnce) {
  std::vector<std::u16string> ids;
  std::vector<std::u16string> roots;
  {
    XmlDocumentCache cache(xml);
    for (std::int32_t i = 0; i < cache.XmlCount(kDevices, kDevice); ++i) {
      ids.push_back(cache.XmlAttribute(kDevices, IndexedQuery(kDevice, i), u"id"));
      roots.push_back(cache.XmlText(kDevices, IndexedQuery(kDevice, i) + u"/epocroot"));
    }
    EXPECT_EQ(ids, (Calls{u"S60_3rd_MIDP", u"S60_3rd_CPP", u"S60_5th"}));
    EXPECT_EQ(roots, (Calls{u"C:\\S60\\3rd\\", u"C:\\S60\\3rd_cpp\\", u"C:\\S60\\5th\\"}));
    EXPECT_EQ(xml.loads, Calls{kDevices});
    EXPECT_EQ(xml.lists, Calls{kDevice}) << "the count before each pass is the cached list";
    EXPECT_EQ(xml.firsts, (Calls{u"/devices/device[0]", u"/devices/device[0]/epocroot", u"/devices/device[1]",
                                 u"/devices/device[1]/epocroot", u"/devices/device[2]",
                                 u"/devices/device[2]/epocroot"}));
    EXPECT_EQ(xml.alive, 3) << "one document, one list, one element";
  }
  EXPECT_EQ(xml.alive, 0) << "the cache releases all it holds";
}

TEST_F(XmlDocumentCacheTest, RepeatedQuestionsHitTheCache) {
  XmlDocumentCache cache(xml);
  const std::u16string first = IndexedQuery(kDevice, 0);
  EXPECT_EQ(cache.XmlAttribute(kDevices, first, u"id"), u"S60_3rd_MIDP");
  EXPECT_EQ(cache.XmlText(kDevices, first), u"");
  EXPECT_EQ(cache.XmlAttribute(kDevices, first, u"empty"), u"");
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  EXPECT_EQ(cache.XmlAttribute(kDevices, first, u"id"), u"S60_3rd_MIDP");
  EXPECT_EQ(xml.loads.size(), 1u);
  EXPECT_EQ(xml.lists, Calls{kDevice});
  EXPECT_EQ(xml.firsts, Calls{first});
}

TEST_F(XmlDocumentCacheTest, KeysAreTheExactTexts) {
  XmlDocumentCache cache(xml);
  xml.files[u"c:\\s60\\devices.xml"] = xml.files[kDevices];
  cache.XmlCount(kDevices, kDevice);
  // Another spelling of the same file is another document; another spelling of a query another selection.
  cache.XmlCount(u"c:\\s60\\devices.xml", kDevice);
  cache.XmlCount(u"c:\\s60\\devices.xml", u"/devices/device ");
  EXPECT_EQ(xml.loads, (Calls{kDevices, u"c:\\s60\\devices.xml"}));
  EXPECT_EQ(xml.lists, (Calls{kDevice, kDevice, u"/devices/device "}));
}

TEST_F(XmlDocumentCacheTest, AnotherFileDiscardsTheDocumentAndBothSelections) {
  XmlDocumentCache cache(xml);
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/device[0]/epocroot"), u"C:\\S60\\3rd\\");
  EXPECT_EQ(cache.XmlCount(kRegistry, u"/registry/product"), 2);
  EXPECT_EQ(xml.alive, 2) << "the first file's element is released with its document";
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/device[0]/epocroot"), u"C:\\S60\\3rd\\");
  EXPECT_EQ(xml.loads, (Calls{kDevices, kRegistry, kDevices}));
  EXPECT_EQ(xml.lists, (Calls{kDevice, u"/registry/product", kDevice}));
  EXPECT_EQ(xml.firsts, (Calls{u"/devices/device[0]/epocroot", u"/devices/device[0]/epocroot"}));
}

TEST_F(XmlDocumentCacheTest, AFailedLoadIsRetriedAndForgetsThePreviousFile) {
  XmlDocumentCache cache(xml);
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  const std::u16string missing = u"C:\\S60\\missing.xml";
  EXPECT_EQ(cache.XmlCount(missing, kDevice), 0);
  EXPECT_EQ(cache.XmlText(missing, kDevice), u"");
  EXPECT_EQ(cache.XmlAttribute(missing, kDevice, u"id"), u"");
  EXPECT_EQ(xml.alive, 0);
  // The file appears (the fake's tables stand for the disk); the next question loads it.
  xml.files[missing] = xml.files[kDevices];
  EXPECT_EQ(cache.XmlCount(missing, kDevice), 3);
  EXPECT_EQ(cache.XmlCount(kDevices, kDevice), 3);
  EXPECT_EQ(xml.loads, (Calls{kDevices, missing, missing, missing, missing, kDevices}));
}

TEST_F(XmlDocumentCacheTest, FailedSelectionsAnswerNothingAndAreAskedAgain) {
  XmlDocumentCache cache(xml);
  EXPECT_EQ(cache.XmlCount(kDevices, u"/devices/["), 0);
  EXPECT_EQ(cache.XmlCount(kDevices, u"/devices/["), 0);
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/["), u"");
  EXPECT_EQ(cache.XmlCount(kDevices, u"/devices/unknown length"), 0);
  // Selecting nothing, or a first node that is not an element, is not found.
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/device[7]"), u"");
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/@version"), u"");
  EXPECT_EQ(cache.XmlAttribute(kDevices, u"/devices/@version", u"id"), u"");
  EXPECT_EQ(cache.XmlText(kDevices, u"/devices/unreadable"), u"");
  EXPECT_EQ(cache.XmlAttribute(kDevices, u"/devices/device[0]", u"missing"), u"");
  EXPECT_EQ(xml.lists, (Calls{u"/devices/[", u"/devices/[", u"/devices/unknown length"}));
  EXPECT_EQ(xml.firsts, (Calls{u"/devices/[", u"/devices/device[7]", u"/devices/@version", u"/devices/@version",
                               u"/devices/unreadable", u"/devices/device[0]"}));
  EXPECT_EQ(xml.loads.size(), 1u);
}

TEST_F(XmlDocumentCacheTest, ListAndElementAreCachedApart) {
  XmlDocumentCache cache(xml);
  EXPECT_EQ(cache.XmlCount(kRegistry, u"/registry/product"), 2);
  EXPECT_EQ(cache.XmlText(kRegistry, u"/registry/product"), u"Emulator");
  EXPECT_EQ(cache.XmlCount(kRegistry, u"/registry/product"), 2);
  EXPECT_EQ(cache.XmlText(kRegistry, u"/registry/product"), u"Emulator");
  EXPECT_EQ(xml.lists, Calls{u"/registry/product"});
  EXPECT_EQ(xml.firsts, Calls{u"/registry/product"});
}

// An empty path or query matches the empty texts a new cache holds; it must not count as cached.
TEST_F(XmlDocumentCacheTest, EmptyTextsAreNeverCacheHits) {
  XmlDocumentCache cache(xml);
  EXPECT_EQ(cache.XmlCount(u"", kDevice), 0);
  EXPECT_EQ(cache.XmlText(u"", kDevice), u"");
  EXPECT_EQ(cache.XmlAttribute(u"", kDevice, u"id"), u"");
  EXPECT_FALSE(cache.SelectList(kDevice)) << "no document is loaded";
  EXPECT_FALSE(cache.SelectFirst(kDevice));
  xml.files[kDevices][u""] = {.count = std::nullopt};
  EXPECT_EQ(cache.XmlCount(kDevices, u""), 0);
  EXPECT_EQ(cache.XmlText(kDevices, u""), u"");
  EXPECT_EQ(xml.lists, Calls{u""});
  EXPECT_EQ(xml.firsts, Calls{u""});
}

TEST(XmlIndexedQuery, AppendsThePosition) {
  EXPECT_EQ(IndexedQuery(u"/devices/device", 0), u"/devices/device[0]");
  EXPECT_EQ(IndexedQuery(u"/devices/device", 2), u"/devices/device[2]");
  EXPECT_EQ(IndexedQuery(u"/registry/product[@type='emulator']", 12), u"/registry/product[@type='emulator'][12]");
  EXPECT_EQ(IndexedQuery(u"/a%s", 1), u"/a%s[1]") << "the query is an argument, not a format";
}

}  // namespace
}  // namespace tc
