"""Scenarios of the launch path: opened JARs and JADs reach the probe as their starter, with the exact command line."""
import io
import pathlib
import re
import time
import urllib.parse
import zipfile

from harness import Failure, check, parse_reg, scenario

SETTINGS = "HKCU\\Software\\Tessaly\\Corvalo\\setup1"
MIDLET_MANIFEST = ("Manifest-Version: 1.0\r\nMIDlet-Name: Demo\r\nMIDlet-Vendor: Tessaly\r\nMIDlet-Version: 1.0\r\n"
                   "MIDlet-1: Demo, /icon.png, demo.DemoMidlet\r\nMicroEdition-Profile: MIDP-2.0\r\n"
                   "MicroEdition-Configuration: CLDC-1.1\r\nCreated-By: 17 (Tessaly)\r\n\r\n")
DESKTOP_MANIFEST = "Manifest-Version: 1.0\r\nMain-Class: demo.Desktop\r\nCreated-By: 17 (Tessaly)\r\n\r\n"
# What only windows, the shell, COM, version resources and the internet need.
UI_LIBRARIES = {"user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll", "combase.dll", "oleaut32.dll",
                "shell32.dll", "shlwapi.dll", "version.dll", "msxml3.dll", "wininet.dll"}


def jar_bytes(manifest, compress=zipfile.ZIP_DEFLATED):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", compress) as archive:
        if manifest is not None:
            archive.writestr("META-INF/MANIFEST.MF", manifest)
        archive.writestr("demo/Main.class", b"\xca\xfe\xba\xbe" + bytes(200))
    return out.getvalue()


