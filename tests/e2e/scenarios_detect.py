"""Scenarios of starter detection: the Scan buttons of the setup dialog on a machine with Java runtimes."""
import pathlib
import shutil
import time

import sdk_layout
from harness import check, parse_reg, scenario

SETUP = "Tessaly Corvalo Setup"
J2SE_SCAN = 1004
LIST = 1018
CHECK_ALL = 1013
SHOW_NONMAIN = 1021
ADD_CHECKED = 1
SETTINGS = "HKCU\\Software\\Tessaly\\Corvalo\\setup1"
SDK_DATA = pathlib.Path(__file__).resolve().parents[1] / "data" / "sdk"


def install_fake_java(wine, home):
    """Puts the stand-in java.exe and javaw.exe, which carry a "Full Version", under C:\\<home>."""
    fake = wine.build / "tests" / "e2e" / "fake_java.exe"
    for relative in ("bin", "jre\\bin"):
        folder = pathlib.Path(wine.env["WINEPREFIX"]) / "drive_c" / home / relative.replace("\\", "/")
        folder.mkdir(parents=True, exist_ok=True)
        for name in ("java.exe", "javaw.exe"):
            shutil.copy(fake, folder / name)


def register_java(wine, kind, version, home, view):
    wine.run("reg", "add", f"HKLM\\SOFTWARE\\JavaSoft\\{kind}\\{version}", "/v", "JavaHome", "/d", home, "/f",
             f"/reg:{view}")


def machine_is_read_only(wine):
    """The runtimes' keys as a user who is not elevated sees them: readable only."""
    for view in ("32", "64"):
        wine.machine_key_access(view, wine.READ_ONLY, "SOFTWARE\\JavaSoft")


def forget_java(wine):
    for view in ("32", "64"):
        wine.machine_key_access(view, wine.WRITABLE, "SOFTWARE\\JavaSoft")
        wine.run("reg", "delete", "HKLM\\SOFTWARE\\JavaSoft", "/f", f"/reg:{view}", check_exit=False)
    wine.run("reg", "delete", SETTINGS, "/f", check_exit=False)


def rows(wine, caption):
    return [tuple(line.split("\t", 1)) for line in wine.driver("rows", caption, LIST).splitlines() if "\t" in line]


def until(read, holds, timeout=10):
    """What `read` gives once `holds` is true of it, or when the time is up: the driver's clicks and keys are
    posted, so the dialog may not have handled them yet."""
    deadline = time.monotonic() + timeout
    while True:
        value = read()
        if holds(value) or time.monotonic() > deadline:
            return value
        time.sleep(0.1)  # polling the dialog, bounded by the deadline


def shown_order(names):
    # The list keeps its items sorted by text without regard to case; these names sort alike under any collation.
    return sorted(names, key=str.casefold)


def stored_starters(wine, kind):
    """slot -> (name, executable, arguments) of the starters of this kind ("J2SE", "J2ME") in Wine's registry."""
    root = f"{SETTINGS}\\{kind}"
    text = wine.reg_query(root)
    prefix = root.upper().replace("HKCU", "HKEY_CURRENT_USER") + "\\"
    slots = sorted(int(line.strip()[len(prefix):]) for line in text.splitlines() if line.upper().startswith(prefix))
    starters = {}
    for slot in slots:
        values = parse_reg(text, f"{root}\\{slot}")
        starters[slot] = tuple(values.get(name, (None, None))[1] for name in ("Name", "ExecutableFile", "Arguments"))
    return starters


def open_setup(wine):
    # Started on C:, as from Explorer: the Nokia installation registry is read from the current drive's root.
    launch = wine.launch(" /setup", cwd=pathlib.Path(wine.env["WINEPREFIX"]) / "drive_c")
    wine.wait(SETUP)
    return launch


def check_rescan_lists_nothing(wine, title, launch):
    """The result dialog of a scan whose candidates are all present already: empty, Add Checked disabled.
    Cancels it and the setup dialog."""
    check(rows(wine, title) == [], "starters already present are listed")
    check(wine.driver("enabled", title, ADD_CHECKED).strip() == "0", "Add Checked enabled on an empty list")
    wine.driver("click", title, 2)
    wine.driver("gone", title, 10000)
    wine.driver("click", SETUP, 2)
    check(launch.exit_code() == 0, "setup did not end with exit code 0")


def scan(wine):
    wine.driver("click", SETUP, J2SE_SCAN)


def dismiss_scan_note(wine):
    """An empty catalogue makes the setup dialog point at the Scan buttons once."""
    box = wine.message_box("Information")
    check("SCAN" in box["text"], f"note {box['text']!r}")
    wine.driver("click", "Information", 1)
    wine.driver("gone", "Information", 10000)


