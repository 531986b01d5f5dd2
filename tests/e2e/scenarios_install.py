"""The installer and its uninstaller in both modes: per user, as a user without administrator rights meets them, and
for everyone, as an administrator deploys it; each also with the program running."""
import re
import time

from harness import Failure, check, full_key, parse_reg, reg_keys, scenario
from scenarios_dialogs import (CLASSES, SETUP, dialog_texts, expect_box, registration, registry_snapshot,
                               shell_opens_jar_with_our_prog_id)
from scenarios_launch import DESKTOP_MANIFEST, SETTINGS, Machine, jar_bytes
from scenarios_update import UpdateServer, configured_endpoint

UNINSTALL = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaly Corvalo"
MACHINE_UNINSTALL = UNINSTALL.replace("HKCU", "HKLM")
RUNNING = "Tessaly Corvalo is running. Close it, then press Retry."


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


def prepare(wine, name):
    """A user with the probe as the starter of JARs and no registration; the installer's version and file."""
    machine = Machine(wine, name)
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    machine.actions("J2SE", 1)
    wine.run(wine.program, "/unregister")
    for key in (".jar", ".jad"):
        wine.run("reg", "delete", f"{CLASSES}\\{key}", "/f", check_exit=False)
    # Shortcuts would otherwise reach the desktop menus of the machine running the tests.
    wine.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
    number = version(wine)
    return machine, number, wine.build / f"TessalyCorvalo-{number}-setup.exe"


def start_program(wine, program=None):
    """The setup dialog left open: the program runs until the scenario closes it with close_program()."""
    launch = wine.launch(" /setup", program=program)
    wine.wait(SETUP)
    return launch


def close_program(wine, launch):
    wine.driver("click", SETUP, 2)
    code = launch.exit_code()
    check(code == 0, f"the program exited {code}")


def exit_code(wine, program, tail):
    return wine.launch(tail, program=program).exit_code()


def expect_uninstall_entry(wine, key, installed, number):
    entry = parse_reg(wine.reg_query(key), key)
    size = entry.pop("EstimatedSize", ("", "0x0"))
    check(size[0] == "REG_DWORD" and int(size[1], 16) >= 1000, f"EstimatedSize {size}")  # in KiB
    expected = {
        "DisplayName": ("REG_SZ", "Tessaly Corvalo"),
        "DisplayVersion": ("REG_SZ", number),
        "Publisher": ("REG_SZ", "Tessaly"),
        "DisplayIcon": ("REG_SZ", f"{installed}\\TessalyCorvalo.exe,0"),
        "InstallLocation": ("REG_SZ", installed),
        "UninstallString": ("REG_SZ", f'"{installed}\\Uninstall.exe"'),
        "QuietUninstallString": ("REG_SZ", f'"{installed}\\Uninstall.exe" /S'),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
    }
    check(entry == expected, f"uninstall entry {entry}, expected {expected}")


