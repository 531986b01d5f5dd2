// What every flow and dialog is handed: the ports, the process's one starter catalogue and the policies.
#pragma once

#include <optional>

#include "catalogue/Policies.h"
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

  // Read once, on first use: they don't change while the program runs.
  const Policies& Policy() {
    if (!policies_) policies_ = ReadPolicies(platform.registry);
    return *policies_;
  }

  Platform& platform;

 private:
  std::optional<StarterCatalogue> catalogue_;
  std::optional<Policies> policies_;
};

}  // namespace tc
