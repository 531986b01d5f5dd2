"""A machine described by an SDK layout file (tests/data/sdk), laid out in the harness's Wine prefix, and removed."""
import pathlib
import shutil

from harness import Failure

VIEWS = {"HKLM32": ("HKEY_LOCAL_MACHINE", "32"), "HKLM64": ("HKEY_LOCAL_MACHINE", "64"),
         "HKCU": ("HKEY_CURRENT_USER", "64")}
PROFILE = "%USERPROFILE%"


MACHINES = {"x86": 0x014C, "x64": 0x8664, "ARM64": 0xAA64}


class Layout:
    """The registry values, files (None: empty), stand-in runtimes, folders and program environment of one layout
    file, with Windows paths."""

    def __init__(self, text):
        self.values = []  # (view, key, name, data)
        self.files = []  # (path, text or None)
        self.runtimes = []  # (path, machine)
        self.folders = []
        self.environment = {}
        lines = enumerate(text.splitlines(), start=1)
        for number, line in lines:
            if not line.strip() or line.startswith("#"):
                continue
            word, _, rest = line.partition(" ")
            if word == "reg":
                view, _, entry = rest.partition(" ")
                fields = entry.split("|", 2)
                if view not in VIEWS or len(fields) != 3:
                    raise Failure(f"layout line {number}: {line!r}")
                self.values.append((view, *fields))
            elif word == "file":
                self.files.append((rest, None))
            elif word == "folder":
                self.folders.append(rest)
            elif word == "exe":
                path, _, machine = rest.partition("|")
                if machine not in MACHINES:
                    raise Failure(f"layout line {number}: {line!r}")
                self.runtimes.append((path, MACHINES[machine]))
            elif word == "env":
                name, bar, value = rest.partition("|")
                if not bar:
                    raise Failure(f"layout line {number}: {line!r}")
                self.environment[name] = value
            elif word in ("xml", "text"):
                body = []
                for _, body_line in lines:
                    if body_line == "end":
                        break
                    body.append(body_line)
                else:
                    raise Failure(f"layout: the file {rest} has no end")
                self.files.append((rest, "\r\n".join(body) + "\r\n"))
            else:
                raise Failure(f"layout line {number}: {line!r}")

    def paths(self):
        return [path for path, _ in self.files] + [path for path, _ in self.runtimes] + self.folders

    def program_environment(self):
        """The variables to start the program with. Wine builds PATH itself and puts WINEPATH ahead of it."""
        return {"WINEPATH" if name.upper() == "PATH" else name: value for name, value in self.environment.items()}

    def keys(self):
        """(view, key) of every key that holds a value, each once, in the file's order."""
        return list(dict.fromkeys((view, key) for view, key, _, _ in self.values))


def load(path):
    return Layout(pathlib.Path(path).read_text(encoding="utf-8"))


def user_profile(wine):
    """The user's profile folder as the program's environment gives it."""
    profile = wine.run("cmd.exe", "/c", "echo %USERPROFILE%").strip()
    if not profile or "%" in profile:
        raise Failure(f"no user profile in the prefix: {profile!r}")
    return profile


def unix_path(wine, path, profile):
    """Where a layout path lies in the prefix; only paths on C: are laid out."""
    windows = path.replace(PROFILE, profile, 1) if path.startswith(PROFILE) else path
    drive, _, rest = windows.partition(":\\")
    if drive.upper() != "C" or not rest:
        raise Failure(f"layout path not on C: {path}")
    # Windows names ignore case: a step that exists in other letters is that folder, not a new one beside it.
    found = pathlib.Path(wine.env["WINEPREFIX"]) / "drive_c"
    for step in rest.split("\\"):
        same = [entry for entry in found.iterdir() if entry.name.lower() == step.lower()] if found.is_dir() else []
        found = same[0] if same else found / step
    return found


def _reg_text(entries):
    def quoted(text):
        return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

    out = ["Windows Registry Editor Version 5.00", ""]
    key = None
    for root, path, name, data in entries:
        if (root, path) != key:
            key = (root, path)
            out += ["", f"[{root}\\{path}]"]
        out.append(f"{quoted(name)}={quoted(data)}")
    return "\r\n".join(out) + "\r\n\r\n"


