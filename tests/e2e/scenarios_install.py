"""The per-user installer and its uninstaller, as a user without administrator rights meets them."""
import re
import time

from harness import Failure, check, parse_reg, reg_keys, scenario
from scenarios_dialogs import (CLASSES, SETUP, dialog_texts, registration, registry_snapshot,
                               shell_opens_jar_with_our_prog_id)
from scenarios_launch import DESKTOP_MANIFEST, SETTINGS, Machine, jar_bytes

UNINSTALL = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaly Corvalo"


def version(wine):
    cache = (wine.build / "CMakeCache.txt").read_text()
    found = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(\d+\.\d+\.\d+)", cache, re.M)
    check(found, "the project version is not in the build's CMake cache")
    return found.group(1)


def wait_until(condition, message, timeout=60):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure(message)
        time.sleep(0.2)  # polling what another process leaves behind, bounded by the deadline


def install_with_the_wizard(wine, setup, wizard):
    """Welcome, folder, progress and finish, each captured; Finish starts the setup dialog, which is closed."""
    launch = wine.launch("", program=setup, timeout_ms=120000)
    wine.wait(wizard)
    wine.screenshot(wizard, "installer-welcome")
    wine.driver("click", wizard, 1)
    # Past the welcome page Modern UI adds a blank page caption to the window's title.
    paged = wizard + " "
    wine.wait(paged)
    suggested = dialog_texts(wine, paged).get(1019, "")
    check(suggested.endswith("\\AppData\\Local\\Programs\\Tessaly Corvalo"), f"the suggested folder is {suggested!r}")
    wine.screenshot(paged, "installer-folder")
    wine.driver("click", paged, 1)
    wait_until(lambda: dialog_texts(wine, paged).get(1203) == "Open Tessaly Corvalo Setup",
               "the finish page did not come")
    wine.screenshot(paged, "installer-finish")
    wine.driver("click", paged, 1)
    wine.wait(SETUP)
    wine.driver("click", SETUP, 2)
    wine.driver("gone", SETUP, 10000)
    # Only now: the program the installer started holds the driver's output open until it ends.
    code = launch.exit_code()
    check(code == 0, f"the installer exited {code}")


