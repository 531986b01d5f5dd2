// The XML port over MSXML's DOM document ("Msxml2.DOMDocument"), whose XSLPattern positions count from 0.
#pragma once

#include "platform/Files.h"
#include "platform/Xml.h"

namespace tc {

// Starts COM on first use (StartComAndControls), on the thread that runs the command line.
class MsxmlXml final : public Xml {
 public:
  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override;
};

// The same engine over files read through a file-system port, so that tests on Windows can put their XML
// files into the in-memory file system. It brings its own COM apartment for the thread that creates it.
class MsxmlOverFiles final : public Xml {
 public:
  explicit MsxmlOverFiles(Files& files);
  ~MsxmlOverFiles() override;
  MsxmlOverFiles(const MsxmlOverFiles&) = delete;
  MsxmlOverFiles& operator=(const MsxmlOverFiles&) = delete;
  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override;

 private:
  Files& files_;
  bool comReady_;
};

}  // namespace tc
