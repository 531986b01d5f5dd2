"""The installer and its uninstaller: per user, as a user without administrator rights meets them, and for everyone,
as an administrator deploys them; each also with the program running."""
import re
import shutil
import subprocess
import time

from harness import Failure, check, parse_reg, reg_keys, scenario
from scenarios_dialogs import (CLASSES, SETUP, dialog_texts, expect_box, registration, registry_snapshot,
                               shell_opens_jar_with_our_prog_id)
from scenarios_launch import DESKTOP_MANIFEST, SETTINGS, Machine, jar_bytes
from scenarios_update import UpdateServer, configured_endpoint

UNINSTALL = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaly Corvalo"
RUNNING = "Tessaly Corvalo is running. Close it, then press Retry."
# The name that earlier installers waited on, which any user could hold.
OLD_MUTEX = "Global\\{5B2E7D14-9A3C-4F61-B8D0-72C4E19A6F35}"


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


def start_program(wine, program=None):
    """The setup dialog left open: the program runs until close_program()."""
    launch = wine.launch(" /setup", program=program)
    wine.wait(SETUP)
    return launch


def hold(wine, mutex, exe):
    """What another user's session may hold: the driver holds the mutex (with a DACL that lets no one open it) or
    maps exe as a running program does, until killed."""
    process = subprocess.Popen(["wine", str(wine.driver_exe), "hold", mutex, "D:P", exe, "240000"], env=wine.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True)
    said = process.stdout.readline().strip()
    check(said == "held", f"the driver did not hold {mutex} {exe}: {said}")
    return process


def quiet_uninstall(wine, command):
    """Starts the uninstall entry's QuietUninstallString as a deployment tool does; finished by exit_code()."""
    program, _, tail = command[1:].partition('"')
    return wine.launch(tail, program=program)


def close_program(wine, launch):
    wine.driver("click", SETUP, 2)
    check(launch.exit_code() == 0, "the program did not end")


def install_with_the_wizard(wine, setup, wizard):
    """Welcome, users, folder, progress and finish, each captured; the program runs until the installer asks for it
    to be closed. Finish starts the setup dialog, which is closed."""
    launch = wine.launch("", program=setup, timeout_ms=120000)
    wine.wait(wizard)
    wine.screenshot(wizard, "installer-welcome")
    wine.driver("click", wizard, 1)
    # Past the welcome page Modern UI adds a blank page caption to the window's title.
    paged = wizard + " "
    wait_until(lambda: 1202 in dialog_texts(wine, paged), "the Install for: page did not come")
    texts = dialog_texts(wine, paged)
    choices = [texts[1200], texts[1201], texts[1202]]
    check(choices == ["Install for:", "Anyone who uses this computer (needs administrator rights)", "Only for me"],
          f"the Install for: page shows {choices}")
    wine.screenshot(paged, "installer-users")
    wine.driver("click", paged, 1)  # "Only for me" is chosen: the per-user folder is suggested
    wait_until(lambda: 1019 in dialog_texts(wine, paged), "the folder page did not come")
    suggested = dialog_texts(wine, paged).get(1019, "")
    check(suggested.endswith("\\AppData\\Local\\Programs\\Tessaly Corvalo"), f"the suggested folder is {suggested!r}")
    wine.screenshot(paged, "installer-folder")
    # The program running from another folder (the build's) holds its files there, not here: no reason to wait.
    elsewhere = start_program(wine)
    wine.driver("click", paged, 1)
    wait_until(lambda: dialog_texts(wine, paged).get(1203) == "Open Tessaly Corvalo Setup",
               "the finish page did not come: the program running from another folder held the installer up")
    close_program(wine, elsewhere)
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
    # Installing again, silently, replaces the program in place; only once it no longer runs (the driver maps an
    # older program, as Windows maps one running in any session).
    older = (wine.build / "tests" / "e2e" / "probe.exe").read_bytes()
    (folder / "TessalyCorvalo.exe").write_bytes(older)
    running = hold(wine, "-", f"{installed}\\TessalyCorvalo.exe")
    code = wine.launch(" /S", program=setup).exit_code()
    check(code == 3, f"the installer exited {code} after waiting 30 s for the program, expected 3")
    check(sorted(p.name for p in folder.iterdir()) == ["TessalyCorvalo.exe", "Uninstall.exe"] and
          (folder / "TessalyCorvalo.exe").read_bytes() == older, "the running program was replaced or moved")
    running.kill()
    running.wait(timeout=60)
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
        "QuietUninstallString": ("REG_SZ", f'"{installed}\\Uninstall.exe" /S _?={installed}'),
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
    # The uninstaller's wizard waits for the program running from its folder; Cancel leaves everything as it was.
    running, before = start_program(wine, program), registry_snapshot(wine)
    handing_over = wine.launch("", program=f"{installed}\\Uninstall.exe")
    uninstaller = f"Tessaly Corvalo {number} Uninstall"
    wine.driver("click", uninstaller + " ", 1)
    expect_box(wine, uninstaller, RUNNING, "warning", ["Retry", "Cancel"])
    wine.screenshot(uninstaller, "uninstaller-program-running")
    wine.driver("click", uninstaller, 2)
    wine.driver("gone", uninstaller + " ", 30000)
    # Read only now: the copy it handed over to held the driver's output open.
    check(handing_over.exit_code() == 0, "the uninstaller did not hand over to its copy")
    close_program(wine, running)
    check((folder / "Uninstall.exe").exists() and registry_snapshot(wine) == before, "Cancel changed something")
    # As a deployment tool runs it; given a folder that does not hold it (here the parent), it changes nothing.
    quiet = entry["QuietUninstallString"][1]
    code = quiet_uninstall(wine, quiet.rpartition("\\")[0]).exit_code()
    check(code == 1 and registry_snapshot(wine) == before, f"given the parent folder, the uninstaller exited {code}")
    temporary = machine.unix(wine.run("cmd.exe", "/c", "echo %TEMP%").strip())
    temporary_files = set(temporary.iterdir())
    code = quiet_uninstall(wine, quiet).exit_code()
    check(code == 0 and "HKEY_" not in wine.reg_query(UNINSTALL), f"the uninstaller exited {code}")
    # Its own file goes once it has ended, by a copy of it that waits for that; and the copy goes after it.
    wait_until(lambda: not folder.exists(), "the uninstaller's folder is still there")
    wait_until(lambda: set(temporary.iterdir()) <= temporary_files, "the uninstaller's copy is left in %TEMP%")
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


