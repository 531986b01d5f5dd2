// A whole machine in memory for the unit tests: every port a host adapter, and a context over them.
#pragma once

#include "catalogue/Context.h"
#include "platform/host/HostPorts.h"
#include "platform/host/MemoryEnvironment.h"
#include "platform/host/MemoryFiles.h"
#include "platform/host/MemoryRegistry.h"
#include "platform/host/ScriptedHttp.h"
#include "platform/host/ScriptedThreads.h"
#include "platform/host/ScriptedUi.h"
#ifdef _WIN32
#include "platform/win32/MsxmlXml.h"
#else
#include "platform/host/PugiXml.h"
#endif

namespace tc {

struct HostMachine {
  MemoryRegistry registry;
  MemoryFiles files;
  RecordingProcesses processes;
  ScriptedUi ui;
  RecordingShell shell;
  TableVersionInfo versions;
  ScriptedHttp http;
  ScriptedThreads threads;
  MemoryEnvironment environment;
#ifdef _WIN32
  MsxmlOverFiles xml{files};  // pugixml is not in the Windows build
#else
  PugiXml xml{files};
#endif
  Platform platform{registry, files, processes, ui, shell, versions, http, threads, environment, xml};
  Context context{platform};
};

}  // namespace tc
