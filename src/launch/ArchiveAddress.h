// Reading a descriptor's "MIDlet-Jar-URL" as download sites write it: schemes, file: URLs, percent-escapes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tc {

// A scheme is two or more characters before the first colon (one letter is a drive): letters, then letters,
// digits, "+", "-" or ".".
bool HasScheme(std::u16string_view url);

// "%XX" escapes decoded as UTF-8. An escape that is not two hex digits, that stands for a NUL, or whose bytes
// are not UTF-8 stays as written.
std::u16string DecodePercentEscapes(std::u16string_view text);

// The local path a "file:" URL names ("file:///C:/a%20b/x.jar" -> "C:\a b\x.jar"); nullopt for any other URL
// and for one that names no path on a drive (a network share, a relative path).
std::optional<std::u16string> FileUrlPath(std::u16string_view url);

// The URL's last path segment, decoded, when it is a plain file name; nullopt otherwise (empty, "." or "..",
// or holding a character a file name can't hold, so it can never reach out of the folder it is put in).
std::optional<std::u16string> LastSegmentName(std::u16string_view url);

}  // namespace tc
