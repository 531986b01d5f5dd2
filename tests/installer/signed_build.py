#!/usr/bin/env python3
"""A signed build beside the unsigned one, with a code-signing certificate made for the run: each file it ships
carries a signature that the certificate verifies, and a wrong password fails the build.

usage: signed_build.py build BUILD_FOLDER SOURCE_FOLDER      the signed build, its signatures, a wrong password
       signed_build.py installed BUILD_FOLDER SOURCE_FOLDER  the Uninstall.exe its setup installs under Wine"""
import os
import pathlib
import re
import secrets
import subprocess
import sys

mode, build, source = sys.argv[1], *map(pathlib.Path, sys.argv[2:4])
# Beside the build, at its depth: a compiler cache shared with it then finds the same relative paths.
signed = build.parent / f"{build.name}-signed"
keys = signed / "keys"
certificate = keys / "certificate.pem"


def run(*args, **options):
    return subprocess.run(list(map(str, args)), capture_output=True, text=True, **options)


def verified(file):
    result = run("osslsigncode", "verify", "-CAfile", certificate, "-in", file)
    said = result.stdout + result.stderr
    return result.returncode == 0 and "Message digest algorithm  : SHA256" in said, said


def configure(password_file):
    cache = (build / "CMakeCache.txt").read_text()
    launcher = re.search(r"^CMAKE_CXX_COMPILER_LAUNCHER:\w+=(.+)$", cache, re.M)
    extra = [f"-DCMAKE_CXX_COMPILER_LAUNCHER={launcher[1]}"] if launcher else []
    result = run("cmake", "--preset", "windows", "-B", signed, f"-DTC_SIGNING_CERTIFICATE={keys / 'signing.p12'}",
                 f"-DTC_SIGNING_PASSWORD_FILE={password_file}", *extra, cwd=source)
    assert result.returncode == 0, result.stdout + result.stderr


def program_build():
    return run("cmake", "--build", signed, "--target", "TessalyCorvalo", "installer", "-j", "1")


def check_build():
    keys.mkdir(parents=True, exist_ok=True)
    password = keys / "password.txt"
    password.write_text(secrets.token_hex(16))
    made = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
               "/CN=Tessaly test signing", "-addext", "extendedKeyUsage=codeSigning", "-keyout", keys / "key.pem",
               "-out", certificate)
    made = made.returncode or run("openssl", "pkcs12", "-export", "-inkey", keys / "key.pem", "-in", certificate,
                                  "-passout", f"file:{password}", "-out", keys / "signing.p12").returncode
    assert made == 0, "openssl could not make the certificate"
    configure(password)
    result = program_build()
    assert result.returncode == 0, result.stdout[-3000:] + result.stderr
    setup = next(signed.glob("TessalyCorvalo-*-setup.exe"))
    failures = [f"{file.name}: {said}" for file in (signed / "src" / "TessalyCorvalo.exe", setup)
                for ok, said in [verified(file)] if not ok]
    # The manifest's hash is the signed setup's.
    if run(sys.executable, source / "tests" / "installer" / "deployment_files.py", signed, source).returncode:
        failures.append("the winget manifest does not match the signed setup")
    wrong = keys / "wrong.txt"
    wrong.write_text("not the password")
    configure(wrong)
    result = program_build()
    if result.returncode == 0 or (signed / "src" / "TessalyCorvalo.exe").exists():
        failures.append("a wrong password did not fail the build, or left the unsigned program")
    configure(password)  # the next build signs again
    return failures


def check_installed():
    env = dict(os.environ)
    for line in (build / "wine" / "env").read_text().splitlines():
        name, _, value = line.removeprefix("export ").partition("=")
        env[name] = value.strip("'")
    env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"  # no shortcuts in the desktop menus of the machine
    folder = pathlib.Path(env["WINEPREFIX"]) / "drive_c" / "signed-test"
    setup = next(signed.glob("TessalyCorvalo-*-setup.exe"))
    installed = run("wine", setup, "/S", "/D=C:\\signed-test", env=env, timeout=120)
    failures = [] if installed.returncode == 0 else [f"the signed setup exited {installed.returncode}"]
    ok, said = verified(folder / "Uninstall.exe")
    if not ok:
        failures.append(f"the installed Uninstall.exe: {said}")
    run("wine", folder / "Uninstall.exe", "/S", "_?=C:\\signed-test", env=env, timeout=120)
    return failures


failures = check_build() if mode == "build" else check_installed()
for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
