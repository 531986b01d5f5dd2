"""Scenarios of the J2ME scan: the setup dialog's J2ME Scan on a machine with one SDK of each family it knows."""
import time
import urllib.parse

import sdk_layout
from harness import check, scenario
from scenarios_launch import MIDLET_MANIFEST, Machine, jar_bytes
from scenarios_detect import (ADD_CHECKED, CHECK_ALL, LIST, SDK_DATA, SETTINGS, SETUP, SHOW_NONMAIN,
                              check_rescan_lists_nothing, dismiss_scan_note, open_setup, rows, shown_order,
                              stored_starters, until)

J2ME_SCAN = 1009
J2ME_LIST = 1005
J2ME_ACTION = 1011
TITLE = "Detected J2ME Starters"
EXECUTABLE = 1019
ARGUMENTS = 1020
VK_HOME = 0x24
VK_DOWN = 0x28
# Starters the user already has: the first two are candidates of the scan; the third runs the older toolkit's
# emulator with a device it doesn't have, which is neither that emulator's default nor any of its devices.
SEEDED = [("My WTK", "C:\\WTK2.5.2\\bin\\emulatorw.exe", "-Xdescriptor:%1"),
          ("My Nova", "C:\\LG\\SDK 1.2\\bin\\emulatorw.exe", "-Xdescriptor:%1 -Xdevice:LG_Nova.Touch"),
          ("My WTK 2.2", "C:\\WTK22\\bin\\emulatorw.exe", "-Xdescriptor:%1 -Xdevice:Nope")]
ALREADY_THERE = {"Sun WTK 2.5.2 - Default Emulator", "LG SDK 1.2 - LG_Nova.Touch Emulator"}


def expected_candidates(wine):
    """(name, executable, arguments) of the scan on the SDK machine, in the order found. The prefix's Desktop,
    Downloads and the rest are links to one folder, as in a new prefix: the scan walks it once, under the first of
    its names it meets, Desktop, since Wine lists a folder's entries by name."""
    text = (SDK_DATA / "j2me-expected.txt").read_text(encoding="utf-8").replace("\\Downloads\\", "\\Desktop\\")
    lines = text.replace(sdk_layout.PROFILE, sdk_layout.user_profile(wine)).splitlines()
    return [tuple(line.split("|", 2)) for line in lines if line and not line.startswith("#")]


def sdk_machine():
    return sdk_layout.load(SDK_DATA / "j2me-sdks.txt")


def scan(wine, shows):
    """Presses J2ME Scan and waits for the window captioned `shows`; prints how long that took."""
    wine.driver("click", SETUP, J2ME_SCAN)
    started = time.monotonic()
    wine.wait(shows, timeout_ms=60000)
    print(f"J2ME scan: {shows!r} after {time.monotonic() - started:.2f} s")


def description(wine):
    texts = {ident: text for ident, _, text in wine.controls(TITLE)}
    return texts.get(EXECUTABLE), texts.get(ARGUMENTS)


def seed_starters(wine):
    key = SETTINGS.removeprefix("HKCU\\") + "\\J2ME"
    sdk_layout.write_values(wine, [("HKCU", f"{key}\\{slot}", value, data)
                                   for slot, starter in enumerate(SEEDED, start=1)
                                   for value, data in zip(("Name", "ExecutableFile", "Arguments"), starter)],
                            "seeded-starters")


def forget(wine, machine):
    sdk_layout.remove(wine, machine)
    wine.run("reg", "delete", SETTINGS, "/f", check_exit=False)


