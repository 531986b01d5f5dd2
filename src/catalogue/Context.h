// What every flow and dialog is handed: the ports, and the process's one starter catalogue.
#pragma once

#include <optional>

#include "catalogue/StarterCatalogue.h"
#include "platform/Platform.h"

namespace tc {

class Context {
 public:
  explicit Context(Platform& platform) : platform(platform) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  // The catalogue is created and loaded from the registry on first use, and lives as long as the context.
  StarterCatalogue& Catalogue() {
    if (!catalogue_) catalogue_.emplace(platform.registry);
    return *catalogue_;
  }

  Platform& platform;

 private:
  std::optional<StarterCatalogue> catalogue_;
};

}  // namespace tc