def install_with_the_wizard(wine, setup, wizard):
    """Welcome, users, folder, progress and finish, each captured. The program runs when Install is pressed, and is
    closed when the installer asks; Finish starts the setup dialog, which is closed."""
    launch = wine.launch("", program=setup, timeout_ms=120000)
    wine.wait(wizard)
    wine.screenshot(wizard, "installer-welcome")
    wine.driver("click", wizard, 1)
    # Past the welcome page the window's title gets a blank page caption, which tells it from its message boxes.
    paged = wizard + " "
    wait_until(lambda: 1202 in dialog_texts(wine, paged), "the Install for: page did not come")
    texts = dialog_texts(wine, paged)
    shown = [texts.get(ident) for ident in (1200, 1201, 1202)]
    check(shown == ["Install for:", "Anyone who uses this computer (needs administrator rights)", "Only for me"],
          f"the Install for: page shows {shown}")
    wine.screenshot(paged, "installer-users")
    wine.driver("click", paged, 1)
    wait_until(lambda: 1019 in dialog_texts(wine, paged), "the folder page did not come")
    suggested = dialog_texts(wine, paged)[1019]
    check(suggested.endswith("\\AppData\\Local\\Programs\\Tessaly Corvalo"), f"the suggested folder is {suggested!r}")
    wine.screenshot(paged, "installer-folder")
    running = start_program(wine)
    wine.driver("click", paged, 1)
    expect_box(wine, wizard, RUNNING, "warning", ["Retry", "Cancel"])
    wine.screenshot(wizard, "installer-program-running")
    close_program(wine, running)
    wine.driver("click", wizard, 4)
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
    machine, number, setup = prepare(wine, "installer")
    installed = wine.run("cmd.exe", "/c", "echo %LOCALAPPDATA%").strip() + "\\Programs\\Tessaly Corvalo"
    folder = machine.unix(installed)
    start_menu = machine.unix(wine.run("cmd.exe", "/c", "echo %APPDATA%").strip()) / "Microsoft" / "Windows" / \
        "Start Menu" / "Programs"
    shortcut = start_menu / "Tessaly Corvalo.lnk"

    install_with_the_wizard(wine, setup, f"Tessaly Corvalo {number} Setup")
    # Silently, the installer gives a running program 30 seconds, then leaves everything as it was.
    (folder / "TessalyCorvalo.exe").write_bytes(b"an older version")
    running = start_program(wine)
    code = exit_code(wine, setup, " /S")
    check(code == 3, f"the installer exited {code} with the program running, expected 3")
    check((folder / "TessalyCorvalo.exe").read_bytes() == b"an older version", "the running program was replaced")
    close_program(wine, running)
    # Installing again, silently, replaces the program in place.
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
    expect_uninstall_entry(wine, UNINSTALL, installed, number)

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
    # With the program running, the uninstaller's wizard waits for it; Cancel leaves everything as it was.
    running = start_program(wine)
    before = registry_snapshot(wine)
    uninstaller = f"Tessaly Corvalo {number} Uninstall"
    handing_over = wine.launch("", program=folder / "Uninstall.exe")
    wine.driver("click", uninstaller + " ", 1)
    expect_box(wine, uninstaller, RUNNING, "warning", ["Retry", "Cancel"])
    wine.driver("click", uninstaller, 2)
    wine.driver("gone", uninstaller + " ", 30000)
    # Only now: its copy holds the driver's output open until it ends.
    check(handing_over.exit_code() == 0, "the uninstaller did not hand over to its copy")
    close_program(wine, running)
    check((folder / "TessalyCorvalo.exe").exists() and registry_snapshot(wine) == before,
          "the uninstaller changed something after Cancel")
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


def snapshot_of(wine, keys):
    """One `reg query /s` of each of these keys that none of the others holds."""
    tops = [key for key in keys if not any(key.startswith(other + "\\") for other in keys)]
    return "\n".join(wine.reg_query(key) for key in tops)


