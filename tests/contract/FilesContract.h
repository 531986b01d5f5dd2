// The file-system contract: what the core relies on, run against each file-system adapter.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Files.h"

namespace tc {

// One adapter under test, with the setup that the port itself has no call for.
class FilesUnderTest {
 public:
  virtual ~FilesUnderTest() = default;
  virtual Files& Port() = 0;
  // A folder of the test's own, with its trailing backslash; it is also the current folder.
  virtual std::u16string Scratch() = 0;
  virtual bool MakeFolder(const std::u16string& path) = 0;
  // Holds the file open without sharing, as another program may, until the result is destroyed.
  virtual std::shared_ptr<void> HoldExclusively(const std::u16string& path) = 0;
};

struct FilesFactory {
  std::string name;
  std::function<std::unique_ptr<FilesUnderTest>()> make;
};

class FilesContract : public ::testing::TestWithParam<FilesFactory> {
 protected:
  void SetUp() override;

  bool Write(const std::u16string& name, std::string_view text);
  std::string Read(const std::u16string& name);  // "<unreadable>" when the file can't be read
  std::u16string Drive() const { return scratch.substr(0, 2); }

  std::unique_ptr<FilesUnderTest> adapter;
  Files* files = nullptr;
  std::u16string scratch;
};

inline void PrintTo(const FilesFactory& factory, std::ostream* out) { *out << factory.name; }
inline std::string FactoryName(const ::testing::TestParamInfo<FilesFactory>& info) { return info.param.name; }

}  // namespace tc
