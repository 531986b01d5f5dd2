"""Scenarios of the dialogs: setup, editors, selection, About, the links and the file associations."""
import time

from harness import check, parse_reg, scenario
from scenarios_launch import DESKTOP_MANIFEST, SETTINGS, Machine, dialog_texts, jar_bytes, suite
from scenarios_update import no_window

SETUP = "Tessaly Corvalo Setup"
J2SE_SELECT = "J2SE Starter Select"
J2ME_SELECT = "J2ME Starter Select"
VK_RETURN, VK_ESCAPE, VK_SPACE, VK_DOWN = 13, 27, 32, 40


def settext(wine, caption, ident, text):
    wine.driver("settext", caption, ident, text.encode("utf-8").hex())


def items(wine, caption, ident):
    return wine.driver("items", caption, ident).splitlines()


def enabled(wine, caption, ident):
    return wine.driver("enabled", caption, ident).strip() == "1"


def expect_box(wine, caption, text, icon, buttons):
    box = wine.message_box(caption)
    check(box["text"] == text, f"{caption}: message {box['text']!r}, expected {text!r}")
    check(box["icon"] == icon, f"{caption}: icon {box['icon']}, expected {icon}")
    check([label for _, label in box["buttons"]] == buttons, f"{caption}: buttons {box['buttons']}")


def answer_scan_note(wine):
    expect_box(wine, "Information", "Use SCAN buttons to detect J2SE/J2ME starters.", "information", ["OK"])
    wine.driver("click", "Information", 1)
    wine.driver("gone", "Information", 10000)


def add_through_editor(wine, add_button, editor, name, program, arguments, screen=None):
    """Add in the setup dialog, the editor filled in and confirmed."""
    wine.driver("click", SETUP, add_button)
    wine.wait(editor)
    settext(wine, editor, 1011, name)
    settext(wine, editor, 1013, program)
    settext(wine, editor, 1015, arguments)
    if screen:
        wine.screenshot(editor, screen)
    wine.driver("click", editor, 1)
    wine.driver("gone", editor, 10000)


def pick_preset(wine, editor, item):
    """The ">" menu of an editor, its item chosen with the arrow keys and Enter."""
    wine.driver("click", editor, 1026)
    deadline = time.monotonic() + 10
    while "#32768\t" not in wine.driver("windows", "-"):
        check(time.monotonic() < deadline, "the preset menu did not open")
    for _ in range(item):
        wine.driver("key", editor, VK_DOWN)
    wine.driver("key", editor, VK_RETURN)
    while "#32768\t" in wine.driver("windows", "-"):
        check(time.monotonic() < deadline, "the preset menu did not close")


def stored_values(wine, key):
    return parse_reg(wine.reg_query(key), key)


