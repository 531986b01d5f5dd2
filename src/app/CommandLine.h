// The command line: tokens, the forms it can take, and routing an opened file to its flow.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/Context.h"

namespace tc {

// Quoted tokens keep their quotes; nullopt when a quote is not closed.
std::optional<std::vector<std::u16string>> TokenizeCommandLine(std::u16string_view commandLine);

// Tokens from `first` on, as written, separated by one space.
std::u16string JoinTokens(const std::vector<std::u16string>& tokens, size_t first);

// Does what the command line asks for; returns the process exit code. Besides the user's forms, "/console" followed
// by a file and its arguments opens it as a file alone does but a desktop program runs in the launcher's console,
// "/options" followed by a file alone shows the file's Start Options dialog and exits with 0 once it was shown;
// the installer's "/register" and "/unregister" (each alone, or followed by "/machine" for every user of the
// computer) add and remove the program's registration with Windows, and exit with 0 only when nothing was refused.
int RunCommandLine(Context& context, std::u16string_view commandLine);

// Starts the file with a starter of its kind; true when a process was started. `inConsole`: a desktop program runs
// in the launcher's console whatever the walk judges.
bool OpenJavaFile(Context& context, std::u16string file, bool useDefaultAction,
                  const std::u16string& externalArguments, bool inConsole = false);

// The open-file dialog shown for an empty command line.
OpenFileRequest JavaFileRequest();

}  // namespace tc
