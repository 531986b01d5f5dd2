// Where a file came from, as Windows marks what browsers and mail programs save: its Zone.Identifier stream; and
// the question before a desktop JAR from the internet runs.
#pragma once

#include <string>

#include "catalogue/Context.h"
#include "launch/StartDecision.h"

namespace tc {

// The stream's name after the file's path: "C:\\Downloads\\game.jar:Zone.Identifier".
inline constexpr char16_t kZoneStream[] = u":Zone.Identifier";

struct ZoneMark {
  Zone zone = Zone::Unmarked;
  std::u16string from;  // the host of the site the file came from, at most 100 characters; empty when unknown
};

// The file's mark, from at most the first 64 KiB of its stream, read with the file calls alone.
ZoneMark ReadZoneMark(Files& files, Environment& environment, const std::u16string& fullPath);

// Before a desktop JAR starts: its zone and the organisation's policy say whether it starts, is refused with a
// message, or the user is asked. False when it must not start.
bool MayStartFromItsZone(Context& context, const std::u16string& archivePath);

}  // namespace tc