def write_values(wine, entries, name="values"):
    """Writes (view, key, value name, data) string values, one import per registry view."""
    by_view = {}
    for view, key, value, data in entries:
        root, bits = VIEWS[view]
        by_view.setdefault(bits, []).append((root, key, value, data))
    for bits, rows in by_view.items():
        file = wine.work / f"{name}-{bits}.reg"
        file.write_text(_reg_text(rows), encoding="utf-16")  # with its byte-order mark, as reg expects
        wine.run("reg", "import", wine.windows_path(file), f"/reg:{bits}")


def with_machine(executable, machine):
    """The executable with its COFF header naming another machine: a scan reads the field, nothing runs the copy."""
    offset = int.from_bytes(executable[0x3C:0x40], "little") + 4
    if executable[offset - 4:offset] != b"PE\0\0":
        raise Failure("the stand-in runtime is no PE file")
    return executable[:offset] + machine.to_bytes(2, "little") + executable[offset + 2:]


def apply(wine, layout):
    profile = user_profile(wine)
    for path, text in layout.files:
        target = unix_path(wine, path, profile)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(b"" if text is None else text.encode("utf-8"))
    stand_in = (wine.build / "tests" / "e2e" / "fake_java.exe").read_bytes()
    for path, machine in layout.runtimes:
        target = unix_path(wine, path, profile)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(with_machine(stand_in, machine))
    for path in layout.folders:
        unix_path(wine, path, profile).mkdir(parents=True, exist_ok=True)
    write_values(wine, [(view, key, name, data.replace(PROFILE, profile)) for view, key, name, data in layout.values],
                 "sdk-layout")
    set_machine_access(wine, layout, wine.READ_ONLY)


def set_machine_access(wine, layout, sddl):
    """Gives the layout's HKEY_LOCAL_MACHINE keys, and the keys below them, this DACL."""
    for view in ("HKLM32", "HKLM64"):
        keys = [key for key_view, key in layout.keys() if key_view == view]
        if keys:
            wine.machine_key_access(VIEWS[view][1], sddl, *keys)


def remove(wine, layout):
    """Takes the layout off the prefix: its keys, and whatever of its paths the clean prefix doesn't have."""
    set_machine_access(wine, layout, wine.WRITABLE)
    # One regedit run deletes every key, where reg.exe would take a start per key. regedit knows no views, so the
    # 32-bit view is reached where a 64-bit program sees it.
    lines = ["Windows Registry Editor Version 5.00", ""]
    for view, key in layout.keys():
        root, _ = VIEWS[view]
        if view == "HKLM32":
            first, _, rest = key.partition("\\")
            if first.upper() != "SOFTWARE":
                raise Failure(f"layout key outside SOFTWARE: {key}")
            key = f"{first}\\Wow6432Node\\{rest}"
        lines.append(f"[-{root}\\{key}]")
    file = wine.work / "sdk-layout-removal.reg"
    file.write_text("\r\n".join(lines) + "\r\n\r\n", encoding="utf-16")
    wine.run("regedit", "/s", wine.windows_path(file))
    profile = user_profile(wine)
    drive_c = pathlib.Path(wine.env["WINEPREFIX"]) / "drive_c"
    clean = pathlib.Path(wine.env["WINEPREFIX"]).parent / "template" / "drive_c"
    if not clean.is_dir():
        raise Failure(f"no clean prefix at {clean}")
    for path in layout.paths():
        relative = unix_path(wine, path, profile).relative_to(drive_c)
        # The first step of the path that a clean prefix lacks is where the layout began.
        for depth in range(1, len(relative.parts) + 1):
            step = pathlib.Path(*relative.parts[:depth])
            if not (clean / step).exists():
                if (drive_c / step).is_dir():
                    shutil.rmtree(drive_c / step)
                else:
                    (drive_c / step).unlink(missing_ok=True)
                break
