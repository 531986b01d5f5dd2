// A scan for starters of one kind: detection, marking what the catalogue already holds, adding what the user chose.
#pragma once

#include <string>

#include "catalogue/Context.h"
#include "detect/DetectedStarter.h"

namespace tc {

class StarterScanner {
 public:
  StarterScanner(Context& context, StarterKind kind) : context_(context), kind_(kind) {}
  virtual ~StarterScanner() = default;
  StarterScanner(const StarterScanner&) = delete;
  StarterScanner& operator=(const StarterScanner&) = delete;

  virtual std::u16string StatusText() const = 0;
  virtual std::u16string NoneFoundText() const = 0;
  virtual std::u16string ListTitle() const = 0;
  virtual void Detect() = 0;

  // Sets Exists on candidates equivalent to a starter the catalogue holds.
  void MarkExisting();
  // Adds the checked candidates to the catalogue in list order; false when the catalogue is full.
  bool AddChecked();

  DetectedStarterList& List() { return list_; }
  StarterKind Kind() const { return kind_; }

 protected:
  Context& context_;
  DetectedStarterList list_;

 private:
  StarterKind kind_;
};

class J2seScanner final : public StarterScanner {
 public:
  explicit J2seScanner(Context& context) : StarterScanner(context, StarterKind::J2se) {}
  std::u16string StatusText() const override { return u"Scanning for J2SE Starters"; }
  std::u16string NoneFoundText() const override { return u"No J2SE starters are detected."; }
  std::u16string ListTitle() const override { return u"Detected J2SE Starters"; }
  void Detect() override;
};

}  // namespace tc