class Machine:
    """The Wine prefix as a user with the probe as the program of every starter."""

    def __init__(self, wine, name):
        self.wine = wine
        self.folder = wine.work / name
        if self.folder.exists():
            for path in sorted(self.folder.rglob("*"), reverse=True):
                path.chmod(0o644 if path.is_file() else 0o755)
                path.unlink() if path.is_file() else path.rmdir()
        self.folder.mkdir(parents=True, exist_ok=True)
        self.log = self.folder / "probe.log"
        wine.env["TC_PROBE_LOG"] = wine.windows_path(self.log)
        self.probe = wine.windows_path(wine.build / "tests" / "e2e" / "probe.exe")
        wine.run("reg", "delete", "HKCU\\Software\\Tessaly", "/f", check_exit=False)
        temp = wine.run("cmd.exe", "/c", "echo %TEMP%").strip()
        self.temp_windows = temp.rstrip("\\")
        self.temp = self.unix(temp)
        for name in ("qvo_temp.jad", "qvo_temp.jar"):
            (self.temp / name).unlink(missing_ok=True)

    def unix(self, windows_path):
        return pathlib.Path(self.wine.run("winepath.exe", "-u", windows_path, again=True).strip())

    def _reg_add(self, key, value, kind, data):
        self.wine.run("reg", "add", key, "/v", value, "/t", kind, "/d", str(data), "/f")

    def starter(self, kind, slot, name, arguments, executable=None):
        key = f"{SETTINGS}\\{kind}\\{slot}"
        for value, data in (("Name", name), ("ExecutableFile", executable or self.probe), ("Arguments", arguments)):
            self._reg_add(key, value, "REG_SZ", data)

    def actions(self, kind, default, last=0):
        for value, data in (("DefaultAction", default), ("LastAction", last)):
            self._reg_add(f"{SETTINGS}\\{kind}", value, "REG_DWORD", data)

    def stored(self, kind):
        return parse_reg(self.wine.reg_query(f"{SETTINGS}\\{kind}"), f"{SETTINGS}\\{kind}")

    def file(self, relative, data):
        path = self.folder / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data.encode("utf-8") if isinstance(data, str) else data)
        return path

    def probe_lines(self, count, timeout=20):
        """The command lines the probe received, once `count` of them arrived (the probe outlives the program)."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.log.read_text(encoding="utf-8").splitlines() if self.log.exists() else []
            if len(lines) >= count or time.monotonic() > deadline:
                return lines
            time.sleep(0.1)  # polling for the probe's file, bounded by the deadline

    def open(self, tail, timeout_ms=120000):
        """Runs the program to its end when nothing is to be answered on the way; its exit code."""
        # The driver's two lines are read together here: a program that ends at once may print both before
        # anyone reads the first, and Launch.exit_code() would then miss the second.
        out = self.wine.run(self.wine.driver_exe, "launch", self.wine.windows_path(self.wine.program),
                            tail.encode("utf-8").hex(), timeout_ms, timeout=timeout_ms / 1000 + 30)
        for line in out.splitlines():
            if line.startswith("exit "):
                return int(line.split()[1])
        raise Failure(f"the program did not end: {out.strip()}")

    def expect_started(self, tail, expected):
        code = self.open(tail)
        check(code == 0, f"{tail}: exit code {code}, expected 0")
        lines = self.probe_lines(1)
        check(lines == [expected], f"{tail}: the probe got {lines}, expected [{expected!r}]")
        self.log.unlink()

    def windows(self, path):
        return self.wine.windows_path(path)

    def temporary_files(self):
        return {name: (self.temp / name).read_bytes() for name in ("qvo_temp.jad", "qvo_temp.jar")
                if (self.temp / name).exists()}


def dialog_texts(wine, caption):
    """id -> text of the controls of a window; texts may run over several lines."""
    texts, current = {}, None
    for line in wine.driver("texts", caption).split("\n"):
        match = re.match(r"^(-?\d+)\t[^\t]*\t(.*)$", line)
        if match:
            current = int(match.group(1))
            texts[current] = match.group(2)
        elif current is not None:
            texts[current] += "\n" + line
    return {ident: text.rstrip("\n") for ident, text in texts.items()}


def expect_error(wine, tail, text):
    launch = wine.launch(tail)
    box = wine.message_box("Tessaly Corvalo")
    check(box["text"] == text, f"message {box['text']!r}, expected {text!r}")
    check(box["icon"] == "error", f"icon {box['icon']}, expected error")
    wine.driver("click", "Tessaly Corvalo", 1)
    code = launch.exit_code()
    check(code == 1, f"exit code {code}, expected 1")


def suite(machine, folder, jad_size_delta=0, eol="\r\n"):
    jar = machine.file(f"{folder}/game.jar", jar_bytes(MIDLET_MANIFEST))
    size = len(jar.read_bytes()) + jad_size_delta
    jad_text = (f"# written by hand{eol}MIDlet-Name: Demo{eol}MIDlet-Vendor: Tessaly{eol}MIDlet-Version: 1.0{eol}"
                f"MIDlet-Jar-Size: {size}{eol}MIDlet-Jar-URL: game.jar{eol}MIDlet-1: Demo, /icon.png, demo.DemoMidlet{eol}")
    jad = machine.file(f"{folder}/game.jad", jad_text)
    return jar, jad, jad_text


@scenario
def launch_j2se_fixed_action(wine):
    machine = Machine(wine, "j2se-fixed")
    machine.starter("J2SE", 1, "Other", "never %1")
    machine.starter("J2SE", 2, "Probe", "-jar %1 %*")
    machine.actions("J2SE", 2)
    jar = machine.file("desktop.jar", jar_bytes(DESKTOP_MANIFEST))
    machine.expect_started(f' {machine.windows(jar)} -v "a b"',
                           f'"{machine.probe}" -jar "{machine.windows(jar)}" -v "a b"')
    check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", "0x2"), f"LastAction {machine.stored('J2SE')}")
    # Empty external arguments take the space before "%*" back.
    machine.expect_started(f' "{machine.windows(jar)}"', f'"{machine.probe}" -jar "{machine.windows(jar)}"')
    check(machine.temporary_files() == {}, "temporary files written for a desktop program")
    java_version_check(wine, machine)
    get_java(wine, Machine(wine, "get-java"))


def wait_for_text(wine, caption, ident, start):
    """The texts of the window once its control `ident` shows a text that starts so: windows of one caption follow
    each other."""
    deadline = time.monotonic() + 60
    while True:
        texts = dialog_texts(wine, caption)
        if texts.get(ident, "").startswith(start):
            return texts
        if time.monotonic() > deadline:
            raise Failure(f"no window {caption!r} with {start!r}: {texts}")
        time.sleep(0.2)  # polling what another process shows, bounded by the deadline


def get_java(wine, machine):
    """A user whose Java is too old for the program gets Java 21 with winget, as a stand-in on the PATH acts it out:
    it moves a Temurin JRE home into place and registers it as Temurin's installer does. Then a winget that fails,
    and the download page, which reaches a stand-in https handler."""
    from scenarios_update import Browser  # noqa: E402 (that module uses this one's machine)
    e2e = wine.build / "tests" / "e2e"
    java8 = machine.file("jdk8/bin/javaw.exe", (e2e / "probe.exe").read_bytes())
    machine.file("jdk8/release", 'JAVA_VERSION="1.8.0_202"\n')
    machine.starter("J2SE", 1, "Java 8", "-jar %1 %*", machine.windows(java8))
    machine.actions("J2SE", 1)
    # A window program: one for the command line would be held in a console of its own.
    program = machine.windows(machine.file("program21.jar", program_jar("viewer.Viewer", java=21)))
    machine.file("staged/bin/javaw.exe", (e2e / "gui_probe.exe").read_bytes())
    machine.file("staged/bin/java.exe", (e2e / "probe.exe").read_bytes())
    machine.file("staged/release", 'JAVA_VERSION="21.0.5"\nIMPLEMENTOR="Eclipse Adoptium"\n')
    home = machine.folder / "Eclipse Adoptium" / "jre-21.0.5.11-hotspot"
    home.parent.mkdir()
    key = "SOFTWARE\\Eclipse Adoptium\\JRE\\21.0.5.11"
    winget = machine.windows(machine.file("winget/winget.exe", (e2e / "fake_winget.exe").read_bytes()))
    go = machine.folder / "go"
    machine.file("winget/winget.script", "\n".join(
        ["0", machine.windows(go), machine.windows(machine.folder / "staged"), machine.windows(home),
         key + "\\hotspot\\MSI"]) + "\n")
    wine.env["WINEPATH"] = machine.windows(machine.folder / "winget")
    caption = "Tessaly Corvalo"

    def get_java_from_the_warning(answer, screen=None):
        launch = wine.launch(f" {program}")
        texts = wait_for_text(wine, caption, 1022, "This program needs Java 21 or newer.")
        check(texts.get(1) == "Open Setup" and texts.get(1019) == "Get Java 21", f"Java version dialog {texts}")
        wine.driver("click", caption, 1019)
        texts = wait_for_text(wine, caption, 1016, "This program needs Java 21 or newer, and")
        check(texts.get(1016) == "This program needs Java 21 or newer, and no Java that can run it is set up.\n"
              "Java 21 is free to install from Eclipse Adoptium." and texts.get(1) == "Install Java 21" and
              texts.get(1020) == "Open Download Page" and texts.get(2) == "Cancel", f"Get Java dialog {texts}")
        if screen:
            wine.screenshot(caption, screen)
        wine.driver("click", caption, answer)
        return launch

    try:
        launch = get_java_from_the_warning(1, "get-java")
        wait_for_text(wine, caption, 1016, "Installing Java 21 with winget. This window closes by itself")
        wine.screenshot(caption, "get-java-installing")
        go.write_text("")
        code = launch.exit_code()
        check(code == 0, f"the program did not start with the Java winget installed: exit code {code}, "
              f"{machine.probe_lines(1, timeout=0)}")
        javaw = machine.windows(home / "bin" / "javaw.exe")
        lines = machine.probe_lines(2)
        check(lines == [f'"{winget}" install --exact --id EclipseAdoptium.Temurin.21.JRE --accept-package-agreements '
                        "--accept-source-agreements", f'"{javaw}" -jar "{program}"'], f"the probe got {lines}")
        added = parse_reg(wine.reg_query(f"{SETTINGS}\\J2SE\\2"), f"{SETTINGS}\\J2SE\\2")
        check(added == {"Name": ("REG_SZ", "Temurin 21.0.5 (GUI)"), "ExecutableFile": ("REG_SZ", javaw),
                        "Arguments": ("REG_SZ", "-jar %1 %*")}, f"the starter added {added}")
        check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", "0x2"), f"LastAction {machine.stored('J2SE')}")
    finally:
        wine.run("reg", "delete", f"HKLM\\{key}", "/reg:64", "/f", check_exit=False)
    machine.log.unlink()

    # winget fails: the user is told, nothing runs.
    wine.run("reg", "delete", f"{SETTINGS}\\J2SE\\2", "/f")
    machine.file("winget/winget.script", "0x8A150011\n-\n-\n-\n-\n")
    launch = get_java_from_the_warning(1)
    deadline = time.monotonic() + 60
    while (box := wine.message_box(caption))["text"].startswith("Installing") and time.monotonic() < deadline:
        time.sleep(0.2)  # the installing dialog closes when winget has ended; polling, bounded by the deadline
    check(box["text"] == "Java 21 could not be installed with winget (exit code 0x8A150011)." and box["icon"] == "error",
          f"winget's failure told as {box}")
    wine.driver("click", caption, 1)
    check(launch.exit_code() == 1, "a failed installation did not end with exit code 1")

    browser = Browser(wine, "get-java", "HKLM\\Software\\Classes\\https\\shell\\open\\command")
    try:
        launch = get_java_from_the_warning(1020)
        check(launch.exit_code() == 1, "the download page did not end the launch with exit code 1")
        opened = browser.wait_for(1)
        page = "https://adoptium.net/temurin/releases/?os=windows&arch=x64&package=jre&version=21"
        check(len(opened) == 1 and opened[0].endswith(f'"{page}"'), f"the https handler was handed {opened}")
    finally:
        browser.restore()
        del wine.env["WINEPATH"]


def java_version_check(wine, machine):
    """Starters that are Java runtimes against what a JAR's main class needs; copies of the probe stand in for
    java.exe and javaw.exe, and tell their Java by a release file or, without one, by their file version (17)."""
    def runtime(relative, program, release=None):
        exe = machine.file(relative, program.read_bytes())
        if release:
            machine.file(str(pathlib.Path(relative).parent.parent / "release"), f'JAVA_VERSION="{release}"\n')
        return machine.windows(exe)

    probe = wine.build / "tests" / "e2e" / "probe.exe"
    java8 = runtime("jdk8/bin/javaw.exe", probe, "1.8.0_202")
    java21 = runtime("jdk21/bin/java.exe", probe, "21.0.1")
    jre8 = runtime("jre8/bin/javaw.exe", wine.build / "tests" / "e2e" / "fake_java.exe")  # its "Full Version"
    jre17 = runtime("jre17/bin/javaw.exe", probe)
    for slot, name, exe in ((3, "Java 8", java8), (4, "Java 21 console", java21), (5, "JRE 8", jre8),
                            (6, "JRE 17", jre17)):
        machine.starter("J2SE", slot, name, "-jar %1 %*", exe)
    path = machine.windows(machine.file("program21.jar", program_jar("viewer.Viewer", java=21)))
    caption = "Tessaly Corvalo"

    # What Java 8 can run starts as before; then the Java 21 program, with each way out of the warning.
    machine.actions("J2SE", 3)
    viewer = machine.windows(machine.file("viewer8.jar", program_jar("viewer.Viewer")))
    machine.expect_started(f" {viewer}", f'"{java8}" -jar "{viewer}"')
    # On a display at 150% Windows scales Java 8's window; a name that the code page can't hold reaches Java in
    # its short form, which names the same file.
    metrics = "HKCU\\Control Panel\\Desktop\\WindowMetrics"
    machine._reg_add(metrics, "AppliedDPI", "REG_DWORD", 144)
    game = machine.file("\u0418\u0433\u0440\u0430.jar", program_jar("viewer.Viewer"))
    check(machine.open(f' "{machine.windows(game)}"') == 0, "the game did not start")
    ran, layer = machine.probe_lines(2)
    short = ran.removeprefix(f'"{java8}" -jar "').removesuffix('"')
    check(short.isascii() and machine.unix(short).resolve() == game.resolve(),
          f"the game reached Java as {ran!r}")
    check(layer == "layer DPIUNAWARE", f"the game ran with {layer!r}")
    machine.log.unlink()
    wine.run("reg", "delete", metrics, "/v", "AppliedDPI", "/f")
    for slot, starter, version, button, ran in ((3, "Java 8", 8, 1, java21), (5, "JRE 8", 8, 2, None),
                                                (6, "JRE 17", 17, 1015, jre17)):
        machine.actions("J2SE", slot, 3)
        launch = wine.launch(f" {path}")
        wine.wait(caption)
        texts = dialog_texts(wine, caption)
        expected = {1022: f'This program needs Java 21 or newer.\nThe starter "{starter}" runs Java {version}.',
                    1: 'Start with "Java 21 console"', 1015: "Start anyway", 2: "Cancel"}
        check(all(texts.get(ident) == text for ident, text in expected.items()), f"{starter}: warning {texts}")
        if slot == 3:
            x, y, width, height = wine.wait(caption)  # the work area is the whole 1280 x 1024 display
            check(abs(2 * x + width - 1280) <= 2 and abs(2 * y + height - 1024) <= 2,
                  f"the warning is not centred: {x}, {y}, {width} x {height}")
            wine.screenshot(caption, "java-version")
        wine.driver("click", caption, button)
        if ran == java21:  # a console java.exe: its console stays until a key is pressed
            close_kept_console(wine, launch, "program21.jar")
        code = launch.exit_code()
        check(code == (0 if ran else 1), f"{starter}: exit code {code}")
        if ran:
            lines = machine.probe_lines(1)
            check(lines == [f'"{ran}" -jar "{path}"'], f"{starter}: the probe got {lines}")
            machine.log.unlink()
        else:
            check(not machine.log.exists(), f"{starter}: a starter ran after Cancel")
        last = {1: 4, 2: 3, 1015: slot}[button]
        check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", hex(last)),
              f"{starter}: LastAction {machine.stored('J2SE')}")

    library = machine.file("library.jar", jar_bytes("Manifest-Version: 1.0\r\nCreated-By: 17 (Tessaly)\r\n\r\n"))
    expect_error(wine, f" {machine.windows(library)}", f'The JAR file "{machine.windows(library)}" has no '
                 '"Main-Class" attribute: it is a library, not a program that can be started.')
    check(not machine.log.exists(), "a starter ran for a library")


@scenario
def launch_j2se_selection(wine):
    machine = Machine(wine, "j2se-select")
    machine.starter("J2SE", 1, "Probe", "-jar %1")
    machine.starter("J2SE", 4, "Another probe", "-cp %1 Main %3")
    machine.actions("J2SE", 1)
    jar = machine.file("desktop.jar", jar_bytes(DESKTOP_MANIFEST))
    # "/select" asks although a starter is fixed; the list is sorted by name.
    launch = wine.launch(f" /select {machine.windows(jar)}")
    caption = "J2SE Starter Select"
    wine.wait(caption)
    items = wine.driver("items", caption, 1012).splitlines()
    check(items == ["Another probe", "Probe"], f"selection list {items}")
    wine.driver("select", caption, 1012, 0)
    wine.driver("click", caption, 1)
    code = launch.exit_code()
    check(code == 0, f"exit code {code}, expected 0")
    lines = machine.probe_lines(1)
    check(lines == [f'"{machine.probe}" -cp "{machine.windows(jar)}" Main '], f"the probe got {lines}")
    check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", "0x4"), f"LastAction {machine.stored('J2SE')}")
    machine.log.unlink()
    start_failures(wine, machine)


NEWER_CLASS = ("Error: LinkageError occurred while loading main class app.Main\r\n\tjava.lang.UnsupportedClassVersionError:"
               " app/Main has been compiled by a more recent version of the Java Runtime (class file version 65.0), "
               "this version of the Java Runtime only recognizes class file versions up to 52.0\r\n")


def lines_of(text):
    """The lines of a text that are not empty: the console's translation of line ends adds empty ones."""
    return [line for line in re.split(r"[\r\n]+", text) if line]


