#!/usr/bin/env python3
"""End-to-end scenarios: the real program under Wine on a private display, acted on through the driver.

usage: e2e.py SCENARIO BUILD_FOLDER   (the Wine environment must have been started with tools/wine-env)
"""
import os
import pathlib
import subprocess
import sys

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Wine:
    def __init__(self, build):
        self.build = pathlib.Path(build).resolve()
        self.env = dict(os.environ)
        for line in (self.build / "wine" / "env").read_text().splitlines():
            name, _, value = line.removeprefix("export ").partition("=")
            self.env[name] = value.strip("'")
        self.program = self.build / "src" / "TessalyCorvalo.exe"
        self.driver_exe = self.build / "tests" / "e2e" / "driver.exe"
        self.screens = self.build / "screens"
        self.screens.mkdir(exist_ok=True)
        self.work = self.build / "e2e-work"
        self.work.mkdir(exist_ok=True)

    def run(self, *args, timeout=60, check_exit=True):
        result = subprocess.run(["wine", *map(str, args)], env=self.env, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, timeout=timeout)
        if check_exit and result.returncode != 0:
            raise Failure(f"wine {' '.join(map(str, args))} exited {result.returncode}: {result.stderr.strip()}")
        return result.stdout.replace("\r\n", "\n")

    def driver(self, *args, timeout=40):
        return self.run(self.driver_exe, *args, timeout=timeout)

    @staticmethod
    def windows_path(path):
        return "Z:" + str(path).replace("/", "\\")

    def launch(self, tail, timeout_ms=30000):
        """Starts the program with the exact command-line tail; the returned launch is finished by exit_code()."""
        hex_tail = tail.encode("utf-8").hex()
        process = subprocess.Popen(["wine", str(self.driver_exe), "launch", self.windows_path(self.program), hex_tail,
                                    str(timeout_ms)], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   stdin=subprocess.DEVNULL, text=True)
        started = process.stdout.readline().strip()
        check(started == "started", f"the program did not start: {started}")
        return Launch(process, timeout_ms)

    def wait(self, caption, timeout_ms=20000):
        out = self.run(self.driver_exe, "wait", caption, timeout_ms, timeout=timeout_ms / 1000 + 30,
                       check_exit=False)
        check(out.strip() != "missing" and out.strip(), f'no window "{caption}" appeared')
        return [int(v) for v in out.split()]

    def controls(self, caption):
        rows = []
        for line in self.driver("texts", caption).splitlines():
            parts = line.split("\t")
            if len(parts) == 3:
                rows.append((int(parts[0]), parts[1], parts[2]))
        return rows

    def message_box(self, caption):
        """The text, icon and buttons of the message box with this caption."""
        self.wait(caption)
        controls = self.controls(caption)
        texts = [text for _, cls, text in controls if cls.lower() == "static" and text]
        buttons = [(ident, text.replace("&", "")) for ident, cls, text in controls if cls.lower() == "button"]
        return {"text": "\n".join(texts), "icon": self.driver("icon", caption).strip(), "buttons": buttons}

    def screenshot(self, caption, name):
        x, y, width, height = self.wait(caption)
        target = self.screens / f"{name}.png"
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", "-crop",
                        f"{width}x{height}+{x}+{y}", "+repage", str(target)], check=True, timeout=30)
        return target

    def reg_query(self, key):
        return self.run("reg", "query", key, "/s", check_exit=False)


class Launch:
    def __init__(self, process, timeout_ms):
        self.process = process
        self.timeout = timeout_ms / 1000 + 30

    def exit_code(self):
        out, err = self.process.communicate(timeout=self.timeout)
        for line in out.splitlines():
            if line.startswith("exit "):
                return int(line.split()[1])
        raise Failure(f"the program did not end: {out.strip()} {err.strip()}")


def expect_error_box(wine, tail, text, screen):
    launch = wine.launch(tail)
    box = wine.message_box("Tessaly Corvalo")
    check(box["text"] == text, f"message {box['text']!r}, expected {text!r}")
    check(box["icon"] == "error", f"icon {box['icon']}, expected error")
    check([t for _, t in box["buttons"]] == ["OK"], f"buttons {box['buttons']}")
    wine.screenshot("Tessaly Corvalo", screen)
    wine.driver("click", "Tessaly Corvalo", 1)
    code = launch.exit_code()
    check(code == 1, f"exit code {code}, expected 1")


@scenario
def command_line(wine):
    expect_error_box(wine, ' "C:\\no closing quote.jar', "Command line parameter error.", "command-line-error")
    expect_error_box(wine, ' ""', "File name error.", "file-name-error")
    expect_error_box(wine, ' "x.jar" "', "Command line parameter error.", "command-line-error-later")

    for tail, name in (("", "open-file-dialog"), ("   \t ", "open-file-dialog-blanks")):
        launch = wine.launch(tail)
        caption = "Select a JAR or JAD File"
        wine.wait(caption)
        file_types = wine.driver("items", caption, 1136).splitlines()
        check(file_types == ["JAR and JAR Files (*.jar;*.jad)", "All Files"], f"file types {file_types}")
        wine.screenshot(caption, name)
        wine.driver("click", caption, 2)
        code = launch.exit_code()
        check(code == 1, f"cancelled open-file dialog: exit code {code}, expected 1")


@scenario
def catalogue(wine):
    wine.run(wine.build / "tests" / "e2e" / "catalogue_writer.exe")
    root = "HKCU\\Software\\Tessaly\\Corvalo\\setup1"
    j2se = wine.reg_query(root + "\\J2SE")
    expected = [
        ("J2SE", "DefaultAction", "REG_DWORD", "0xffffffff"),
        ("J2SE", "LastAction", "REG_DWORD", "0x3"),
        ("J2SE\\1", "Name", "REG_SZ", "Java 8"),
        ("J2SE\\1", "ExecutableFile", "REG_SZ", "C:\\Java\\bin\\javaw.exe"),
        ("J2SE\\1", "Arguments", "REG_SZ", "-jar %1 %*"),
        ("J2SE\\3", "Name", "REG_SZ", "Java 17"),
        ("J2SE\\3", "Arguments", "REG_SZ", ""),
        ("J2ME", "DefaultAction", "REG_DWORD", "0x1"),
        ("J2ME", "LastAction", "REG_DWORD", "0x0"),
        ("J2ME\\1", "Name", "REG_SZ", "Emulator \u00e9"),
        ("J2ME\\1", "Arguments", "REG_SZ", "-Xdescriptor:%1"),
    ]
    for key, name, kind, value in expected:
        values = parse_reg(wine.reg_query(f"{root}\\{key}"), f"{root}\\{key}")
        check(values.get(name) == (kind, value), f"{key} {name}: {values.get(name)}, expected {(kind, value)}")
    check("J2SE\\2" not in j2se, "the deleted starter's subkey is still there")
    check(not parse_reg(wine.reg_query(root), root), "the settings key itself holds values")


def parse_reg(text, key):
    """The values directly under `key` in `reg query /s` output: name -> (type, data)."""
    values, current = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            current = line.strip().upper()
            continue
        parts = line.strip().split(None, 2)
        if current == key.upper().replace("HKCU", "HKEY_CURRENT_USER") and len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) == 3 else "")
    return values


def main():
    name, build = sys.argv[1], sys.argv[2]
    wine = Wine(build)
    try:
        SCENARIOS[name](wine)
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"FAILED {name}: {failure}")
        return 1
    print(f"passed {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
