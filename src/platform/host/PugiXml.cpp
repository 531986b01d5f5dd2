// The XML port over pugixml: documents shared by the lists and elements taken from them, XPath positions +1.
#include "platform/host/PugiXml.h"

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Text.h"

namespace tc {

namespace {

using SharedDocument = std::shared_ptr<const pugi::xml_document>;

// pugixml signals a malformed query (and memory exhaustion) by exceptions; none may leave the adapter.
std::optional<pugi::xpath_node_set> Select(const pugi::xml_document& document, const std::u16string& query) {
  try {
    const pugi::xpath_query compiled(PositionsFromOne(ToUtf8(query)).c_str());
    if (compiled.return_type() != pugi::xpath_type_node_set) return std::nullopt;
    return compiled.evaluate_node_set(document);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

class PugiNodeList final : public XmlNodeList {
 public:
  PugiNodeList(SharedDocument document, pugi::xpath_node_set nodes)
      : document_(std::move(document)), nodes_(std::move(nodes)) {}
  std::optional<std::int32_t> Length() override { return static_cast<std::int32_t>(nodes_.size()); }

 private:
  SharedDocument document_;  // the nodes live in it
  pugi::xpath_node_set nodes_;
};

class PugiElement final : public XmlElement {
 public:
  PugiElement(SharedDocument document, pugi::xml_node element) : document_(std::move(document)), element_(element) {}

  std::optional<std::u16string> Text() override {
    // The text and CDATA nodes below the element, in document order, walked without recursion.
    std::string text;
    pugi::xml_node node = element_.first_child();
    while (node) {
      if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
      if (node.first_child()) {
        node = node.first_child();
        continue;
      }
      while (node != element_ && !node.next_sibling()) node = node.parent();
      node = node == element_ ? pugi::xml_node() : node.next_sibling();
    }
    // As MSXML's text: white space at either end removed, inside kept.
    return Trim(FromUtf8(text));
  }

  std::optional<std::u16string> Attribute(const std::u16string& name) override {
    const pugi::xml_attribute attribute = element_.attribute(ToUtf8(name).c_str());
    if (!attribute) return std::nullopt;
    return FromUtf8(attribute.value());
  }

 private:
  SharedDocument document_;
  pugi::xml_node element_;
};

class PugiDocument final : public XmlDocument {
 public:
  explicit PugiDocument(SharedDocument document) : document_(std::move(document)) {}

  std::unique_ptr<XmlNodeList> SelectNodes(const std::u16string& query) override {
    std::optional<pugi::xpath_node_set> nodes = Select(*document_, query);
    if (!nodes) return nullptr;
    return std::make_unique<PugiNodeList>(document_, std::move(*nodes));
  }

  std::unique_ptr<XmlElement> SelectFirstElement(const std::u16string& query) override {
    const std::optional<pugi::xpath_node_set> nodes = Select(*document_, query);
    if (!nodes || nodes->empty()) return nullptr;
    // The first in document order; an attribute or a text node is no element.
    const pugi::xml_node node = nodes->first().node();
    if (node.type() != pugi::node_element) return nullptr;
    return std::make_unique<PugiElement>(document_, node);
  }

 private:
  SharedDocument document_;
};

std::optional<std::vector<std::uint8_t>> ReadAll(Files& files, const std::u16string& path) {
  const std::unique_ptr<FileReader> reader = files.OpenForReading(path);
  const std::optional<std::uint64_t> size = reader ? reader->Size() : std::nullopt;
  if (!size || *size > SIZE_MAX) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::optional<std::size_t> got = reader->ReadAt(done, bytes.data() + done, bytes.size() - done);
    if (!got || *got == 0) return std::nullopt;
    done += *got;
  }
  return bytes;
}

}  // namespace

std::unique_ptr<XmlDocument> PugiXml::Load(const std::u16string& path) {
  const std::optional<std::vector<std::uint8_t>> bytes = ReadAll(files_, path);
  if (!bytes) return nullptr;
  auto document = std::make_shared<pugi::xml_document>();
  // White-space text between elements is kept, since MSXML's text of an element includes it.
  if (!document->load_buffer(bytes->data(), bytes->size(), pugi::parse_default | pugi::parse_ws_pcdata,
                             pugi::encoding_auto)) {
    return nullptr;
  }
  // A well-formed document has exactly one root element; pugixml would accept several.
  std::size_t roots = 0;
  for (const pugi::xml_node child : document->children()) roots += child.type() == pugi::node_element;
  if (roots != 1) return nullptr;
  return std::make_unique<PugiDocument>(std::move(document));
}

std::string PositionsFromOne(const std::string& query) {
  std::string out;
  char quote = 0;
  for (std::size_t i = 0; i < query.size(); ++i) {
    const char c = query[i];
    out += c;
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      continue;
    }
    if (c != '[') continue;
    std::size_t j = i + 1;
    while (j < query.size() && query[j] == ' ') ++j;
    const std::size_t digits = j;
    while (j < query.size() && query[j] >= '0' && query[j] <= '9') ++j;
    std::string number = query.substr(digits, j - digits);
    while (j < query.size() && query[j] == ' ') ++j;
    if (number.empty() || j == query.size() || query[j] != ']') continue;
    // Add one in decimal, so that no position is too large to count.
    std::size_t k = number.size();
    while (k > 0 && number[k - 1] == '9') number[--k] = '0';
    if (k == 0) {
      number.insert(number.begin(), '1');
    } else {
      ++number[k - 1];
    }
    out += number;
    out += ']';
    i = j;
  }
  return out;
}

}  // namespace tc
