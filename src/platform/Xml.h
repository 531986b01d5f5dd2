// The XML port: load a file into a document, select nodes by query, and read counts, texts and attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tc {

// The nodes one query selected.
class XmlNodeList {
 public:
  virtual ~XmlNodeList() = default;
  // nullopt when the length cannot be read.
  virtual std::optional<std::int32_t> Length() = 0;
};

// One element of a document.
class XmlElement {
 public:
  virtual ~XmlElement() = default;
  // The concatenated text of the element and its descendants; nullopt when it cannot be read.
  virtual std::optional<std::u16string> Text() = 0;
  // The attribute's value; nullopt when the element has no such attribute or it cannot be read.
  virtual std::optional<std::u16string> Attribute(const std::u16string& name) = 0;
};

// A loaded document. Lists and elements it hands out stay valid after the document object is destroyed.
class XmlDocument {
 public:
  virtual ~XmlDocument() = default;
  // Queries are XSLPattern-like: absolute child steps, attribute comparisons with quoted literals, and
  // positions that count from 0 ("/devices/device[0]" is the first device).
  // nullptr when the query fails.
  virtual std::unique_ptr<XmlNodeList> SelectNodes(const std::u16string& query) = 0;
  // The first node the query selects, in document order; nullptr when the query fails, selects nothing, or
  // its first node is not an element.
  virtual std::unique_ptr<XmlElement> SelectFirstElement(const std::u16string& query) = 0;
};

class Xml {
 public:
  virtual ~Xml() = default;
  // Loads the file synchronously, without validation or external definitions; nullptr when the file is
  // missing, not well-formed, or the XML component is unavailable.
  virtual std::unique_ptr<XmlDocument> Load(const std::u16string& path) = 0;
};

}  // namespace tc
