// The XML port over pugixml, for the host: files come through the file-system port, queries become XPath.
#pragma once

#include <string>

#include "platform/Files.h"
#include "platform/Xml.h"

namespace tc {

// Reads documents through `files`, so that tests put their XML files into the same file system as the rest.
// Not part of the Windows build, where pugixml is not available.
class PugiXml final : public Xml {
 public:
  explicit PugiXml(Files& files) : files_(files) {}
  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override;

 private:
  Files& files_;
};

// The query in XPath: every position predicate that is a plain number counts from 1 instead of 0.
std::string PositionsFromOne(const std::string& query);

}  // namespace tc
