// The command line: tokens, the forms it can take, and routing an opened file to its flow.
#include "app/CommandLine.h"

#include "base/Text.h"
#include "launch/OpenArchive.h"
#include "launch/OpenDescriptor.h"
#include "ui/Dialogs.h"
#include "ui/FileAssociations.h"
#include "ui/Messages.h"

namespace tc {

std::optional<std::vector<std::u16string>> TokenizeCommandLine(std::u16string_view text) {
  std::vector<std::u16string> tokens;
  size_t i = 0;
  while (true) {
    while (i < text.size() && text[i] >= 1 && text[i] <= 32) ++i;
    if (i == text.size()) return tokens;
    const size_t begin = i;
    if (text[i] == u'"') {
      const size_t close = text.find(u'"', i + 1);
      if (close == std::u16string_view::npos) return std::nullopt;
      i = close + 1;
    } else {
      // A null character is neither blank nor part of a token; it ends the run like a blank does.
      while (i < text.size() && text[i] > 32) ++i;
      if (i == begin) {
        ++i;
        continue;
      }
    }
    tokens.emplace_back(text.substr(begin, i - begin));
  }
}

std::u16string JoinTokens(const std::vector<std::u16string>& tokens, size_t first) {
  std::u16string joined;
  for (size_t i = first; i < tokens.size(); ++i) {
    if (i > first) joined += u' ';
    joined += tokens[i];
  }
  return joined;
}

OpenFileRequest JavaFileRequest() {
  return OpenFileRequest{kNoWindow,
                         u"Select a JAR or JAD File",
                         {{u"JAR and JAR Files (*.jar;*.jad)", u"*.jar;*.jad"}, {u"All Files", u"*.*"}},
                         u"",
                         8192,
                         0x180C};
}

namespace {

// A file named in quotes loses them; false, after the message, when they hold nothing or are not closed.
bool Unquote(Ui& ui, std::u16string& file) {
  if (file.empty() || file.front() != u'"') return true;
  if (file.size() < 3 || file.back() != u'"') {
    ShowLaunchError(ui, u"File name error.");
    return false;
  }
  file = file.substr(1, file.size() - 2);
  return true;
}

// The Start Options dialog of a file, whose options are kept under its full path; true when it was shown.
bool OpenStartOptions(Context& context, std::u16string file) {
  if (!Unquote(context.platform.ui, file)) return false;
  const std::optional<StarterKind> kind = JavaFileKind(context, file);
  if (!kind) return false;
  const std::optional<std::u16string> fullPath = context.platform.files.FullPath(file);
  if (!fullPath) {
    ShowLaunchError(context.platform.ui, Format(u"File \"%s\" read error.", {std::u16string_view(file)}));
    return false;
  }
  RunStartOptionsDialog(context, kNoWindow, *fullPath, *kind);
  return true;
}

}  // namespace

bool OpenJavaFile(Context& context, std::u16string file, bool useDefaultAction,
                  const std::u16string& externalArguments, bool inConsole) {
  if (!Unquote(context.platform.ui, file)) return false;
  if (EndsWithIgnoreCase(file, u".jad")) return OpenDescriptor(context, file, useDefaultAction, externalArguments);
  return OpenArchive(context, file, useDefaultAction, externalArguments, inConsole);
}

int RunCommandLine(Context& context, std::u16string_view commandLine) {
  const auto tokens = TokenizeCommandLine(commandLine);
  if (!tokens) {
    ShowLaunchError(context.platform.ui, u"Command line parameter error.");
    return 1;
  }
  const size_t count = tokens->size();
  const auto& t = *tokens;
  bool started = false;
  if (count == 0) {
    const auto file = context.platform.ui.OpenFile(JavaFileRequest());
    if (!file) return 1;
    started = OpenJavaFile(context, *file, false, u"");
  } else if (count == 1 && t[0] == u"/setup") {
    RunSetupDialog(context, kNoWindow);
    return 0;
  } else if ((t[0] == u"/register" || t[0] == u"/unregister") && (count == 1 || (count == 2 && t[1] == u"/machine"))) {
    const RegistryRoot root = count == 2 ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    const int refused = t[0] == u"/register" ? RegisterProgram(context.platform, root)
                                             : UnregisterProgram(context.platform, root);
    return refused == 0 ? 0 : 1;
  } else if (count == 2 && t[0] == u"/options") {
    return OpenStartOptions(context, t[1]) ? 0 : 1;
  } else if (count >= 2 && t[0] == u"/select") {
    started = OpenJavaFile(context, t[1], false, JoinTokens(t, 2));
  } else if (count >= 2 && t[0] == u"/console") {
    started = OpenJavaFile(context, t[1], true, JoinTokens(t, 2), true);
  } else {
    started = OpenJavaFile(context, t[0], true, JoinTokens(t, 1));
  }
  return started ? 0 : 1;
}

}  // namespace tc