def start_failures(wine, machine):
    """Window-program runtimes that stop at once or keep running: copies of the probe built as a window program act
    out the script beside each."""
    def runtime(home, release, script):
        exe = machine.file(f"{home}/bin/javaw.exe", (wine.build / "tests" / "e2e" / "gui_probe.exe").read_bytes())
        machine.file(f"{home}/release", f'JAVA_VERSION="{release}"\n')
        machine.file(f"{home}/bin/javaw.script", script)
        return machine.windows(exe)

    failing = runtime("java8", "1.8.0_202", "1 0 1\n" + NEWER_CLASS)
    fitting = runtime("java21", "21.0.1", "0 0 0\n")
    machine.starter("J2SE", 7, "Java 8 & co", "-jar %1 %*", failing)
    machine.starter("J2SE", 8, "Java 21 GUI", "-jar %1 %*", fitting)
    machine.actions("J2SE", 7)
    path = machine.windows(machine.file("failing/program.jar", jar_bytes(DESKTOP_MANIFEST)))
    caption = "Tessaly Corvalo"

    launch = wine.launch(f" {path}")
    wine.wait(caption)
    texts = dialog_texts(wine, caption)
    expected = {1016: '"program.jar" stopped at once.\n\nIt needs Java 21 or newer; "Java 8 & co" runs Java 8.',
                1: 'Start with "Java 21 GUI"', 1018: "Copy Details", 2: "Close"}
    check(all(texts.get(ident) == text for ident, text in expected.items()), f"start failure dialog {texts}")
    check(lines_of(texts.get(1017, "")) == lines_of(NEWER_CLASS), f"output {texts.get(1017)!r}")
    wine.screenshot(caption, "start-failure")
    wine.driver("click", caption, 1018)
    copied = "\n".join(lines_of(wine.driver("clipboard")))
    check(copied.startswith(f'Command line: "{failing}" -jar "{path}"\nStarter: Java 8 & co\n') and
          "Java: 8\nExit code: 1\nOutput:\n" in copied, f"copied details {copied!r}")
    wine.driver("click", caption, 1)
    check(launch.exit_code() == 0, "the start with the fitting runtime did not exit 0")
    lines = machine.probe_lines(2)
    check(lines == [f'"{failing}" -jar "{path}"', f'"{fitting}" -jar "{path}"'], f"the stand-ins got {lines}")
    check(machine.stored("J2SE").get("LastAction") == ("REG_DWORD", "0x8"), f"LastAction {machine.stored('J2SE')}")
    machine.log.unlink()

    # A program that goes on running past the watch: nothing is shown, the launcher ends with 0.
    running = runtime("running", "17", "0 12000 1\nstarted\n")
    machine.starter("J2SE", 7, "Running", "-jar %1 %*", running)
    machine.expect_started(f" {path}", f'"{running}" -jar "{path}"')
    console_programs(wine, machine)