@scenario
def dialogs_setup_cancel_keeps_the_registry(wine):
    machine = Machine(wine, "setup-cancel")
    machine.starter("J2SE", 1, "Java probe", "-jar %1 %*")
    long_name = "Another probe, whose name is longer than the setup dialog's list is wide"
    machine.starter("J2SE", 3, long_name, "-jar %1")
    machine.actions("J2SE", 1, 3)
    machine.starter("J2ME", 2, "Emulator probe", "-Xdescriptor:%1")
    machine.actions("J2ME", 4294967295, 2)
    before = wine.reg_query(SETTINGS)

    launch = wine.launch(" /setup")
    wine.wait(SETUP)
    check(items(wine, SETUP, 1000) == [long_name, "Java probe"], f"J2SE list {items(wine, SETUP, 1000)}")
    check(items(wine, SETUP, 1005) == ["Emulator probe"], f"J2ME list {items(wine, SETUP, 1005)}")
    combo = items(wine, SETUP, 1010)
    check(combo == [" <Choice once opened>", " <Last used action>", long_name, "Java probe"], f"combo {combo}")
    texts = dialog_texts(wine, SETUP)
    check(texts[1010] == "Java probe" and texts[1011] == " <Last used action>", f"actions {texts[1010]!r} {texts[1011]!r}")
    check([enabled(wine, SETUP, b) for b in (1004, 1001, 1012, 1002, 1003)] == [True, True, False, False, False],
          "J2SE buttons without a selection")
    wine.screenshot(SETUP, "setup-with-starters")

    # Edits of every kind, then Cancel.
    wine.driver("select", SETUP, 1000, 0)
    wine.driver("settle", SETUP)
    check(enabled(wine, SETUP, 1003), "Delete stays disabled with a selection")
    wine.driver("select", SETUP, 1010, 0)
    wine.driver("click", SETUP, 1003)
    list_widths = lambda: tuple(map(int, wine.driver("widths", SETUP, 1000).split()))
    box, content = list_widths()
    check(content > box, f"the list scrolls {content} px in {box} px with the long name")
    expect_box(wine, "Warning", f'The JAR starter "{long_name}" will be deleted.', "warning", ["OK", "Cancel"])
    wine.screenshot("Warning", "setup-delete-question")
    wine.driver("click", "Warning", 1)
    wine.driver("gone", "Warning", 10000)
    check(items(wine, SETUP, 1000) == ["Java probe"], f"after Delete {items(wine, SETUP, 1000)}")
    box, content = list_widths()
    check(content <= box, f"the list still scrolls {content} px in {box} px after the long name went")
    check(not enabled(wine, SETUP, 1002), "Edit enabled after the selected starter was deleted")
    wine.driver("click", SETUP, 2)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")
    check(wine.reg_query(SETTINGS) == before, "Cancel left the registry changed")


@scenario
def dialogs_setup_adds_starters_of_both_kinds(wine):
    machine = Machine(wine, "setup-add")
    launch = wine.launch(" /setup")
    wine.wait(SETUP)
    wine.screenshot("Information", "setup-scan-note")
    answer_scan_note(wine)
    wine.screenshot(SETUP, "setup-empty")

    # The editor refuses an empty name, then an empty program.
    wine.driver("click", SETUP, 1001)
    wine.wait("J2SE Starter")
    wine.driver("click", "J2SE Starter", 1)
    expect_box(wine, "Error", 'The "Name" field is empty.', "error", ["OK"])
    wine.screenshot("Error", "editor-name-empty")
    wine.driver("click", "Error", 1)
    wine.driver("gone", "Error", 10000)
    settext(wine, "J2SE Starter", 1011, "  Java probe  ")
    wine.driver("click", "J2SE Starter", 1)
    expect_box(wine, "Error", 'The "Executable File" field is empty.', "error", ["OK"])
    wine.driver("click", "Error", 1)
    wine.driver("gone", "Error", 10000)
    settext(wine, "J2SE Starter", 1013, machine.probe)
    settext(wine, "J2SE Starter", 1015, " -jar %1 %* ")
    wine.screenshot("J2SE Starter", "editor-j2se")
    wine.driver("click", "J2SE Starter", 1)
    wine.driver("gone", "J2SE Starter", 10000)

    # The J2ME editor's arguments from its ">" menu: each preset goes to the end, the leading blank goes on OK.
    wine.driver("click", SETUP, 1006)
    wine.wait("J2ME Starter")
    settext(wine, "J2ME Starter", 1011, "Emulator probe")
    settext(wine, "J2ME Starter", 1013, machine.probe)
    pick_preset(wine, "J2ME Starter", 1)
    pick_preset(wine, "J2ME Starter", 2)
    arguments = dialog_texts(wine, "J2ME Starter").get(1015)
    check(arguments == " -Xdescriptor:%1 -Xdevice:?", f"arguments after the presets {arguments!r}")
    wine.screenshot("J2ME Starter", "editor-j2me")
    wine.driver("click", "J2ME Starter", 1)
    wine.driver("gone", "J2ME Starter", 10000)
    check(items(wine, SETUP, 1000) == ["Java probe"], f"J2SE list {items(wine, SETUP, 1000)}")
    check(items(wine, SETUP, 1011) == [" <Choice once opened>", " <Last used action>", "Emulator probe"],
          f"J2ME combo {items(wine, SETUP, 1011)}")
    check(enabled(wine, SETUP, 1007), "the new J2ME starter is not selected")
    wine.driver("select", SETUP, 1011, 2)
    wine.screenshot(SETUP, "setup-after-add")
    wine.driver("click", SETUP, 1)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")

    expected = {
        "J2SE": {"DefaultAction": ("REG_DWORD", "0x0"), "LastAction": ("REG_DWORD", "0x0")},
        "J2SE\\1": {"Name": ("REG_SZ", "Java probe"), "ExecutableFile": ("REG_SZ", machine.probe),
                    "Arguments": ("REG_SZ", "-jar %1 %*")},
        "J2ME": {"DefaultAction": ("REG_DWORD", "0x1"), "LastAction": ("REG_DWORD", "0x0")},
        "J2ME\\1": {"Name": ("REG_SZ", "Emulator probe"), "ExecutableFile": ("REG_SZ", machine.probe),
                    "Arguments": ("REG_SZ", "-Xdescriptor:%1 -Xdevice:?")},
    }
    for key, values in expected.items():
        stored = stored_values(wine, f"{SETTINGS}\\{key}")
        check(stored == values, f"{key}: stored {stored}, expected {values}")


