// A candidate starter found by a scan, and the de-duplicating list the detectors fill.
#include "detect/DetectedStarter.h"

#include "detect/FolderSearch.h"

namespace tc {

void AddDetected(Files& files, DetectedStarterList& list, const DetectedStarter& record) {
  for (const DetectedStarter& e : list) {
    if (e.Group == record.Group && e.Name == record.Name && SameFile(files, e.ExecutableFile, record.ExecutableFile)) {
      return;
    }
  }
  const size_t before = list.size();
  list.push_back(record);
  DetectedStarter& added = list.back();
  for (size_t i = 0; i < before; ++i) {
    DetectedStarter& e = list[i];
    if (e.Group != added.Group) continue;
    if (e.Rank < added.Rank) e.Main = false;
    if (added.Rank < e.Rank) added.Main = false;
  }
}

}  // namespace tc
