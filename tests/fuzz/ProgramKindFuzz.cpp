// libFuzzer target: the judgement of a program's kind. Input that begins with "PK" is a whole archive, judged,
// and read with and without its index, which must agree, also when looked up from inside a walk over its names.
// Any other input is a flags byte and up to eight class files (each a 24-bit big-endian length and its bytes):
// app/Main, then c/1 to c/7 (with flag 2, javafx/application/Application for c/7), put in one JAR (with flag 1
// the odd ones in a library: beside it on the Class-Path, or with flag 4 inside it, as Capsule packs one); the
// judgement must be what a plain walk over them gives.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I src -I tests tests/fuzz/ProgramKindFuzz.cpp \
//       src/launch/ProgramKind.cpp src/launch/ClassPath.cpp src/launch/ArchiveAddress.cpp \
//       src/formats/ClassFile.cpp src/formats/JarReader.cpp src/formats/MainClass.cpp \
//       src/formats/AttributeFile.cpp src/platform/host/MemoryFiles.cpp src/base/Path.cpp src/base/Text.cpp \
//       -lz -o build/kind-fuzz
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "formats/ClassFile.h"
#include "formats/JarReader.h"
#include "launch/ProgramKind.h"
#include "platform/host/MemoryFiles.h"

#include "FuzzCheck.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Entries = std::map<std::string, Bytes>;

const std::string kManifestName = "META-INF/MANIFEST.MF";
const std::string kJavaFxApplication = "javafx/application/Application";

void Put(Bytes& to, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) to.push_back(static_cast<std::uint8_t>(value >> 8 * i));
}

// Stored entries, as `jar -0` writes them.
Bytes StoredZip(const Entries& entries) {
  Bytes zip, directory;
  for (const auto& [name, data] : entries) {
    const auto crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    const auto offset = static_cast<std::uint32_t>(zip.size());
    for (Bytes* to : {&zip, &directory}) {
      Put(*to, to == &zip ? 0x04034B50 : 0x02014B50, 4);
      if (to == &directory) Put(*to, 20, 2);
      for (std::uint32_t v : {10u, 0u, 0u}) Put(*to, v, 2);
      for (std::uint32_t v : {0u, crc, static_cast<std::uint32_t>(data.size()), static_cast<std::uint32_t>(data.size())})
        Put(*to, v, 4);
      Put(*to, static_cast<std::uint32_t>(name.size()), 2);
      Put(*to, 0, 2);
      if (to == &directory) {
        for (int i = 0; i < 3; ++i) Put(*to, 0, 2);
        Put(*to, 0, 4);
        Put(*to, offset, 4);
      }
      to->insert(to->end(), name.begin(), name.end());
    }
    zip.insert(zip.end(), data.begin(), data.end());
  }
  const auto directoryOffset = static_cast<std::uint32_t>(zip.size());
  zip.insert(zip.end(), directory.begin(), directory.end());
  Put(zip, 0x06054B50, 4);
  Put(zip, 0, 4);
  Put(zip, static_cast<std::uint32_t>(entries.size()), 2);
  Put(zip, static_cast<std::uint32_t>(entries.size()), 2);
  Put(zip, static_cast<std::uint32_t>(directory.size()), 4);
  Put(zip, directoryOffset, 4);
  Put(zip, 0, 2);
  return zip;
}

// The rules walked plainly: breadth first, except that the classes the main class extends come right after it;
// every class in memory, no index, no bounds (eight classes reach none). Without a window toolkit it is a program
// for the command line, unless the main class's line loads classes by name, names URLClassLoader or names a
// class that extends a class loader.
tc::ProgramLook Model(const std::map<std::string, Bytes>& classes) {
  std::set<std::string> met{"app/Main"}, walked, namedByMain, loaders{"java/net/URLClassLoader"};
  std::deque<std::string> next{"app/Main"};
  std::string line = "app/Main";
  bool lineLoads = false;
  for (; !next.empty(); next.pop_front()) {
    const std::string name = next.front();
    if (walked.count(name)) continue;
    if (!classes.count(name)) {
      if (name == line) line.clear();
      continue;
    }
    walked.insert(name);
    const auto refs = tc::ReadClassReferences(classes.at(name));
    if (!refs) return {};
    tc::ProgramLook look;
    for (const std::string_view n : refs->names) {
      for (const std::string_view toolkit : tc::kWindowToolkits) {
        if (!n.starts_with(toolkit)) continue;
        look.kind = tc::ProgramKind::Window;
        look.usesJavaFx = look.usesJavaFx || toolkit == "javafx/";
      }
    }
    if (look.kind == tc::ProgramKind::Window) {
      look.bringsJavaFx = look.usesJavaFx && classes.count(kJavaFxApplication);
      return look;
    }
    const std::string super(refs->superClass);
    for (const char* loader : {"java/lang/ClassLoader", "java/security/SecureClassLoader", "java/net/URLClassLoader"})
      if (super == loader) loaders.insert(name);
    const bool inLine = name == line;
    if (inLine) line.clear();
    lineLoads = lineLoads || (inLine && refs->loadsByName);
    for (const std::string_view n : refs->names) {
      if (inLine) namedByMain.emplace(n);
      if (met.emplace(n).second && !(inLine && n == super)) next.emplace_back(n);
    }
    if (inLine && !super.empty() && !walked.count(super)) {
      line = super;
      next.insert(next.begin() + 1, super);
    }
  }
  const bool hides = lineLoads || std::any_of(namedByMain.begin(), namedByMain.end(),
                                              [&](const std::string& n) { return loaders.count(n) > 0; });
  return {hides ? tc::ProgramKind::Unknown : tc::ProgramKind::Console};
}

