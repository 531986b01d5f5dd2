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
  Platform platform{registry, files, processes, ui, shell, versions, http, threads, environment};
  Context context{platform};
};

}  // namespace tc