@scenario
def j2se_scan_adds_runtimes(wine):
    forget_java(wine)
    install_fake_java(wine, "Java/jre8")
    install_fake_java(wine, "Java/jdk8")
    register_java(wine, "Java Runtime Environment", "1.8.0_202", "C:\\Java\\jre8\\", "64")
    register_java(wine, "Java Development Kit", "1.8", "C:\\Java\\jdk8", "32")  # labelled by its Full Version
    machine_is_read_only(wine)

    launch = open_setup(wine)
    dismiss_scan_note(wine)
    scan(wine)
    title = "Detected J2SE Starters"
    wine.wait(title)
    shown = rows(wine, title)
    check(shown == [("0", "JRE 1.8.0_202 (Console)"), ("0", "JRE 1.8.0_202 (GUI)")], f"main candidates {shown}")
    check(wine.driver("enabled", title, ADD_CHECKED).strip() == "0", "Add Checked enabled with nothing ticked")
    wine.screenshot(title, "detected-j2se-starters")
    wine.driver("press", title, SHOW_NONMAIN)  # the mouse, so that the box shows its tick
    wine.driver("click", title, CHECK_ALL)
    wine.driver("settle", title)
    everything = rows(wine, title)
    check(len(everything) == 6 and all(checked == "1" for checked, _ in everything), f"all candidates {everything}")
    wine.screenshot(title, "detected-j2se-starters-all")
    wine.driver("click", title, ADD_CHECKED)
    wine.driver("gone", title, 10000)
    wine.screenshot(SETUP, "setup-after-j2se-scan")
    wine.driver("click", SETUP, 1)
    check(launch.exit_code() == 0, "setup did not end with exit code 0")

    # New starters take the lowest free slots in the order they were found, not the order shown.
    expected = ["JRE 1.8.0_202 (GUI)", "JRE 1.8.0_202 (Console)", "JRE in JDK 1.8.0_202 (GUI)",
                "JRE in JDK 1.8.0_202 (Console)", "JDK 1.8.0_202 (GUI)", "JDK 1.8.0_202 (Console)"]
    files = ["C:\\Java\\jre8\\bin\\javaw.exe", "C:\\Java\\jre8\\bin\\java.exe", "C:\\Java\\jdk8\\jre\\bin\\javaw.exe",
             "C:\\Java\\jdk8\\jre\\bin\\java.exe", "C:\\Java\\jdk8\\bin\\javaw.exe", "C:\\Java\\jdk8\\bin\\java.exe"]
    for slot, (name, exe) in enumerate(zip(expected, files), start=1):
        key = f"{SETTINGS}\\J2SE\\{slot}"
        values = parse_reg(wine.reg_query(key), key)
        check(values.get("Name") == ("REG_SZ", name), f"slot {slot}: {values}")
        check(values.get("ExecutableFile") == ("REG_SZ", exe), f"slot {slot}: {values}")
        check(values.get("Arguments") == ("REG_SZ", "-jar %1 %*"), f"slot {slot}: {values}")

    # Scanning again finds only what is there: the list opens empty, Add Checked disabled.
    launch = open_setup(wine)
    scan(wine)
    wine.wait(title)
    check_rescan_lists_nothing(wine, title, launch)
    forget_java(wine)


@scenario
def j2se_scan_on_a_machine_without_java(wine):
    forget_java(wine)
    launch = open_setup(wine)
    dismiss_scan_note(wine)
    scan(wine)
    box = wine.message_box("Information")
    check(box["text"] == "No J2SE starters are detected.", f"message {box['text']!r}")
    check(box["icon"] == "information", f"icon {box['icon']}")
    wine.screenshot("Information", "no-j2se-starters")
    wine.driver("click", "Information", 1)
    wine.driver("gone", "Information", 10000)
    wine.driver("click", SETUP, 2)
    check(launch.exit_code() == 0, "setup did not end with exit code 0")


@scenario
def j2se_scan_finds_java_homes(wine):
    """Today's runtimes, registered in HKEY_LOCAL_MACHINE (readable only), for the user, or nowhere."""
    forget_java(wine)
    machine = sdk_layout.load(SDK_DATA / "j2se-homes.txt")
    sdk_layout.apply(wine, machine)
    profile = sdk_layout.user_profile(wine)
    lines = (SDK_DATA / "j2se-expected.txt").read_text(encoding="utf-8").splitlines()
    expected = [tuple(line.replace("%USERPROFILE%", profile).split("|", 2))
                for line in lines if line and not line.startswith("#")]
    names = [name for name, _, _ in expected]
    check(len(expected) == 44 and len(set(names)) == 44, f"expected candidates: {len(expected)}")
    title = "Detected J2SE Starters"
    environment = dict(wine.env)
    wine.env.update(machine.program_environment())
    try:
        launch = open_setup(wine)
        dismiss_scan_note(wine)
        started = time.monotonic()
        scan(wine)
        wine.wait(title)
        print(f"J2SE scan: the list after {time.monotonic() - started:.2f} s")
        # Each home is its own group, so every candidate is main; the box shows nothing more.
        shown = rows(wine, title)
        check([name for _, name in shown] == shown_order(names), f"listed {shown}")
        wine.driver("press", title, SHOW_NONMAIN)
        wine.driver("click", title, CHECK_ALL)
        everything = until(lambda: rows(wine, title), lambda listed: all(checked == "1" for checked, _ in listed))
        check([name for _, name in everything] == shown_order(names) and all(c == "1" for c, _ in everything),
              f"with nonmain starters {everything}")
        wine.screenshot(title, "detected-j2se-homes")
        wine.driver("click", title, ADD_CHECKED)
        wine.driver("gone", title, 10000)
        wine.driver("click", SETUP, 1)
        check(launch.exit_code() == 0, "setup did not end with exit code 0")

        stored = stored_starters(wine, "J2SE")
        wanted = dict(enumerate(expected, start=1))
        for slot in sorted(set(stored) | set(wanted)):
            check(stored.get(slot) == wanted.get(slot),
                  f"slot {slot}: stored {stored.get(slot)}, expected {wanted.get(slot)}")

        # The same executables are now starters: a second scan hides every candidate.
        launch = open_setup(wine)
        scan(wine)
        wine.wait(title)
        check_rescan_lists_nothing(wine, title, launch)
    finally:
        wine.env = environment
        sdk_layout.remove(wine, machine)
        forget_java(wine)
