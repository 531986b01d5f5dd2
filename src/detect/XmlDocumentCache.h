// The XML questions the detectors ask, over the last loaded document and its last two selections.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Xml.h"

namespace tc {

// Keyed by the exact path and query texts, so that a detector's repeated questions about one file cost one
// load and one selection per distinct query. Loading another file forgets the previous one.
class XmlDocumentCache {
 public:
  explicit XmlDocumentCache(Xml& xml) : xml_(xml) {}

  // The number of nodes the query selects in the file; 0 when the file can't be loaded or the query fails.
  std::int32_t XmlCount(const std::u16string& file, const std::u16string& query);
  // The text of the first element the query selects; "" when there is none or it can't be read.
  std::u16string XmlText(const std::u16string& file, const std::u16string& query);
  // An attribute of that element; "" also when it is absent.
  std::u16string XmlAttribute(const std::u16string& file, const std::u16string& query, const std::u16string& name);

  bool LoadDocument(const std::u16string& path);
  // Both need a loaded document.
  bool SelectList(const std::u16string& query);
  bool SelectFirst(const std::u16string& query);

 private:
  Xml& xml_;
  std::u16string loadedPath_;
  std::unique_ptr<XmlDocument> document_;
  std::u16string listQuery_;
  std::unique_ptr<XmlNodeList> nodeList_;
  std::u16string singleQuery_;
  std::unique_ptr<XmlElement> element_;
};

// The query with a position appended, "%s[%i]"; positions count from 0.
std::u16string IndexedQuery(std::u16string_view query, std::int32_t index);

}  // namespace tc