@scenario
def installer_installs_and_uninstalls_per_user(wine):
    machine = Machine(wine, "installer")
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    machine.actions("J2SE", 1)
    for key in (".jar", ".jad", "Tessaly-Corvalo.jar", "Tessaly-Corvalo.jad", "Applications\\TessalyCorvalo.exe"):
        wine.run("reg", "delete", f"{CLASSES}\\{key}", "/f", check_exit=False)
    # Shortcuts would otherwise reach the desktop menus of the machine running the tests.
    wine.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
    number = version(wine)
    setup = wine.build / f"TessalyCorvalo-{number}-setup.exe"
    installed = wine.run("cmd.exe", "/c", "echo %LOCALAPPDATA%").strip() + "\\Programs\\Tessaly Corvalo"
    folder = machine.unix(installed)
    start_menu = machine.unix(wine.run("cmd.exe", "/c", "echo %APPDATA%").strip()) / "Microsoft" / "Windows" / \
        "Start Menu" / "Programs"
    shortcut = start_menu / "Tessaly Corvalo.lnk"

    install_with_the_wizard(wine, setup, f"Tessaly Corvalo {number} Setup")
    # Installing again, silently, replaces the program in place.
    (folder / "TessalyCorvalo.exe").write_bytes(b"an older version")
    wine.run(setup, "/S", timeout=120)
    check(sorted(p.name for p in folder.iterdir()) == ["TessalyCorvalo.exe", "Uninstall.exe"],
          f"installed files {sorted(folder.iterdir())}")
    check((folder / "TessalyCorvalo.exe").read_bytes() == wine.program.read_bytes(), "the program was not updated")
    link = shortcut.read_bytes() if shortcut.exists() else b""
    check("TessalyCorvalo.exe".encode("utf-16-le") in link and "/setup".encode("utf-16-le") in link,
          f"the Start-menu shortcut {shortcut} does not start the setup dialog")

    program = f"{installed}\\TessalyCorvalo.exe"
    snapshot = registry_snapshot(wine)
    for key, values in registration(program).items():
        stored = parse_reg(snapshot, key)
        check(stored == values, f"{key}: {stored}, expected {values}")
    for extension in (".jar", ".jad"):
        stored = parse_reg(snapshot, f"{CLASSES}\\{extension}")
        check(stored == {}, f"the installer made itself the default for {extension}: {stored}")
    entry = parse_reg(wine.reg_query(UNINSTALL), UNINSTALL)
    size = entry.pop("EstimatedSize", ("", "0x0"))
    check(size[0] == "REG_DWORD" and int(size[1], 16) >= 1000, f"EstimatedSize {size}")  # in KiB
    expected = {
        "DisplayName": ("REG_SZ", "Tessaly Corvalo"),
        "DisplayVersion": ("REG_SZ", number),
        "Publisher": ("REG_SZ", "Tessaly"),
        "DisplayIcon": ("REG_SZ", f"{program},0"),
        "InstallLocation": ("REG_SZ", installed),
        "UninstallString": ("REG_SZ", f'"{installed}\\Uninstall.exe"'),
        "QuietUninstallString": ("REG_SZ", f'"{installed}\\Uninstall.exe" /S'),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
    }
    check(entry == expected, f"uninstall entry {entry}, expected {expected}")

    # The user makes the program the handler of .jar in Settings; a double-click then reaches the starter.
    jar = machine.file("installed.jar", jar_bytes(DESKTOP_MANIFEST))
    lines = shell_opens_jar_with_our_prog_id(wine, machine, jar)
    expected_line = f'"{machine.probe}" -jar "{machine.windows(jar)}"'
    check(lines == [expected_line], f"the probe got {lines}, expected [{expected_line!r}]")

    # Meanwhile another program took .jar and offers itself for it too, while .jad still names us.
    wine.run("reg", "add", f"{CLASSES}\\.jar", "/ve", "/d", "jarfile", "/f")
    wine.run("reg", "add", f"{CLASSES}\\.jar\\OpenWithProgids", "/v", "jarfile", "/t", "REG_NONE", "/f")
    wine.run("reg", "add", f"{CLASSES}\\.jad", "/ve", "/d", "Tessaly-Corvalo.jad", "/f")
    starters = wine.reg_query(SETTINGS)
    # The uninstaller hands its work to a copy of itself and returns at once: what it leaves is polled for.
    wine.run(folder / "Uninstall.exe", "/S", timeout=60)
    wait_until(lambda: not folder.exists() and "HKEY_" not in wine.reg_query(UNINSTALL),
               "the uninstaller did not remove the program and its uninstall entry")
    check(not shortcut.exists(), "the Start-menu shortcut is still there")
    snapshot = registry_snapshot(wine)
    settings = SETTINGS.upper().replace("HKCU", "HKEY_CURRENT_USER")
    left = [key for key in reg_keys(snapshot)
            if "TESSALY" in key and not settings.startswith(key) and not key.startswith(settings)]
    check(not left, f"keys left behind: {left}")
    check(wine.reg_query(SETTINGS) == starters, "the starters changed")
    kept = {key: parse_reg(snapshot, f"{CLASSES}\\{key}") for key in (".jar", ".jar\\OpenWithProgids", ".jad")}
    # reg writes a REG_NONE value as two null bytes.
    expected = {".jar": {"(Default)": ("REG_SZ", "jarfile")},
                ".jar\\OpenWithProgids": {"jarfile": ("REG_NONE", "0000")}, ".jad": {}}
    check(kept == expected, f"the file types after uninstalling: {kept}, expected {expected}")
    check(f"{CLASSES}\\.jad".upper().replace("HKCU", "HKEY_CURRENT_USER") not in reg_keys(snapshot),
          "the emptied .jad key is still there")
    check("Tessaly Corvalo" not in parse_reg(snapshot, "HKCU\\Software\\RegisteredApplications"),
          "still a registered application")