PROGRAMS = pathlib.Path(__file__).resolve().parents[1] / "data" / "jar" / "programs"


def program_jar(main_class, java=None):
    """A JAR of one real class file, compiled from the source beside it (for Java 8), or marked as needing `java`."""
    out = io.BytesIO()
    entry = main_class.replace(".", "/") + ".class"
    data = bytearray((PROGRAMS / entry).read_bytes())
    if java:
        data[6:8] = (java + 44).to_bytes(2, "big")
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("META-INF/MANIFEST.MF", f"Manifest-Version: 1.0\r\nMain-Class: {main_class}\r\n\r\n")
        archive.writestr(entry, bytes(data))
    return out.getvalue()


def close_kept_console(wine, launch, name, screen=None):
    """The launcher's own console once the program in it has ended: its title and end line; a key closes it."""
    end = f'"{name}" ended with exit code 0. Press any key to close this window.'
    out = wine.driver("console", launch.pid, end.encode("utf-8").hex(), 60000, check_exit=False)
    title, _, shown = out.partition("\n")
    check(title == f"{name} - Tessaly Corvalo" and end in shown, f"console {title!r}: {shown!r}")
    if screen:
        wine.screenshot(title, screen)
    wine.driver("console", launch.pid, end.encode("utf-8").hex(), 60000, "key")


