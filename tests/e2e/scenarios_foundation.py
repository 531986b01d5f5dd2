"""Scenarios of the command line and of the settings store."""
from harness import Failure, check, parse_reg, scenario


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
