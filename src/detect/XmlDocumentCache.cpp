// The XML question cache: one document, one node list and one element, each kept for the exact text asked.
#include "detect/XmlDocumentCache.h"

#include "base/Text.h"

namespace tc {

bool XmlDocumentCache::LoadDocument(const std::u16string& path) {
  // An empty loaded path means nothing is loaded, so it never counts as a hit, not even for an empty path.
  if (document_ && path == loadedPath_) return true;
  element_.reset();
  singleQuery_.clear();
  nodeList_.reset();
  listQuery_.clear();
  document_.reset();
  loadedPath_.clear();
  if (path.empty()) return false;
  document_ = xml_.Load(path);
  if (!document_) return false;
  loadedPath_ = path;
  return true;
}

bool XmlDocumentCache::SelectList(const std::u16string& query) {
  if (!document_) return false;
  if (nodeList_ && query == listQuery_) return true;
  listQuery_.clear();
  nodeList_ = document_->SelectNodes(query);
  if (!nodeList_) return false;
  listQuery_ = query;
  return true;
}

bool XmlDocumentCache::SelectFirst(const std::u16string& query) {
  if (!document_) return false;
  if (element_ && query == singleQuery_) return true;
  singleQuery_.clear();
  element_ = document_->SelectFirstElement(query);
  if (!element_) return false;
  singleQuery_ = query;
  return true;
}

std::int32_t XmlDocumentCache::XmlCount(const std::u16string& file, const std::u16string& query) {
  if (!LoadDocument(file) || !SelectList(query)) return 0;
  return nodeList_->Length().value_or(0);
}

std::u16string XmlDocumentCache::XmlText(const std::u16string& file, const std::u16string& query) {
  if (!LoadDocument(file) || !SelectFirst(query)) return u"";
  return element_->Text().value_or(u"");
}

std::u16string XmlDocumentCache::XmlAttribute(const std::u16string& file, const std::u16string& query,
                                              const std::u16string& name) {
  if (!LoadDocument(file) || !SelectFirst(query)) return u"";
  return element_->Attribute(name).value_or(u"");
}

std::u16string IndexedQuery(std::u16string_view query, std::int32_t index) {
  return Format(u"%s[%i]", {query, index});
}

}  // namespace tc