def kept_console(wine, machine, launch, name, count):
    """The kept console closed with a key, which ends the launcher with 0; the probe ran in it with its standard
    handles there, beside the launcher. The probe's `count` log lines."""
    close_kept_console(wine, launch, name, f"kept-console-{name}")
    code = launch.exit_code()
    check(code == 0, f"exit code {code} after the key, expected 0")
    lines = machine.probe_lines(count)
    shared = lines[-1].split() if lines else []
    check(shared[:2] == ["console", "handles"] and str(launch.pid) in shared[2:], f"the probe got {lines}")
    machine.log.unlink()
    return lines[:-1]


def console_programs(wine, machine):
    """A program for the command line runs in the launcher's own console, which stays after it: a javaw.exe with a
    java.exe beside it, copies of the probe built as a window and as a console program."""
    wine.env["TC_PROBE_CONSOLE"] = "1"
    javaw = machine.file("console17/bin/javaw.exe", (wine.build / "tests" / "e2e" / "gui_probe.exe").read_bytes())
    java = machine.file("console17/bin/java.exe", (wine.build / "tests" / "e2e" / "probe.exe").read_bytes())
    machine.file("console17/release", 'JAVA_VERSION="17"\n')
    machine.file("console17/bin/javaw.script", "0 0 1\nUsage: convert IN OUT\n")
    javaw, java = machine.windows(javaw), machine.windows(java)
    machine.starter("J2SE", 7, "Java 17", "-jar %1 %*", javaw)
    machine.actions("J2SE", 7)
    caption = "Tessaly Corvalo"

    # Its class does not parse, so its kind is unknown: it ended at once and well, and its console is offered.
    unknown = machine.windows(machine.file("console/tool.jar", jar_bytes(DESKTOP_MANIFEST)))
    launch = wine.launch(f" {unknown}")
    wine.wait(caption)
    texts = dialog_texts(wine, caption)
    expected = {1016: '"tool.jar" ended at once. It may be a program for the command line; this is what it wrote:',
                1: "Run Again in a Console", 1018: "Copy Details", 2: "Close"}
    check(all(texts.get(ident) == text for ident, text in expected.items()), f"ended at once dialog {texts}")
    check(lines_of(texts.get(1017, "")) == ["Usage: convert IN OUT"], f"output {texts.get(1017)!r}")
    wine.screenshot(caption, "ended-at-once")
    wine.driver("click", caption, 1)
    lines = kept_console(wine, machine, launch, "tool.jar", 3)
    check(lines == [f'"{javaw}" -jar "{unknown}"', f'"{java}" -jar "{unknown}"'], f"the stand-ins got {lines}")

    # Judged by its classes: a command-line program goes to the console at once; a window program that ends at
    # once (as one that starts another process of itself does) says nothing.
    convert = machine.windows(machine.file("console/convert.jar", program_jar("tool.Convert")))
    lines = kept_console(wine, machine, wine.launch(f" {convert}"), "convert.jar", 2)
    check(lines == [f'"{java}" -jar "{convert}"'], f"the stand-ins got {lines}")
    viewer = machine.windows(machine.file("console/viewer.jar", program_jar("viewer.Viewer")))
    machine.expect_started(f" {viewer}", f'"{javaw}" -jar "{viewer}"')
    # Explorer's "Open in a Console" on the window program: the console all the same, with the file's arguments.
    lines = kept_console(wine, machine, wine.launch(f' /console "{viewer}" -v'), "viewer.jar", 2)
    check(lines == [f'"{java}" -jar "{viewer}" -v'], f"the stand-ins got {lines}")
    del wine.env["TC_PROBE_CONSOLE"]


@scenario
def launch_jad_matching_size(wine):
    machine = Machine(wine, "jad-match")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2 %*")
    machine.actions("J2ME", 1)
    jar, jad, jad_text = suite(machine, "suite")
    machine.expect_started(f" {machine.windows(jad)} -Xheapsize:1M",
                           f'"{machine.probe}" -Xdescriptor:"{machine.windows(jad)}" -jar "{machine.windows(jar)}" '
                           "-Xheapsize:1M")
    check(jad.read_bytes() == jad_text.encode(), "the matching descriptor was rewritten")
    check(machine.temporary_files() == {}, "temporary files written for a matching descriptor")
    check(machine.stored("J2ME").get("LastAction") == ("REG_DWORD", "0x1"), f"LastAction {machine.stored('J2ME')}")