@scenario
def j2me_scan_adds_emulators(wine):
    machine = sdk_machine()
    forget(wine, machine)
    profile = sdk_layout.unix_path(wine, sdk_layout.user_profile(wine), "")
    check((profile / "Desktop").samefile(profile / "Downloads"), "the profile's Desktop and Downloads are two folders")
    started = time.monotonic()
    sdk_layout.apply(wine, machine)
    print(f"SDK machine laid out in {time.monotonic() - started:.2f} s")
    seed_starters(wine)
    expected = expected_candidates(wine)
    names = [name for name, _, _ in expected]
    check(len(expected) == 36 and len(set(expected)) == 36, f"expected candidates: {len(expected)}")

    # Starters already there are left out of the list; a device starter hides no default emulator, and one of a
    # device the SDK doesn't have hides nothing.
    launch = open_setup(wine)
    scan(wine, TITLE)
    shown = rows(wine, TITLE)
    wanted = shown_order([name for name in names if name not in ALREADY_THERE])
    check([name for _, name in shown] == wanted,
          f"listed {[name for _, name in shown]}\nexpected {wanted}")
    check(all(checked == "0" for checked, _ in shown), f"ticked when the list opens: {shown}")
    check(wine.driver("enabled", TITLE, ADD_CHECKED).strip() == "0", "Add Checked enabled with nothing ticked")
    # The description follows the selection, moved with the keys to the longest emulator path.
    check(wine.driver("focus", TITLE).strip() == str(LIST), "the list has no focus when the dialog opens")
    nothing = description(wine)
    check(nothing == ("", ""), f"description with nothing selected: {nothing}")
    details = {name: (executable, arguments) for name, executable, arguments in expected}
    longest = max(range(len(wanted)), key=lambda index: len(details[wanted[index]][0]))
    for key in [VK_HOME] + [VK_DOWN] * longest:
        wine.driver("key", TITLE, key)
    shows = until(lambda: description(wine), lambda texts: texts == details[wanted[longest]])
    check(shows == details[wanted[longest]], f"description of {wanted[longest]!r}: {shows}")
    wine.screenshot(TITLE, "detected-j2me-starters")

    # J2ME candidates are all main: the box reveals exactly the ones already there.
    wine.driver("press", TITLE, SHOW_NONMAIN)
    everything = until(lambda: rows(wine, TITLE), lambda listed: len(listed) == len(expected))
    check([name for _, name in everything] == shown_order(names), f"all candidates {everything}")
    wine.driver("click", TITLE, CHECK_ALL)
    everything = until(lambda: rows(wine, TITLE), lambda listed: all(checked == "1" for checked, _ in listed))
    check(len(everything) == len(expected) and all(checked == "1" for checked, _ in everything),
          f"after Check All {everything}")
    check(wine.driver("enabled", TITLE, ADD_CHECKED).strip() == "1", "Add Checked disabled with every item ticked")
    wine.screenshot(TITLE, "detected-j2me-starters-all")
    wine.driver("click", TITLE, ADD_CHECKED)
    wine.driver("gone", TITLE, 10000)
    # Names longer than the setup dialog's list and combo are not cut: the list scrolls sideways to the longest,
    # and the combo's drop-down list is as wide.
    for control in (J2ME_LIST, J2ME_ACTION):
        box, content = until(lambda: tuple(map(int, wine.driver("widths", SETUP, control).split())),
                             lambda widths: widths[1] > widths[0])
        check(content > box, f"control {control}: {content} px of names in {box} px")
    wine.screenshot(SETUP, "setup-after-j2me-scan")
    wine.driver("click", SETUP, 1)
    check(launch.exit_code() == 0, "setup did not end with exit code 0")

    # New starters follow the seeded ones in the order found, also those ticked although already there.
    stored = stored_starters(wine, "J2ME")
    wanted = dict(enumerate(SEEDED + expected, start=1))
    for slot in sorted(set(stored) | set(wanted)):
        check(stored.get(slot) == wanted.get(slot),
              f"slot {slot}: stored {stored.get(slot)}, expected {wanted.get(slot)}")

    # Scanning again: every candidate is there already, so the list opens empty.
    launch = open_setup(wine)
    scan(wine, TITLE)
    check_rescan_lists_nothing(wine, TITLE, launch)
    check(stored_starters(wine, "J2ME") == stored, "a cancelled scan changed the starters")
    forget(wine, machine)


@scenario
def j2me_scan_on_a_machine_without_sdks(wine):
    forget(wine, sdk_machine())
    launch = open_setup(wine)
    dismiss_scan_note(wine)
    scan(wine, "Information")
    box = wine.message_box("Information")
    check(box["text"] == "No J2ME starters are detected.", f"message {box['text']!r}")
    check(box["icon"] == "information", f"icon {box['icon']}")
    check([text for _, text in box["buttons"]] == ["OK"], f"buttons {box['buttons']}")
    wine.screenshot("Information", "no-j2me-starters")
    wine.driver("click", "Information", 1)
    wine.driver("gone", "Information", 10000)
    wine.driver("click", SETUP, 2)
    check(launch.exit_code() == 0, "setup did not end with exit code 0")
    check(stored_starters(wine, "J2ME") == {}, "a scan that found nothing stored starters")


@scenario
def j2me_games_start_at_their_screen_size(wine):
    """The templates the scan proposes for FreeJ2ME and for a KEmulator that knows "-screen" hand each game the size
    it declares, or the one its file name gives when it declares none."""
    machine = Machine(wine, "screen-size")
    machine.starter("J2ME", 1, "FreeJ2ME probe", '-jar "C:\\freej2me\\freej2me.jar" %U2 %W %H')
    machine.starter("J2ME", 2, "KEmulator probe", "-jad %1 -jar %2 -screen %Wx%H")
    jar = machine.file("games/Snake_128x160.jar", jar_bytes(MIDLET_MANIFEST))
    jad = machine.file("games/snake.jad", f"MIDlet-Jar-Size: {len(jar.read_bytes())}\r\n"
                                          "MIDlet-Jar-URL: Snake_128x160.jar\r\n"
                                          "Nokia-MIDlet-Original-Display-Size: 176,208\r\n")
    temp_jad, temp_jar = f"{machine.temp_windows}\\qvo_temp.jad", f"{machine.temp_windows}\\qvo_temp.jar"

    def url(path):
        return "file:///" + urllib.parse.quote(path.replace("\\", "/"), safe="/:")

    freej2me = f'"{machine.probe}" -jar "C:\\freej2me\\freej2me.jar"'
    runs = [(1, jad, f"{freej2me} {url(machine.windows(jar))} 176 208"),
            (1, jar, f"{freej2me} {url(temp_jar)} 128 160"),  # no descriptor: the JAR's name gives the size
            (2, jad, f'"{machine.probe}" -jad "{machine.windows(jad)}" -jar "{machine.windows(jar)}" -screen 176x208'),
            (2, jar, f'"{machine.probe}" -jad "{temp_jad}" -jar "{temp_jar}" -screen 128x160')]
    for slot, opened, expected in runs:
        machine.actions("J2ME", slot)
        machine.expect_started(f' "{machine.windows(opened)}"', expected)