@scenario
def installer_installs_for_everyone(wine):
    machine = Machine(wine, "installer-everyone")
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    machine.actions("J2SE", 1)
    wine.run(wine.program, "/unregister")
    wine.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
    setup = wine.build / f"TessalyCorvalo-{version(wine)}-setup.exe"
    installed = "C:\\Program Files\\Tessaly Corvalo"
    folder, machine_uninstall = machine.unix(installed), UNINSTALL.replace("HKCU", "HKLM")
    shortcut = machine.unix(wine.run("cmd.exe", "/c", "echo %ProgramData%").strip()) / \
        "Microsoft/Windows/Start Menu/Programs/Tessaly Corvalo.lnk"

    # A registration the machine refuses, as to a user who is not elevated: installed all the same, and said so.
    applications = "Software\\RegisteredApplications"
    wine.run("reg", "add", f"HKLM\\{applications}", "/f")
    wine.run("reg", "delete", f"HKLM\\{applications}", "/ve", "/f")  # which Wine's reg adds to a new key
    wine.machine_key_access("64", wine.READ_ONLY, applications)
    try:
        code = wine.launch(" /S /AllUsers", program=setup).exit_code()
    finally:
        wine.machine_key_access("64", wine.WRITABLE, applications)
    check(code == 2 and (folder / "TessalyCorvalo.exe").exists(), f"exit code {code} after a refused registration")
    # Asking for consent from a folder whose name holds an apostrophe.
    apostrophe = wine.work / "O'Brien"
    apostrophe.mkdir(exist_ok=True)
    code = wine.launch(" /S /AllUsers", program=shutil.copy(setup, apostrophe)).exit_code()
    check(code == 0, f"the installer for everyone, started from {apostrophe}, exited {code}")
    files = sorted(str(path.relative_to(folder)) for path in folder.rglob("*.*"))
    check(files == ["DefaultAssociations.xml", "TessalyCorvalo.exe", "Uninstall.exe", "policies/TessalyCorvalo.admx",
                    "policies/en-US/TessalyCorvalo.adml"], f"installed files {files}")
    check(shortcut.exists() and "/setup".encode("utf-16-le") in shortcut.read_bytes(), "no shortcut for all users")
    program = f"{installed}\\TessalyCorvalo.exe"
    keys = {key.replace("HKCU", "HKLM", 1): values for key, values in registration(program).items()}
    for key, values in keys.items():
        stored = parse_reg(wine.reg_query(key), key)
        check(stored == values, f"{key}: {stored}, expected {values}")

    # Every user's choice, as the default associations file makes it; this user has no registration of its own.
    check("HKEY_" not in wine.reg_query(f"{CLASSES}\\Tessaly-Corvalo.jar"), "this user is registered too")
    jar = machine.file("everyone.jar", jar_bytes(DESKTOP_MANIFEST))
    wine.run("reg", "add", "HKLM\\Software\\Classes\\.jar", "/ve", "/d", "Tessaly-Corvalo.jar", "/f")
    wine.run("start", "/unix", jar, timeout=60)
    lines = machine.probe_lines(1, timeout=30)
    wine.run("reg", "delete", "HKLM\\Software\\Classes\\.jar", "/ve", "/f")
    check(lines == [f'"{machine.probe}" -jar "{machine.windows(jar)}"'], f"the probe got {lines}")

    # The organisation manages updates: nothing is asked. Meanwhile the uninstaller meets the program running.
    policies = "HKLM\\Software\\Policies\\Tessaly"
    wine.run("reg", "add", f"{policies}\\Corvalo", "/v", "DisableUpdateCheck", "/t", "REG_DWORD", "/d", "1", "/f")
    server = UpdateServer(configured_endpoint(wine))
    try:
        running = start_program(wine, folder / "TessalyCorvalo.exe")
        wine.driver("click", SETUP, 1025)
        managed = "Updates of Tessaly Corvalo are managed by your organisation."
        expect_box(wine, "Tessaly Corvalo", managed, "information", ["OK"])
        wine.screenshot("Tessaly Corvalo", "update-managed")
        wine.driver("click", "Tessaly Corvalo", 1)
        wine.driver("gone", "Tessaly Corvalo", 10000)
        check(not server.requests, f"requests under the policy: {server.requests}")
        # The uninstaller as the uninstall entry gives it, and the setup, both silent, wait for it in vain.
        quiet = parse_reg(wine.reg_query(machine_uninstall), machine_uninstall)["QuietUninstallString"][1]
        exe = (folder / "TessalyCorvalo.exe").stat().st_ino
        steps = (quiet_uninstall(wine, quiet), wine.launch(" /S /AllUsers", program=setup))
        codes = [step.exit_code() for step in steps]
        check(codes == [3, 3] and (folder / "TessalyCorvalo.exe").stat().st_ino == exe and
              "HKEY_" in wine.reg_query(machine_uninstall), f"exit codes {codes} with the program running, expected 3")
        close_program(wine, running)
        # The wizard asks and works in the uninstaller of the installation folder itself, never in a copy elsewhere.
        wine.launch("", program=f"{installed}\\Uninstall.exe")
        uninstaller = f"Tessaly Corvalo {version(wine)} Uninstall "  # with Modern UI's blank page caption
        wine.wait(uninstaller)
        image = wine.driver("image", uninstaller).strip()
        check(image.lower() == f"{installed}\\Uninstall.exe".lower(), f"the uninstaller's wizard runs {image}")
        wine.driver("click", uninstaller, 2)
        wine.driver("gone", uninstaller, 30000)
    finally:
        server.stop()
        wine.run("reg", "delete", policies, "/f", check_exit=False)

    # A per-user installation beside it, with the same uninstall entry under HKCU; each uninstaller removes its own.
    wine.run(setup, "/S", timeout=120)
    mine = wine.run("cmd.exe", "/c", "echo %LOCALAPPDATA%").strip() + "\\Programs\\Tessaly Corvalo"
    entries = []
    for key, location in ((UNINSTALL, mine), (machine_uninstall, installed)):
        values = parse_reg(wine.reg_query(key), key)
        values.pop("EstimatedSize", None)
        entries.append({name: (kind, data.replace(location, "")) for name, (kind, data) in values.items()})
    check(entries[0] == entries[1] and len(entries[1]) == 9, f"the uninstall entries differ: {entries}")
    user_snapshot, user_entry = registry_snapshot(wine), wine.reg_query(UNINSTALL)
    # Whoever holds the name that earlier installers waited on holds up no installer now.
    held = hold(wine, OLD_MUTEX, "-")
    try:
        code = quiet_uninstall(wine, quiet).exit_code()
    finally:
        held.kill()
        held.wait(timeout=60)
    left = sorted(p.name for p in folder.iterdir()) if folder.exists() else []
    pending = wine.reg_query("HKLM\\System\\CurrentControlSet\\Control\\Session Manager")  # to delete at restart
    check(code == 0 and left == ["Uninstall.exe"] and f"{installed}\\Uninstall.exe" in pending and
          "HKEY_" not in wine.reg_query(machine_uninstall), f"the uninstaller for everyone exited {code}, left {left}")
    left = "\n".join(wine.reg_query(key) for key in keys)
    check(not shortcut.exists() and "tessaly" not in left.lower(), f"the installation for everyone left {left}")
    check(registry_snapshot(wine) == user_snapshot and wine.reg_query(UNINSTALL) == user_entry and
          (machine.unix(mine) / "TessalyCorvalo.exe").exists(), "the per-user installation changed")
    wine.run(machine.unix(mine) / "Uninstall.exe", "/S", timeout=60)
    wait_until(lambda: not machine.unix(mine).exists(), "the per-user uninstaller did not finish")
