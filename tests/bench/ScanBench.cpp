// Benchmark: runs the J2ME detectors, or the J2SE scan, N times over the real registry, file system and MSXML, and
// prints the mean time of a scan, with the XML documents each J2ME scan loads and the time per Java home.
//
//   scan_bench.exe [RUNS] [j2se]   under Wine, on a prefix laid out by tests/bench/j2me-scan-timing or
//                                  tests/bench/j2se-scan-timing
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "detect/J2meScanner.h"
#include "detect/StarterScanner.h"
#include "platform/win32/MsxmlXml.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32Ui.h"
#include "platform/win32/Win32VersionInfo.h"

namespace {

class CountingXml final : public tc::Xml {
 public:
  std::unique_ptr<tc::XmlDocument> Load(const std::u16string& path) override {
    ++loads;
    const auto start = std::chrono::steady_clock::now();
    auto document = engine_.Load(path);
    loadMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return document;
  }
  int loads = 0;
  double loadMs = 0;

 private:
  tc::MsxmlXml engine_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
  CoInitialize(nullptr);
  tc::Win32Ui ui(GetModuleHandleW(nullptr));
  tc::Win32Registry registry;
  tc::Win32Files files;
  tc::Win32Processes processes;
  tc::Win32Shell shell;
  tc::Win32VersionInfo versions;
  tc::Win32Http http;
  tc::Win32Threads threads;
  tc::Win32Environment environment;
  CountingXml xml;
  tc::Platform platform{registry, files, processes, ui, shell, versions, http, threads, environment, xml};
  tc::Context context(platform);

  const bool j2se = argc > 2 && std::wstring(argv[2]) == L"j2se";

  // The first scan also brings up MSXML and fills the file system's caches; the later ones are what a second
  // press of Scan costs.
  double first = 0;
  double later = 0;
  double fastest = 1e9;
  size_t found = 0;
  size_t homes = 0;
  for (int run = 0; run <= runs; ++run) {
    std::unique_ptr<tc::StarterScanner> scanner;
    if (j2se) {
      scanner = std::make_unique<tc::J2seScanner>(context);
    } else {
      scanner = std::make_unique<tc::J2meScanner>(context);
    }
    const auto start = std::chrono::steady_clock::now();
    scanner->Detect();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    (run == 0 ? first : later) += ms;
    if (run > 0) fastest = std::min(fastest, ms);
    found = scanner->List().size();
    // Every home gives exactly one GUI candidate.
    homes = std::count_if(scanner->List().begin(), scanner->List().end(),
                          [](const tc::DetectedStarter& d) { return d.Name.ends_with(u"(GUI)"); });
  }
  if (j2se) {
    std::printf("J2SE scan: %zu candidates from %zu homes; first scan %.1f ms, then %.1f ms mean and %.1f ms fastest "
                "over %d runs: %.2f ms per home\n",
                found, homes, first, later / runs, fastest, runs, later / runs / std::max<size_t>(homes, 1));
  } else {
    std::printf("J2ME scan: %zu candidates, %d XML loads per scan; first scan %.1f ms, then %.1f ms mean and %.1f ms "
                "fastest over %d runs; loading XML took %.1f ms of a scan\n",
                found, xml.loads / (runs + 1), first, later / runs, fastest, runs, xml.loadMs / (runs + 1));
  }
  CoUninitialize();
  return 0;
}
