// Every dialog of the program, one function each: the table of contents of the user interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/Context.h"
#include "detect/DetectedStarter.h"

namespace tc {

class StarterScanner;

// "Tessaly Corvalo Setup": the starters of both kinds and the action of each; 1 when the user pressed OK.
int RunSetupDialog(Context& context, WindowId owner);

struct Selection {
  int endCode = kIdCancel;
  std::uint32_t slot = 0;  // the chosen starter after OK, else 0
};
// "J2SE Starter Select" / "J2ME Starter Select": the user picks a starter of the kind.
Selection RunSelectionDialog(Context& context, StarterKind kind, WindowId owner);

// "J2SE Starter" / "J2ME Starter": edits one starter's three strings in place; 1 when the user pressed OK.
int RunStarterEditor(Context& context, StarterKind kind, WindowId owner, Starter& starter);

// "Start Options - <file name>": what the file at `fullPath`, of the kind given, always starts with and is given,
// kept for that file alone; 1 when the user pressed OK or Forget, 2 for Cancel.
int RunStartOptionsDialog(Context& context, WindowId owner, const std::u16string& fullPath, StarterKind kind);

// The scan behind "Scan": "Scanning for ..." while it runs, then the candidates; true when the user closed the
// result dialog with "Add Checked" and the candidates were added.
bool RunScan(StarterScanner& scanner, Ui& ui, WindowId parent);

// "Detected J2SE Starters" / "Detected J2ME Starters": sets Checked on the candidates the user ticked;
// 1 for "Add Checked".
int RunDetectedStartersDialog(Ui& ui, WindowId owner, const std::u16string& title, DetectedStarterList& list);

// "About": the product, its version and the web site.
void RunAboutBox(Context& context, WindowId owner);

// "Check for Updates...": asks the web site for a newer version behind a progress dialog, tells the result,
// and opens the download address when there is one; under the DisableUpdateCheck policy it only says so.
void RunUpdateCheck(Context& context, WindowId owner);

// "File Associations...": points the user's .jar and .jad files at this program, if the user agrees, and opens
// Settings' Default apps when Windows still follows the user's earlier choice of another program.
void AssociateFileTypes(Context& context, WindowId owner);

// "Tessaly Corvalo", shown when a descriptor's declared archive size is wrong: 1 (correct the descriptor),
// 1013 (work on temporary copies) or 2 (cancel).
int RunSizeMismatchDialog(Ui& ui, std::uint32_t realSize, std::uint32_t declaredSize);

struct JavaVersionWarning {
  std::uint32_t required = 0;        // the Java major version the archive needs
  std::u16string starterName;        // the starter about to run
  std::uint32_t starterVersion = 0;  // and the Java it runs
  std::optional<std::u16string> compatibleName;  // the starter that could run the archive instead, if any
  std::optional<std::uint32_t> offeredJava;      // the Java the user may get instead, when none is compatible
  bool needsJavaFx = false;  // the Java is new enough, but the program needs the JavaFX it lacks
};
// "Tessaly Corvalo", shown when the starter about to run has too old a Java for the archive, or one without the
// JavaFX it uses: 1 (start the compatible starter, or open the setup dialog when there is none), 1019 (get Java),
// 1015 (start anyway) or 2 (cancel).
int RunJavaVersionDialog(Ui& ui, const JavaVersionWarning& warning);

struct StartFailureReport {
  std::u16string fileName;   // the file the user opened, without its folder
  std::u16string diagnosis;  // what went wrong, in words
  std::u16string output;     // the end of what the program wrote
  std::u16string details;    // what "Copy Details" puts on the clipboard
  std::optional<std::u16string> startWith;  // the starter that can run it instead, if any
  std::optional<std::uint32_t> getJava;     // else the Java the user may get, if any
  bool endedWell = false;      // it ended at once with exit code 0, having written something: no failure
  bool openInConsole = false;  // and it can be run again in a console
};
// "Tessaly Corvalo", shown when a started program stopped at once: 1 (start with the other starter, get Java, or
// run it again in a console) or 2 (close). Enter gives 1, except where 1 runs the program again. "Copy Details"
// copies and leaves the dialog open.
int RunStartFailureDialog(Ui& ui, const StartFailureReport& report);

struct GetJavaOffer {
  std::uint32_t required = 0;  // the Java the program needs
  std::uint32_t offered = 0;   // the Java offered for it
  bool withWinget = false;     // it can be installed here and now
};
// "Tessaly Corvalo", shown when no Java that can run the program is set up: 1 (install with winget), 1020 (open
// the download page) or 2 (cancel).
int RunGetJavaDialog(Ui& ui, const GetJavaOffer& offer);

struct SecurityWarning {
  std::u16string fileName;  // the file about to run, without its folder
  std::u16string from;      // the host of the site it came from; empty when unknown
};
struct SecurityWarningAnswer {
  bool run = false;       // "Run"; false for "Don't Run", Escape and the close box
  bool alwaysAsk = true;  // the box "Always ask before opening this file" was left ticked
};
// "Security Warning", shown before a desktop JAR that came from the internet runs.
SecurityWarningAnswer RunSecurityWarningDialog(Ui& ui, const SecurityWarning& warning);

// "Tessaly Corvalo", shown while winget installs Java: 1 once it has ended, with its exit code; 2 when the user
// stopped waiting (winget goes on).
int RunInstallingJavaDialog(Ui& ui, std::uint32_t version, ChildProcess& winget, std::uint32_t& exitCode);

}  // namespace tc
