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


# What Wine's start.exe says when the loader could not map the program and handed it over: nothing was started.
NOT_STARTED = "Application could not be started, or no application associated with the specified file."


def again_after_silent_exit(start):
    """What start() gives, called again (at most twice) while it ends in Wine's silent exit 1: exit code 1 with
    nothing said, or with only start.exe's word that the program never started, which Wine (and its reg.exe) now
    and then gives for no reason it tells. Only for steps that can safely run twice. start() returns the exit code
    (None while the program runs), what it said, and the result."""
    for _ in range(3):
        code, said, result = start()
        if code != 1 or (said.strip() and NOT_STARTED not in said):
            break
    return result


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

    def run(self, *args, timeout=60, check_exit=True, encoding="utf-8", again=False):
        """`again`: the step may run again after Wine's silent exit 1 (see again_after_silent_exit), as every reg
        and regedit step of the scenarios may (adds with /f, deletes, queries, imports)."""
        def start():
            result = subprocess.run(["wine", *map(str, args)], env=self.env, capture_output=True, encoding=encoding,
                                    errors="replace", stdin=subprocess.DEVNULL, timeout=timeout)
            return result.returncode, result.stdout + result.stderr, result

        if again or str(args[0]).lower() in ("reg", "regedit"):
            result = again_after_silent_exit(start)
        else:
            result = start()[2]
        if check_exit and result.returncode != 0:
            said = result.stderr.strip() or result.stdout.strip()  # reg says why on its standard output
            raise Failure(f"wine {' '.join(map(str, args))} exited {result.returncode}: {said}")
        return result.stdout.replace("\r\n", "\n")

    def driver(self, *args, timeout=90, check_exit=True):
        return self.run(self.driver_exe, *args, timeout=timeout, check_exit=check_exit, again=True)

    # What HKEY_LOCAL_MACHINE grants a user who is not elevated, and what lets a scenario clean up again.
    READ_ONLY = "D:P(A;CI;KR;;;WD)"
    WRITABLE = "D:(A;CI;KA;;;WD)"

    def machine_key_access(self, bits, sddl, *keys):
        """Gives these HKEY_LOCAL_MACHINE keys that exist (paths under it, in the 32- or 64-bit view), and every key
        below them, the DACL `sddl`."""
        self.driver("access", bits, sddl, *keys)

    @staticmethod
    def windows_path(path):
        """A Unix path on Wine's Z: drive; a Windows path as it is."""
        return str(path) if re.match(r"^[A-Za-z]:\\", str(path)) else "Z:" + str(path).replace("/", "\\")

    def launch(self, tail, timeout_ms=240000, cwd=None, program=None):
        """Starts the program (or another) with the exact command-line tail; the returned launch is finished by
        exit_code().

        `timeout_ms` only bounds a program that nothing ends: a scenario takes as long as the machine makes it, and
        end_launches() ends whatever a scenario leaves running. The program inherits the driver's current folder,
        which Wine derives from the Unix folder `cwd` (default: this process's): one inside the prefix's drive_c
        puts it on C:, any other on Z:."""
        def start():
            process = subprocess.Popen(["wine", str(self.driver_exe), "launch",
                                        self.windows_path(program or self.program), tail.encode("utf-8").hex(),
                                        str(timeout_ms)], env=self.env, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True, cwd=cwd)
            started = process.stdout.readline()
            # Nothing said before the driver ended: nothing was started, so starting again is safe.
            return None if started.strip() else process.wait(timeout=60), started, (process, started.split())

        process, started = again_after_silent_exit(start)
        check(len(started) == 2 and started[0] == "started", f"the program did not start: {started}")
        launch = Launch(process, int(started[1]), timeout_ms)
        self.launches.append(launch)
        return launch

    def loaded_dlls(self, tail):
        """Runs the program with the command-line tail to its end, with Wine tracing every DLL load; its exit code
        (None when it did not end) and the DLLs that its own process loaded, in lower case."""
        env = dict(self.env, WINEDEBUG="+pid,+loaddll")
        for _ in range(3):
            result = subprocess.run(["wine", str(self.driver_exe), "launch", self.windows_path(self.program),
                                     tail.encode("utf-8").hex(), "60000"], env=env, capture_output=True,
                                    encoding="utf-8", errors="replace", stdin=subprocess.DEVNULL, timeout=120)
            # Wine's silent exit 1 before the driver ran: nothing was started, so starting again is safe.
            if "started" in result.stdout or result.returncode != 1:
                break
        code = re.search(r"^exit (-?\d+)", result.stdout, re.M)
        loads = re.findall(r'^([0-9a-f]+):[0-9a-f]+:trace:loaddll:\w+ Loaded L"(?:[^"]*\\)?([^"\\]+)"', result.stderr,
                           re.M)
        own = {pid for pid, name in loads if name.lower() == self.program.name.lower()}
        return (int(code.group(1)) if code else None), {name.lower() for pid, name in loads if pid in own}

    def end_launches(self):
        """Ends, by process id, every program a scenario started and left running, so that none of its windows
        is there when the next scenario looks."""
        for launch in self.launches:
            if launch.process.poll() is None:
                self.run(self.driver_exe, "kill", launch.pid, check_exit=False)
                launch.process.wait(timeout=60)
        self.launches.clear()

    def wait(self, caption, timeout_ms=60000):
        out = self.driver("wait", caption, timeout_ms, timeout=timeout_ms / 1000 + 30, check_exit=False)
        check(out.strip() != "missing" and out.strip(), f'no window "{caption}" appeared')
        return [int(v) for v in out.split()]

    def first(self, *captions, timeout_ms=30000):
        """The caption of whichever of these windows appears first."""
        out = self.driver("first", timeout_ms, *captions, timeout=timeout_ms / 1000 + 30, check_exit=False).strip()
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