tc::ProgramLook Judge(tc::MemoryFiles& files, bool* opened = nullptr) {
  tc::JarReader jar;
  Bytes bytes;
  const bool open = jar.OpenJar(files, u"C:\\app\\app.jar") && jar.ReadEntry(kManifestName, bytes);
  if (opened) *opened = open;
  if (!open) return {};
  tc::AttributeFile manifest;
  manifest.Parse(bytes);
  return tc::LookAtProgram(files, u"C:\\app\\app.jar", jar, manifest);
}

void FuzzArchive(const std::uint8_t* data, std::size_t size) {
  tc::MemoryFiles files;
  files.AddFile(u"C:\\app\\app.jar", Bytes(data, data + size));
  Judge(files);
  tc::JarReader walked, indexed;
  if (!walked.OpenJar(files, u"C:\\app\\app.jar") || !indexed.OpenJar(files, u"C:\\app\\app.jar")) return;
  const bool hasIndex = indexed.IndexEntries(1u << 16);
  std::vector<std::string> names{"", kManifestName, "app/Main.class"}, plain;
  // A look-up from inside the walk over the names finds each, and leaves that walk where it was.
  walked.ForEachEntryName([&](std::string_view name) {
    if (names.size() == 64) return;
    names.emplace_back(name);
    CHECK(walked.HasEntry(name));
  });
  walked.ForEachEntryName([&](std::string_view name) {
    if (plain.size() < 61) plain.emplace_back(name);
  });
  CHECK(std::equal(plain.begin(), plain.end(), names.begin() + 3, names.end()));
  CHECK(!hasIndex || indexed.IndexedEntryCount() >= names.size() - 3);
  Bytes a, b;
  for (const std::string& name : names) {
    const bool readA = walked.ReadEntry(name, a), readB = indexed.ReadEntry(name, b);
    CHECK(readA == readB && (!readA || a == b));
    CHECK(walked.HasEntry(name) == indexed.HasEntry(name));
  }
}

void FuzzClasses(const std::uint8_t* data, std::size_t size) {
  const bool library = (data[0] & 1) != 0, javaFx = (data[0] & 2) != 0, inside = (data[0] & 4) != 0;
  std::map<std::string, Bytes> classes;
  Entries program, lib;
  for (std::size_t at = 1, i = 0; i < 8 && size - at >= 3; ++i) {
    const std::size_t length = std::min<std::size_t>(data[at] << 16 | data[at + 1] << 8 | data[at + 2], size - at - 3);
    const std::string name = i == 0 ? "app/Main" : i == 7 && javaFx ? kJavaFxApplication : "c/" + std::to_string(i);
    classes[name] = Bytes(data + at + 3, data + at + 3 + length);
    (library && i % 2 == 1 ? lib : program)[name + ".class"] = classes[name];
    at += 3 + length;
  }
  if (classes.empty()) return;
  const std::string manifest = std::string("Manifest-Version: 1.0\r\nMain-Class: app.Main\r\n") +
                               (library && inside ? "Application-Class: app.Main\r\n" : "") +
                               (library && !inside ? "Class-Path: lib/lib.jar\r\n" : "") + "\r\n";
  program[kManifestName] = Bytes(manifest.begin(), manifest.end());
  if (library && inside) program["lib.jar"] = StoredZip(lib);
  tc::MemoryFiles files;
  files.AddFile(u"C:\\app\\app.jar", StoredZip(program));
  if (library && !inside) files.AddFile(u"C:\\app\\lib\\lib.jar", StoredZip(lib));
  // Class bytes may hold an end record of their own whose comment reaches the end of the file: the archive is
  // then another one, which the archive mode covers.
  bool opened = false;
  const tc::ProgramLook look = Judge(files, &opened);
  if (!opened) return;
  const tc::ProgramLook expected = Model(classes);
  CHECK(look.kind == expected.kind && look.usesJavaFx == expected.usesJavaFx &&
        look.bringsJavaFx == expected.bringsJavaFx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
    FuzzArchive(data, size);
  } else if (size > 0) {
    FuzzClasses(data, size);
  }
  return 0;
}