@scenario
def launch_jad_wrong_size(wine):
    machine = Machine(wine, "jad-wrong")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2")
    machine.actions("J2ME", 1)
    # A start with the stored action that shows nothing loads none of the user interface's libraries; the warnings
    # below are then the first windows of their starts, and must find them all.
    _, fixed, _ = suite(machine, "fixed")
    code, dlls = wine.loaded_dlls(f' "{machine.windows(fixed)}"')
    check(code == 0 and "advapi32.dll" in dlls and not dlls & UI_LIBRARIES, f"fixed start: exit {code}, {sorted(dlls)}")
    check(len(machine.probe_lines(1)) == 1, "the fixed start started nothing")
    machine.log.unlink()

    for button, name in ((1, "correct"), (1013, "temporary"), (2, "cancel")):
        jar, jad, jad_text = suite(machine, name, jad_size_delta=-100)
        real = len(jar.read_bytes())
        jar_before = jar.read_bytes()
        launch = wine.launch(f' "{machine.windows(jad)}"')
        caption = "Tessaly Corvalo"
        wine.wait(caption)
        texts = dialog_texts(wine, caption)
        expected = ("The size of the JAR file differs from that in the JAD file.\n"
                    f"The JAR file size is {real} bytes.\n"
                    f"The \"MIDlet-Jar-Size\" attribute is {real - 100} bytes in the JAD file.")
        check(texts.get(1022) == expected, f"size text {texts.get(1022)!r}")
        check(texts.get(1) == "Correct this JAD file" and texts.get(1013) == "Create a temporary JAD file"
              and texts.get(2) == "Cancel", f"buttons {texts}")
        if button == 1:
            wine.screenshot(caption, "size-mismatch")
        wine.driver("click", caption, button)
        code = launch.exit_code()
        check(code == (1 if button == 2 else 0), f"{name}: exit code {code}")
        check(jar.read_bytes() == jar_before, f"{name}: the archive changed")
        temporary = machine.temporary_files()
        if button == 1:
            fixed = jad_text.replace(f"MIDlet-Jar-Size: {real - 100}\r\n", f"MIDlet-Jar-Size: {real}\r\n")
            check(jad.read_bytes() == fixed.encode(), f"corrected descriptor {jad.read_bytes()!r}")
            check(temporary == {}, "temporary files written when correcting in place")
            lines = machine.probe_lines(1)
            check(lines == [f'"{machine.probe}" -Xdescriptor:"{machine.windows(jad)}" -jar "{machine.windows(jar)}"'],
                  f"the probe got {lines}")
        elif button == 1013:
            check(jad.read_bytes() == jad_text.encode(), "the user's descriptor changed")
            expected_jad = (jad_text.replace(f"MIDlet-Jar-Size: {real - 100}", f"MIDlet-Jar-Size: {real}")
                            .replace("MIDlet-Jar-URL: game.jar", "MIDlet-Jar-URL: qvo_temp.jar"))
            check(temporary.get("qvo_temp.jad") == expected_jad.encode(), f"temporary descriptor {temporary}")
            check(temporary.get("qvo_temp.jar") == jar_before, "the temporary archive is no copy")
            lines = machine.probe_lines(1)
            temp = machine.temp_windows
            check(lines == [f'"{machine.probe}" -Xdescriptor:"{temp}\\qvo_temp.jad" -jar "{temp}\\qvo_temp.jar"'],
                  f"the probe got {lines}")
        else:
            check(jad.read_bytes() == jad_text.encode(), "the descriptor changed after Cancel")
            check(temporary == {}, "temporary files written after Cancel")
            check(not machine.log.exists(), "a starter ran after Cancel")
        machine.log.unlink(missing_ok=True)
        for file in (machine.temp / "qvo_temp.jad", machine.temp / "qvo_temp.jar"):
            file.unlink(missing_ok=True)


@scenario
def launch_jad_archive_elsewhere(wine):
    """Descriptors as download sites write them: the archive is found beside them and started from the temporary
    pair, with no size dialog and nothing of the user's written."""
    machine = Machine(wine, "jad-elsewhere")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2")
    machine.actions("J2ME", 1)
    data = jar_bytes(MIDLET_MANIFEST)
    other = machine.file("other place/g\u00e9.jar", data)
    file_url = ("file:///" + machine.windows(other).replace("\\", "/").replace(" ", "%20")
                .replace("\u00e9", "%C3%A9"))
    cases = [("web/demo.jad", "web/Demo Game.jar", "http://dl.example.com/files/Demo%20Game.jar?dl=1", 0),
             ("file/demo.jad", None, file_url, 0),
             ("renamed/game.jad", "renamed/game.jar", "Game_v1.2.jar", -100)]
    temp = machine.temp_windows
    for jad_name, jar_name, url, delta in cases:
        jar = machine.file(jar_name, data) if jar_name else other
        jad_text = (f"MIDlet-Name: Demo\r\nMIDlet-Jar-Size: {len(data) + delta}\r\nMIDlet-Jar-URL: {url}\r\n"
                    "MIDlet-1: Demo, /icon.png, demo.DemoMidlet\r\n")
        jad = machine.file(jad_name, jad_text)
        machine.expect_started(f' "{machine.windows(jad)}"',
                               f'"{machine.probe}" -Xdescriptor:"{temp}\\qvo_temp.jad" -jar "{temp}\\qvo_temp.jar"')
        expected = (jad_text.replace(f"Size: {len(data) + delta}", f"Size: {len(data)}")
                    .replace(url, "qvo_temp.jar"))
        temporary = machine.temporary_files()
        check(temporary.get("qvo_temp.jad") == expected.encode(), f"{url}: temporary descriptor {temporary}")
        check(temporary.get("qvo_temp.jar") == data, f"{url}: the temporary archive is no copy")
        check(jad.read_bytes() == jad_text.encode() and jar.read_bytes() == data, f"{url}: the user's files changed")