@scenario
def dialogs_jad_asks_for_the_starter(wine):
    machine = Machine(wine, "jad-select")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2")
    machine.starter("J2ME", 2, "Another emulator", "never %1")
    machine.actions("J2ME", 0)
    jar, jad, _ = suite(machine, "suite")

    launch = wine.launch(f' "{machine.windows(jad)}"')
    wine.wait(J2ME_SELECT)
    check(items(wine, J2ME_SELECT, 1012) == ["Another emulator", "Emulator probe"], "selection list")
    check(not enabled(wine, J2ME_SELECT, 1), "OK enabled with nothing chosen")
    wine.screenshot(J2ME_SELECT, "select-j2me")
    wine.driver("dblclick", J2ME_SELECT, 1012, 1)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")
    lines = machine.probe_lines(1)
    expected = f'"{machine.probe}" -Xdescriptor:"{machine.windows(jad)}" -jar "{machine.windows(jar)}"'
    check(lines == [expected], f"the probe got {lines}, expected [{expected!r}]")
    check(machine.stored("J2ME").get("LastAction") == ("REG_DWORD", "0x1"), f"LastAction {machine.stored('J2ME')}")
    check(machine.stored("J2ME").get("DefaultAction") == ("REG_DWORD", "0x0"), "DefaultAction changed")


@scenario
def dialogs_jar_without_starters_goes_through_setup(wine):
    machine = Machine(wine, "jar-no-starter")
    jar = machine.file("desktop.jar", jar_bytes(DESKTOP_MANIFEST))
    launch = wine.launch(f" {machine.windows(jar)}")
    expect_box(wine, "Tessaly Corvalo", "No J2SE starters are defined.", "error", ["OK"])
    wine.driver("click", "Tessaly Corvalo", 1)
    wine.wait(SETUP)
    answer_scan_note(wine)
    add_through_editor(wine, 1001, "J2SE Starter", "Java probe", machine.probe, "-jar %1 %*")
    wine.driver("click", SETUP, 1)

    wine.wait(J2SE_SELECT)
    check(items(wine, J2SE_SELECT, 1012) == ["Java probe"], f"selection list {items(wine, J2SE_SELECT, 1012)}")
    check(not enabled(wine, J2SE_SELECT, 1), "OK enabled with nothing chosen")
    wine.driver("select", J2SE_SELECT, 1012, 0)
    wine.driver("settle", J2SE_SELECT)
    check(enabled(wine, J2SE_SELECT, 1), "OK disabled with a starter chosen")
    wine.screenshot(J2SE_SELECT, "select-j2se")
    # The About box over the selection dialog, left with Escape.
    wine.driver("press", J2SE_SELECT, 1024)
    wine.wait("About")
    wine.driver("key", "About", VK_ESCAPE)
    wine.driver("gone", "About", 10000)
    wine.driver("click", J2SE_SELECT, 1)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")
    lines = machine.probe_lines(1)
    expected = f'"{machine.probe}" -jar "{machine.windows(jar)}"'
    check(lines == [expected], f"the probe got {lines}, expected [{expected!r}]")
    check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", "0x1"), f"LastAction {machine.stored('J2SE')}")
    check(stored_values(wine, f"{SETTINGS}\\J2SE\\1").get("Name") == ("REG_SZ", "Java probe"), "starter not stored")


