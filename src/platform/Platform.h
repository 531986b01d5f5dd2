// The ports the core is handed: one bundle, built once by the Windows entry and by each test.
#pragma once

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Http.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Threads.h"
#include "platform/Ui.h"
#include "platform/VersionInfo.h"
#include "platform/Xml.h"

namespace tc {

struct Platform {
  Registry& registry;
  Files& files;
  Processes& processes;
  Ui& ui;
  Shell& shell;
  VersionInfo& versions;
  Http& http;
  Threads& threads;
  Environment& environment;
  Xml& xml;
};

}  // namespace tc