@scenario
def launch_midlet_jar_beside_jad(wine):
    machine = Machine(wine, "jar-beside-jad")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2")
    machine.actions("J2ME", 1)
    jar, jad, jad_text = suite(machine, "suite")
    machine.expect_started(f" {machine.windows(jar)}",
                           f'"{machine.probe}" -Xdescriptor:"{machine.windows(jad)}" -jar "{machine.windows(jar)}"')
    check(machine.temporary_files() == {}, "temporary files written although the descriptor is there")
    check(jad.read_bytes() == jad_text.encode(), "the descriptor changed")


@scenario
def launch_midlet_jar_without_jad(wine):
    machine = Machine(wine, "jar-alone")
    machine.starter("J2ME", 1, "Emulator probe", "-Xdescriptor:%1 -jar %2 %*")
    machine.actions("J2ME", 1)
    manifest = MIDLET_MANIFEST.replace("Created-By", "MIDlet-Description: a long line that goes\r\n on\r\nCreated-By")
    manifest += "Name: demo/Main.class\r\nSHA-256-Digest: abc=\r\n\r\n"
    jar = machine.file("alone/game.jar", jar_bytes(manifest, zipfile.ZIP_STORED))
    temp = machine.temp_windows
    machine.expect_started(f" {machine.windows(jar)} x",
                           f'"{machine.probe}" -Xdescriptor:"{temp}\\qvo_temp.jad" -jar "{temp}\\qvo_temp.jar" x')
    temporary = machine.temporary_files()
    size = len(jar.read_bytes())
    expected = ("MIDlet-Name: Demo\nMIDlet-Vendor: Tessaly\nMIDlet-Version: 1.0\n"
                "MIDlet-1: Demo, /icon.png, demo.DemoMidlet\nMicroEdition-Profile: MIDP-2.0\n"
                "MicroEdition-Configuration: CLDC-1.1\nMIDlet-Description: a long line that goes\n on\n"
                "Created-By: 17 (Tessaly)\nName: demo/Main.class\nSHA-256-Digest: abc=\n"
                f"MIDlet-Jar-Size: {size}\nMIDlet-Jar-URL: qvo_temp.jar\n")
    check(temporary.get("qvo_temp.jad") == expected.encode(), f"temporary descriptor {temporary.get('qvo_temp.jad')!r}")
    check(temporary.get("qvo_temp.jar") == jar.read_bytes(), "the temporary archive is no copy")
    check(sorted(p.name for p in jar.parent.iterdir()) == ["game.jar"], "files written beside the archive")


@scenario
def launch_unusual_paths(wine):
    machine = Machine(wine, "paths")
    machine.starter("J2SE", 1, "Probe", "-jar \"%1\" %*")
    machine.actions("J2SE", 1)
    machine.starter("J2ME", 1, "Emulator probe", "%1 %2")
    machine.actions("J2ME", 1)
    # Letters the code page holds pass as they are (those it can't hold go short: launch_j2se_fixed_action).
    jar = machine.file("My Games \u00c4\u00d6\u00fc \u20ac/Sch\u00f6nes Spiel \u00e9.jar", jar_bytes(DESKTOP_MANIFEST))
    machine.expect_started(f' "{machine.windows(jar)}" "\u00fcber x"',
                           f'"{machine.probe}" -jar "{machine.windows(jar)}" "\u00fcber x"')
    # A descriptor whose address climbs out of its folder.
    jar2 = machine.file("lib \u00e4/app.jar", jar_bytes(MIDLET_MANIFEST))
    jad = machine.file("jad \u00e9/sub/app.jad", f"MIDlet-Jar-Size: {len(jar2.read_bytes())}\n"
                                                 "MIDlet-Jar-URL: ..\\..\\lib \u00e4\\app.jar\n")
    machine.expect_started(f' "{machine.windows(jad)}"', f'"{machine.probe}" "{machine.windows(jad)}" '
                                                         f'"{machine.windows(jar2)}"')
    # FreeJ2ME opens its argument as a URL.
    machine.starter("J2ME", 2, "FreeJ2ME probe", '-jar "C:\\freej2me\\freej2me.jar" %U2')
    machine.actions("J2ME", 2)
    jar3, jad3, _ = suite(machine, "Spiele 100% \u00fc")
    url = "file:///" + urllib.parse.quote(machine.windows(jar3).replace("\\", "/"), safe="/:")
    machine.expect_started(f' "{machine.windows(jad3)}"', f'"{machine.probe}" -jar "C:\\freej2me\\freej2me.jar" {url}')


@scenario
def launch_not_an_archive(wine):
    machine = Machine(wine, "not-archives")
    machine.starter("J2SE", 1, "Probe", "-jar %1")
    machine.actions("J2SE", 1)
    text = machine.file("notes.jar", "MIDlet-Name: not a zip\r\n")
    expect_error(wine, f" {machine.windows(text)}", f'File "{machine.windows(text)}" read error.')
    bare = machine.file("bare.jar", jar_bytes(None))
    expect_error(wine, f" {machine.windows(bare)}", "No manifest is found.")
    jad = machine.file("nosize.jad", "MIDlet-Jar-URL: x.jar\r\n")
    expect_error(wine, f" {machine.windows(jad)}", 'No "MIDlet-Jar-Size" attribute is defined in the JAD file.')
    check(not machine.log.exists(), "a starter ran")