CLASSES = "HKCU\\Software\\Classes"
# The keys that hold the program's registration, read with one `reg query` each.
REGISTRATION_ROOTS = (CLASSES, "HKCU\\Software\\Tessaly", "HKCU\\Software\\RegisteredApplications",
                      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths")
SETTINGS_PAGE = "ms-settings:defaultapps?registeredAppUser=Tessaly%20Corvalo"


def registration(program):
    """Every key of the program's registration with Windows and its values, as `reg query` shows them."""
    command = ("REG_SZ", f'"{program}" "%1"')
    application = f"{CLASSES}\\Applications\\TessalyCorvalo.exe"
    capabilities = "HKCU\\Software\\Tessaly\\Corvalo\\Capabilities"
    keys = {
        application: {"FriendlyAppName": ("REG_SZ", "Tessaly Corvalo")},
        f"{application}\\shell\\open\\command": {"(Default)": command},
        f"{application}\\SupportedTypes": {".jar": ("REG_SZ", ""), ".jad": ("REG_SZ", "")},
        capabilities: {
            "ApplicationName": ("REG_SZ", "Tessaly Corvalo"),
            "ApplicationDescription": (
                "REG_SZ", "Starts Java programs and MIDlet suites with the Java runtime or emulator you choose."),
            "ApplicationIcon": ("REG_SZ", f'"{program}",0'),
        },
        f"{capabilities}\\FileAssociations": {".jar": ("REG_SZ", "Tessaly-Corvalo.jar"),
                                              ".jad": ("REG_SZ", "Tessaly-Corvalo.jad")},
        "HKCU\\Software\\RegisteredApplications": {
            "Tessaly Corvalo": ("REG_SZ", "Software\\Tessaly\\Corvalo\\Capabilities")},
        f"{REGISTRATION_ROOTS[3]}\\TessalyCorvalo.exe": {"(Default)": ("REG_SZ", program)},
    }
    for extension, description in ((".jar", "Java Archive"), (".jad", "Java Application Descriptor")):
        prog_id = f"{CLASSES}\\Tessaly-Corvalo{extension}"
        keys[prog_id] = {"(Default)": ("REG_SZ", description)}
        keys[f"{prog_id}\\DefaultIcon"] = {"(Default)": ("REG_SZ", f"{program},0")}
        keys[f"{prog_id}\\shell"] = {"(Default)": ("REG_SZ", "open")}
        keys[f"{prog_id}\\shell\\open\\command"] = {"(Default)": ("REG_SZ", f'"{program}" "%1" %*')}
        verbs = [("select", "Open with a &Starter...", '/select "%1" %*'), ("options", "Start &Options...", '/options "%1"')]
        if extension == ".jar":
            verbs.append(("console", "Open in a &Console", '/console "%1" %*'))
        for verb, name, arguments in verbs:
            keys[f"{prog_id}\\shell\\{verb}"] = {"(Default)": ("REG_SZ", name)}
            keys[f"{prog_id}\\shell\\{verb}\\command"] = {"(Default)": ("REG_SZ", f'"{program}" {arguments}')}
        keys[f"{prog_id}\\shellex\\DropHandler"] = {
            "(Default)": ("REG_SZ", "{86C86720-42A0-1069-A2E8-08002B30309D}")}
        keys[f"{CLASSES}\\{extension}\\OpenWithProgids"] = {f"Tessaly-Corvalo{extension}": ("REG_NONE", "")}
    return keys


def registry_snapshot(wine):
    return "\n".join(wine.reg_query(root) for root in REGISTRATION_ROOTS)


def expect_registration(wine, program):
    snapshot = registry_snapshot(wine)
    for key, values in registration(program).items():
        stored = parse_reg(snapshot, key)
        check(stored == values, f"{key}: {stored}, expected {values}")
    return snapshot


def shell_opens_jar_with_our_prog_id(wine, machine, jar):
    """Opens the file through the shell; its lines of the probe's log. Windows shows the user's classes in
    HKEY_CLASSES_ROOT; Wine shows only the machine's there, so the user's choice of our ProgID and its command
    are copied across for the time of the call."""
    command = f"Tessaly-Corvalo.jar\\shell\\open\\command"
    value = parse_reg(wine.reg_query(f"{CLASSES}\\{command}"), f"{CLASSES}\\{command}")["(Default)"][1]
    wine.run("reg", "add", "HKLM\\Software\\Classes\\.jar", "/ve", "/d", "Tessaly-Corvalo.jar", "/f")
    wine.run("reg", "add", f"HKLM\\Software\\Classes\\{command}", "/ve", "/d", value, "/f")
    try:
        before = len(machine.probe_lines(0, timeout=0))
        wine.run("start", "/unix", jar, timeout=60)
        return machine.probe_lines(before + 1, timeout=30)[before:]
    finally:
        for key in (".jar", "Tessaly-Corvalo.jar"):
            wine.run("reg", "delete", f"HKLM\\Software\\Classes\\{key}", "/f", check_exit=False)


@scenario
def dialogs_file_associations(wine):
    machine = Machine(wine, "associations")
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    machine.actions("J2SE", 1)
    for key in (".jar", ".jad", "Tessaly-Corvalo.jar", "Tessaly-Corvalo.jad", "Applications\\TessalyCorvalo.exe"):
        wine.run("reg", "delete", f"{CLASSES}\\{key}", "/f", check_exit=False)
    # The user once chose another program for .jar, which Windows then follows whatever the default value says.
    choice = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jar\\UserChoice"
    wine.run("reg", "add", choice, "/v", "ProgId", "/d", "jarfile", "/f")
    # The probe stands in for the Settings app: it records the address the shell hands it.
    settings_handler = "HKLM\\Software\\Classes\\ms-settings"
    wine.run("reg", "add", settings_handler, "/v", "URL Protocol", "/d", "", "/f")
    wine.run("reg", "add", f"{settings_handler}\\shell\\open\\command", "/ve", "/d", f'"{machine.probe}" "%1"', "/f")
    program = wine.windows_path(wine.program)
    question = "Would you like to associate JAR and JAD files with Tessaly Corvalo?"
    note = ("Windows still opens JAR or JAD files with another program. In the Settings page that opens now, choose "
            "Tessaly Corvalo for .jar and .jad.")
    try:
        launch = wine.launch(" /setup")
        wine.wait(SETUP)
        # A press on the link, as the mouse gives it; No changes nothing.
        before = registry_snapshot(wine)
        wine.driver("press", SETUP, 1026)
        expect_box(wine, "Confirmation", question, "question", ["Yes", "No"])
        wine.driver("click", "Confirmation", 7)
        wine.driver("gone", "Confirmation", 10000)
        check(registry_snapshot(wine) == before, "No changed the registry")
        wine.driver("press", SETUP, 1026)
        wine.wait("Confirmation")
        wine.screenshot("Confirmation", "associations-question")
        wine.driver("click", "Confirmation", 6)
        wine.driver("gone", "Confirmation", 10000)
        expect_box(wine, "Information", note, "information", ["OK"])
        wine.screenshot("Information", "associations-default-apps")
        wine.driver("click", "Information", 1)
        wine.driver("gone", "Information", 10000)
        settings_line = f'"{machine.probe}" "{SETTINGS_PAGE}"'
        lines = machine.probe_lines(1)
        check(lines == [settings_line], f"the shell was handed {lines}, expected [{settings_line!r}]")
        # Windows 11 25H2 keeps the choice in UserChoiceLatest, which wins over UserChoice; the program itself, as
        # "Open with" records it, is ours.
        for latest, chosen in (("jarfile", "Tessaly-Corvalo.jar"), ("Applications\\TessalyCorvalo.exe", "jarfile")):
            wine.run("reg", "add", choice + "Latest", "/v", "ProgId", "/d", latest, "/f")
            wine.run("reg", "add", choice, "/v", "ProgId", "/d", chosen, "/f")
            wine.driver("press", SETUP, 1026)
            wine.wait("Confirmation")
            wine.driver("click", "Confirmation", 6)
            wine.driver("gone", "Confirmation", 10000)
            wine.driver("settle", SETUP)
            check(no_window(wine, "Information") == (latest != "jarfile"), f"{latest} over {chosen}: the note is wrong")
            if latest == "jarfile":
                wine.driver("click", "Information", 1)
                wine.driver("gone", "Information", 10000)
        lines = machine.probe_lines(2)
        check(lines == [settings_line] * 2, f"the shell was handed {lines}, expected Settings twice")
        wine.driver("click", SETUP, 2)
        code = launch.exit_code()
        check(code == 0, f"exit code {code}, expected 0")
        stored = parse_reg(wine.reg_query(choice), choice)
        check(stored == {"ProgId": ("REG_SZ", "jarfile")}, f"the user's choice became {stored}")
    finally:
        wine.run("reg", "delete", settings_handler, "/f", check_exit=False)
        wine.run("reg", "delete", choice.rpartition("\\")[0], "/f", check_exit=False)

    snapshot = expect_registration(wine, program)
    for extension in (".jar", ".jad"):
        stored = parse_reg(snapshot, f"{CLASSES}\\{extension}")
        check(stored == {"(Default)": ("REG_SZ", f"Tessaly-Corvalo{extension}")}, f"{extension}: {stored}")

    # Opened through the shell, the file reaches this program and so its starter.
    jar = machine.file("double clicked.jar", jar_bytes(DESKTOP_MANIFEST))
    lines = shell_opens_jar_with_our_prog_id(wine, machine, jar)
    expected_line = f'"{machine.probe}" -jar "{machine.windows(jar)}"'
    check(lines == [expected_line], f"the probe got {lines}, expected [{expected_line!r}]")


@scenario
def dialogs_about_box_and_links(wine):
    machine = Machine(wine, "about")
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    launch = wine.launch(" /setup")
    wine.wait(SETUP)
    wine.driver("settle", SETUP)

    # Under the mouse a link turns blue; away from it, it is plain text again. The link hears of the mouse a little
    # later, the more so on a busy machine: polled, bounded.
    def blue_once(hovered):
        deadline = time.monotonic() + 30
        while (int(wine.driver("colour", SETUP, 1024, "0000FF")) > 0) != hovered and time.monotonic() < deadline:
            pass
        return int(wine.driver("colour", SETUP, 1024, "0000FF"))

    wine.driver("pointer", SETUP, 1024)
    check(blue_once(True) > 0, "the hovered link is not blue")
    wine.screenshot(SETUP, "setup-link-hovered")
    wine.driver("pointer", SETUP, 0)
    blue = blue_once(False)
    check(blue == 0, f"the link stays blue after the mouse left ({blue} pixels)")

    wine.driver("press", SETUP, 1024)
    wine.wait("About")
    texts = dialog_texts(wine, "About")
    check(texts.get(1028) == "Tessaly Corvalo v1.1.1", f"version line {texts.get(1028)!r}")
    check(texts.get(1023) == "http://www.tessaly.example/", f"web site {texts.get(1023)!r}")
    check(wine.driver("focus", "About").strip() == "1", "OK does not have the focus")
    wine.screenshot("About", "about")
    wine.driver("key", "About", VK_RETURN)
    wine.driver("gone", "About", 10000)
    wine.driver("click", SETUP, 2)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")


@scenario
def dialogs_keyboard(wine):
    machine = Machine(wine, "keyboard")
    machine.starter("J2SE", 1, "Java probe", "-jar %1")
    before = wine.reg_query(SETTINGS)
    launch = wine.launch(" /setup")
    wine.wait(SETUP)
    wine.driver("settle", SETUP)

    # Tab visits every enabled control once, in the order of the dialog, links included.
    check(wine.driver("focus", SETUP).strip() == "1000", "the J2SE list does not start with the focus")
    order = [int(wine.driver("tab", SETUP)) for _ in range(13)]
    expected = [1004, 1001, 1010, 1005, 1009, 1006, 1011, 1, 2, 1024, 1025, 1026, 1000]
    check(order == expected, f"tab order {order}, expected {expected}")

    # Space on a link follows it; Escape leaves the About box.
    for _ in range(10):
        wine.driver("tab", SETUP)
    check(wine.driver("focus", SETUP).strip() == "1024", "the About link does not have the focus")
    wine.driver("key", SETUP, VK_SPACE)
    wine.wait("About")
    wine.driver("key", "About", VK_ESCAPE)
    wine.driver("gone", "About", 10000)

    # The editor: Enter is OK, checked; the focus goes to the field that is missing.
    wine.driver("click", SETUP, 1001)
    wine.wait("J2SE Starter")
    wine.driver("settle", "J2SE Starter")
    check(wine.driver("focus", "J2SE Starter").strip() == "1011", "the name field does not start with the focus")
    settext(wine, "J2SE Starter", 1011, "Typed")
    wine.driver("key", "J2SE Starter", VK_RETURN)
    expect_box(wine, "Error", 'The "Executable File" field is empty.', "error", ["OK"])
    wine.driver("key", "Error", VK_RETURN)
    wine.driver("gone", "Error", 10000)
    wine.driver("settle", "J2SE Starter")
    check(wine.driver("focus", "J2SE Starter").strip() == "1013", "the focus is not on the empty field")
    settext(wine, "J2SE Starter", 1013, machine.probe)
    wine.driver("key", "J2SE Starter", VK_RETURN)
    wine.driver("gone", "J2SE Starter", 10000)
    check(items(wine, SETUP, 1000) == ["Java probe", "Typed"], f"J2SE list {items(wine, SETUP, 1000)}")

    # Delete from the keyboard: the button it disables hands the focus on instead of leaving the dialog without one.
    for _ in range(16):
        if wine.driver("focus", SETUP).strip() == "1003":
            break
        wine.driver("tab", SETUP)
    check(wine.driver("focus", SETUP).strip() == "1003", "Tab does not reach Delete with a starter selected")
    wine.driver("key", SETUP, VK_SPACE)
    expect_box(wine, "Warning", 'The JAR starter "Typed" will be deleted.', "warning", ["OK", "Cancel"])
    wine.driver("key", "Warning", VK_RETURN)
    wine.driver("gone", "Warning", 10000)
    wine.driver("settle", SETUP)
    check(items(wine, SETUP, 1000) == ["Java probe"], f"J2SE list after Delete {items(wine, SETUP, 1000)}")
    focus = int(wine.driver("focus", SETUP))
    check(focus not in (0, 1003) and enabled(wine, SETUP, focus), f"the focus after Delete is on {focus}")

    # Escape is Cancel: the new starter is not stored.
    wine.driver("key", SETUP, VK_ESCAPE)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")
    check(wine.reg_query(SETTINGS) == before, "Escape stored the edits")