@scenario
def installer_installs_for_everyone(wine):
    machine, number, setup = prepare(wine, "installer-everyone")
    installed = "C:\\Program Files\\Tessaly Corvalo"
    folder = machine.unix(installed)
    program = f"{installed}\\TessalyCorvalo.exe"
    machine_keys = registration(program, "HKLM")
    shortcut = machine.unix(wine.run("cmd.exe", "/c", "echo %ProgramData%").strip()) / "Microsoft" / "Windows" / \
        "Start Menu" / "Programs" / "Tessaly Corvalo.lnk"

    # A registration the machine refuses (as to a user who is not elevated): the installation goes on, and says so.
    applications = "HKLM\\Software\\RegisteredApplications"
    wine.run("reg", "add", applications, "/f")
    wine.run("reg", "delete", applications, "/ve", "/f")  # Wine's reg gives a new key an empty default value
    wine.machine_key_access("64", wine.READ_ONLY, applications[5:])
    try:
        code = exit_code(wine, setup, " /S /AllUsers")
    finally:
        wine.machine_key_access("64", wine.WRITABLE, applications[5:])
    check(code == 2, f"the installer exited {code} when its registration was refused, expected 2")
    check((folder / "TessalyCorvalo.exe").exists(), "nothing was installed after the refused registration")
    code = exit_code(wine, setup, " /S /AllUsers")
    check(code == 0, f"the installer exited {code}, expected 0")

    files = sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())
    expected_files = ["DefaultAssociations.xml", "TessalyCorvalo.exe", "Uninstall.exe", "policies/TessalyCorvalo.admx",
                      "policies/en-US/TessalyCorvalo.adml"]
    check(files == expected_files, f"installed files {files}")
    check((folder / "TessalyCorvalo.exe").read_bytes() == wine.program.read_bytes(), "the program was not installed")
    link = shortcut.read_bytes() if shortcut.exists() else b""
    check("/setup".encode("utf-16-le") in link, f"no shortcut for all users at {shortcut}")
    snapshot = snapshot_of(wine, machine_keys)
    for key, values in machine_keys.items():
        stored = parse_reg(snapshot, key)
        check(stored == values, f"{key}: {stored}, expected {values}")
    for extension in (".jar", ".jad"):
        key = f"HKLM\\Software\\Classes\\{extension}"
        check("(Default)" not in parse_reg(wine.reg_query(key), key), f"everyone's default for {extension} was set")
    expect_uninstall_entry(wine, MACHINE_UNINSTALL, installed, number)
    user_keys = {full_key(key) for key in registration(program)}
    check(not user_keys & reg_keys(registry_snapshot(wine)), "the installation for everyone registered this user")

    # The default associations file makes our ProgID every user's choice; only the machine's registration is there.
    jar = machine.file("everyone.jar", jar_bytes(DESKTOP_MANIFEST))
    wine.run("reg", "add", "HKLM\\Software\\Classes\\.jar", "/ve", "/d", "Tessaly-Corvalo.jar", "/f")
    try:
        wine.run("start", "/unix", jar, timeout=60)
        lines = machine.probe_lines(1, timeout=30)
    finally:
        wine.run("reg", "delete", "HKLM\\Software\\Classes\\.jar", "/ve", "/f", check_exit=False)
    expected_line = f'"{machine.probe}" -jar "{machine.windows(jar)}"'
    check(lines == [expected_line], f"the probe got {lines}, expected [{expected_line!r}]")

    # The organisation manages updates: no request leaves. The uninstaller meanwhile meets the program running.
    policies = "HKLM\\Software\\Policies\\Tessaly"
    wine.run("reg", "add", f"{policies}\\Corvalo", "/v", "DisableUpdateCheck", "/t", "REG_DWORD", "/d", "1", "/f")
    server = UpdateServer(configured_endpoint(wine))
    try:
        running = start_program(wine, folder / "TessalyCorvalo.exe")
        wine.driver("click", SETUP, 1025)
        expect_box(wine, "Tessaly Corvalo", "Updates of Tessaly Corvalo are managed by your organisation.",
                   "information", ["OK"])
        wine.screenshot("Tessaly Corvalo", "update-managed")
        wine.driver("click", "Tessaly Corvalo", 1)
        wine.driver("gone", "Tessaly Corvalo", 10000)
        check(not server.requests, f"requests under the policy: {server.requests}")
        # Run in place (_?=), the uninstaller itself ends with the exit code.
        code = exit_code(wine, folder / "Uninstall.exe", f" /S _?={installed}")
        check(code == 3, f"the uninstaller exited {code} with the program running, expected 3")
        check((folder / "TessalyCorvalo.exe").exists() and snapshot_of(wine, machine_keys) == snapshot,
              "the uninstaller changed something while the program ran")
        close_program(wine, running)
    finally:
        server.stop()
        wine.run("reg", "delete", policies, "/f", check_exit=False)

    # A per-user installation beside it, which the uninstaller for everyone leaves alone.
    wine.run(setup, "/S", timeout=120)
    user_folder = machine.unix(wine.run("cmd.exe", "/c", "echo %LOCALAPPDATA%").strip() + "\\Programs\\Tessaly Corvalo")
    user_snapshot, user_entry = registry_snapshot(wine), wine.reg_query(UNINSTALL)
    check("HKEY_" in user_entry, "the per-user installation has no uninstall entry")
    wine.run(folder / "Uninstall.exe", "/S", timeout=60)
    wait_until(lambda: not folder.exists() and "HKEY_" not in wine.reg_query(MACHINE_UNINSTALL),
               "the uninstaller did not remove the program for everyone and its uninstall entry")
    check(not shortcut.exists(), "the shortcut for all users is still there")
    left = snapshot_of(wine, machine_keys)
    check("tessaly" not in left.lower(), f"the registration for everyone is left: {left}")
    check(registry_snapshot(wine) == user_snapshot and wine.reg_query(UNINSTALL) == user_entry,
          "the uninstaller for everyone changed the per-user installation's registry")
    check(sorted(p.name for p in user_folder.iterdir()) == ["TessalyCorvalo.exe", "Uninstall.exe"],
          "the uninstaller for everyone changed the per-user installation's files")
    wine.run(user_folder / "Uninstall.exe", "/S", timeout=60)
    wait_until(lambda: not user_folder.exists() and "HKEY_" not in wine.reg_query(UNINSTALL),
               "the per-user uninstaller did not finish")
