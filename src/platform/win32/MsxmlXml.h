// The XML port over MSXML's DOM document ("Msxml2.DOMDocument"), whose XSLPattern positions count from 0.
#pragma once

#include "platform/Xml.h"

namespace tc {

// Needs COM initialised on the calling thread (the program's entry does it).
class MsxmlXml final : public Xml {
 public:
  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override;
};

}  // namespace tc
