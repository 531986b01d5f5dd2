#!/usr/bin/env python3
"""The e2e harness: the real program under Wine on a private display, acted on through the driver."""
import os
import pathlib
import re
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
        self.launches = []

    def run(self, *args, timeout=60, check_exit=True, encoding="utf-8", silent_failures=0):
        """`silent_failures`: how many times to run the program again when it exits 1 with nothing said, which Wine
        (and its reg.exe) now and then does for no reason it tells. Only for steps that can safely run twice, which
        every reg and regedit step of the scenarios is (adds with /f, deletes, queries, imports)."""
        if str(args[0]).lower() in ("reg", "regedit"):
            silent_failures = max(silent_failures, 2)
        for _ in range(silent_failures + 1):
            result = subprocess.run(["wine", *map(str, args)], env=self.env, capture_output=True, encoding=encoding,
                                    errors="replace", stdin=subprocess.DEVNULL, timeout=timeout)
            if not (result.returncode == 1 and not result.stdout and not result.stderr.strip()):
                break
        if check_exit and result.returncode != 0:
            raise Failure(f"wine {' '.join(map(str, args))} exited {result.returncode}: {result.stderr.strip()}")
        return result.stdout.replace("\r\n", "\n")

    def driver(self, *args, timeout=90):
        return self.run(self.driver_exe, *args, timeout=timeout, silent_failures=2)

    # What HKEY_LOCAL_MACHINE grants a user who is not elevated, and what lets a scenario clean up again.
    READ_ONLY = "D:P(A;CI;KR;;;WD)"
    WRITABLE = "D:(A;CI;KA;;;WD)"

    def machine_key_access(self, bits, sddl, *keys):
        """Gives these HKEY_LOCAL_MACHINE keys that exist (paths under it, in the 32- or 64-bit view), and every key
        below them, the DACL `sddl`."""
        self.driver("access", bits, sddl, *keys)

    @staticmethod
    def windows_path(path):
        return "Z:" + str(path).replace("/", "\\")

    def launch(self, tail, timeout_ms=240000, cwd=None, program=None):
        """Starts the program (or another) with the exact command-line tail; the returned launch is finished by
        exit_code().

        `timeout_ms` only bounds a program that nothing ends: a scenario takes as long as the machine makes it, and
        end_launches() ends whatever a scenario leaves running. The program inherits the driver's current folder,
        which Wine derives from the Unix folder `cwd` (default: this process's): one inside the prefix's drive_c
        puts it on C:, any other on Z:."""
        hex_tail = tail.encode("utf-8").hex()
        for _ in range(3):
            process = subprocess.Popen(["wine", str(self.driver_exe), "launch",
                                        self.windows_path(program or self.program), hex_tail, str(timeout_ms)],
                                       env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                       stdin=subprocess.DEVNULL, text=True, cwd=cwd)
            started = process.stdout.readline().split()
            # Wine's silent exit 1 before the driver ran: nothing was started, so starting again is safe.
            if started or process.wait(timeout=60) != 1:
                break
        check(len(started) == 2 and started[0] == "started", f"the program did not start: {started}")
        launch = Launch(process, int(started[1]), timeout_ms)
        self.launches.append(launch)
        return launch

    def end_launches(self):
        """Ends, by process id, every program a scenario started and left running, so that none of its windows
        is there when the next scenario looks."""
        for launch in self.launches:
            if launch.process.poll() is None:
                self.run(self.driver_exe, "kill", launch.pid, check_exit=False)
                launch.process.wait(timeout=60)
        self.launches.clear()

    def wait(self, caption, timeout_ms=60000):
        out = self.run(self.driver_exe, "wait", caption, timeout_ms, timeout=timeout_ms / 1000 + 30,
                       check_exit=False, silent_failures=2)
        check(out.strip() != "missing" and out.strip(), f'no window "{caption}" appeared')
        return [int(v) for v in out.split()]

    def first(self, *captions, timeout_ms=30000):
        """The caption of whichever of these windows appears first."""
        out = self.run(self.driver_exe, "first", timeout_ms, *captions, timeout=timeout_ms / 1000 + 30,
                       check_exit=False, silent_failures=2).strip()
        check(out in captions, f"none of the windows {captions} appeared")
        return out

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
        # reg writes in the console's OEM code page.
        return self.run("reg", "query", key, "/s", check_exit=False, encoding="cp437")


class Launch:
    def __init__(self, process, pid, timeout_ms):
        self.process = process
        self.pid = pid
        self.timeout = timeout_ms / 1000 + 30

    def exit_code(self):
        # Read through the same buffered stream as the "started" line: what it already holds stays in it.
        # The driver ends by itself once its own timeout has passed, so this read is bounded.
        out = self.process.stdout.read()
        self.process.wait(timeout=self.timeout)
        for line in out.splitlines():
            if line.startswith("exit "):
                return int(line.split()[1])
        raise Failure(f"the program did not end: {out.strip()}")


def parse_reg(text, key):
    """The values directly under `key` in `reg query /s` output: name -> (type, data)."""
    values, current = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            current = line.strip().upper()
            continue
        # Four blanks separate name, type and data; names may hold single blanks.
        value = re.match(r"^ {4}(.+?) {4}(REG_[A-Z_]+)(?: {4}(.*))?$", line)
        if current == key.upper().replace("HKCU", "HKEY_CURRENT_USER").replace("HKLM", "HKEY_LOCAL_MACHINE") and value:
            values[value.group(1)] = (value.group(2), (value.group(3) or "").strip())
    return values


def reg_keys(text):
    """The keys that `reg query /s` output lists, upper case."""
    return {line.strip().upper() for line in text.splitlines() if line.startswith("HKEY_")}