@scenario
def launch_with_start_options(wine):
    """What a user says about one file, set in its Start Options through the dialog, reaches its start."""
    machine = Machine(wine, "options")
    java8 = machine.windows(machine.file("jdk8/bin/javaw.exe", (wine.build / "tests" / "e2e" / "probe.exe").read_bytes()))
    machine.starter("J2SE", 1, "Probe", "-jar %1 %*")
    machine.starter("J2SE", 2, "Java 8", "-jar %1 %*", java8)
    machine.actions("J2SE", 1)
    machine.starter("J2ME", 1, "Emulator probe", "%1 %W %H %*")
    machine.actions("J2ME", 1)
    jar = machine.windows(machine.file("options/app.jar", program_jar("viewer.Viewer")))
    _, jad, _ = suite(machine, "options")

    def set_options(path, fields, screen, select=None):
        caption = f"Start Options - {path.rsplit(chr(92), 1)[1]}"
        launch = wine.launch(f' /options "{path}"')
        wine.wait(caption)
        if select is not None:
            wine.driver("select", caption, 1030, select)
        for ident, text in fields.items():
            wine.driver("settext", caption, ident, text.encode("utf-8").hex())
        wine.screenshot(caption, screen)
        wine.driver("click", caption, 1)
        code = launch.exit_code()
        check(code == 0, f"/options: exit code {code}")

    set_options(jar, {1034: "512", 1035: "-Dsun.java2d.uiScale=1", 1031: '"a b"'}, "start-options-j2se", 1)
    machine.expect_started(f' "{jar}" -v', f'"{java8}" -Xmx512m -Dsun.java2d.uiScale=1 -jar "{jar}" "a b" -v')
    set_options(machine.windows(jad), {1036: "176", 1037: "208"}, "start-options-j2me")
    machine.expect_started(f' "{machine.windows(jad)}"', f'"{machine.probe}" "{machine.windows(jad)}" 176 208')
    kept = wine.reg_query(f"{SETTINGS}\\Files")
    check(kept.count("Path") == 2 and "Width" in kept and "JavaOptions" in kept, f"kept {kept!r}")


@scenario
def launch_from_the_internet(wine):
    """A desktop JAR with a Zone.Identifier stream, which Wine keeps as a file of that name beside it."""
    machine = Machine(wine, "zone")
    for kind, arguments in (("J2SE", "-jar %1"), ("J2ME", "%1 %2")):
        machine.starter(kind, 1, "Probe", arguments)
        machine.actions(kind, 1)
    jar = machine.file("Downloads/game.jar", jar_bytes(DESKTOP_MANIFEST))
    tail, started = f' "{machine.windows(jar)}"', f'"{machine.probe}" -jar "{machine.windows(jar)}"'
    mark, caption = jar.with_name("game.jar:Zone.Identifier"), "Security Warning"
    code, dlls = wine.loaded_dlls(tail)  # the stored action's start of a file without a mark shows nothing
    check(code == 0 and not dlls & UI_LIBRARIES and machine.probe_lines(1) == [started], f"unmarked: {code} {dlls}")
    machine.log.unlink()

    def ask(zone, answer, host="dl.example.com", untick=False, screen=None):
        mark.write_text(f"[ZoneTransfer]\r\nZoneId={zone}\r\nHostUrl=https://me:secret@{host}/game.jar\r\n")
        launch = wine.launch(tail)
        wine.wait(caption)
        texts = dialog_texts(wine, caption)
        shown = [texts.get(i) for i in (1030, 1031, 1032, 1033, 1034, 2)] + [wine.driver("icon", caption).strip(),
                                                                           wine.driver("focus", caption).strip()]
        check(shown == ["This program came from the internet. Run it only if you trust where it came from: a Java "
                        "program can do anything you can do on this computer.", "game.jar", host[:100],
                        "&Always ask before opening this file", "&Run", "&Don't Run", "warning", "2"], f"{shown}")
        if screen:
            wine.screenshot(caption, screen)
        if untick:
            wine.driver("press", caption, 1033)  # the mouse, so that the box loses its tick
        wine.driver("click", caption, answer)
        code = launch.exit_code()
        ran = code == 0 and machine.probe_lines(1) == [started]
        check(ran or (code == 1 and not machine.log.exists()), f"exit code {code}, {machine.probe_lines(0, 0)}")
        machine.log.unlink(missing_ok=True)
        return ran, mark.exists()

    check(ask(3, 2, screen="security-warning") == (False, True), "Don't Run")
    check(ask(3, 1034) == (True, True), "Run, asking again")
    check(ask(3, 1034, untick=True) == (True, False), "Run, unblocked")
    machine.expect_started(tail, started)
    check(ask(99999999999, 2, host="x" * 100000) == (False, True), "a zone that can't be read")
    mark.write_text("[ZoneTransfer]\r\nZoneId=4\r\n")
    expect_error(wine, tail, '"game.jar" comes from a site that Windows restricts, so it is not started.')
    # The policy, the user's and the machine's (which wins is the policies' table). A suite runs unasked.
    mark.write_text("[ZoneTransfer]\r\nZoneId=3\r\n")
    keys = ("HKCU\\Software\\Policies\\Tessaly\\Corvalo", "HKLM\\Software\\Policies\\Tessaly\\Corvalo")
    try:
        machine._reg_add(keys[0], "FilesFromTheInternet", "REG_DWORD", 1)
        expect_error(wine, tail, '"game.jar" came from the internet, and your organisation does not allow programs '
                                 'from the internet to start.')
        suite = machine.file("Downloads/suite.jar", jar_bytes(MIDLET_MANIFEST))
        suite.with_name("suite.jar:Zone.Identifier").write_text("[ZoneTransfer]\r\nZoneId=3\r\n")
        temp = machine.temp_windows
        machine.expect_started(f' "{machine.windows(suite)}"',
                               f'"{machine.probe}" "{temp}\\qvo_temp.jad" "{temp}\\qvo_temp.jar"')
        machine._reg_add(keys[1], "FilesFromTheInternet", "REG_DWORD", 2)
        machine.expect_started(tail, started)
    finally:
        for key in keys:
            wine.run("reg", "delete", key, "/f", check_exit=False)
