// The ports the core is handed: one bundle, built once by the Windows entry and by each test.
#pragma once

#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Ui.h"

namespace tc {

struct Platform {
  Registry& registry;
  Files& files;
  Processes& processes;
  Ui& ui;
  Shell& shell;
};

}  // namespace tc
