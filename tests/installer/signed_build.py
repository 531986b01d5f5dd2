#!/usr/bin/env python3
"""A signed build beside the unsigned one, with a code-signing certificate made for the run.

usage: signed_build.py build BUILD SOURCE      sign, verify the program and the setup, the manifest, a wrong password
       signed_build.py installed BUILD SOURCE  verify the Uninstall.exe that the signed setup installs under Wine"""
import os
import pathlib
import re
import secrets
import subprocess
import sys

mode, build, source = sys.argv[1], *map(pathlib.Path, sys.argv[2:4])
signed = build.parent / f"{build.name}-signed"  # at the build's depth: a compiler cache then finds the same paths
keys, program = signed / "keys", signed / "src" / "TessalyCorvalo.exe"
failures = []


def run(*args, **options):
    result = subprocess.run(list(map(str, args)), capture_output=True, text=True, **options)
    return result.returncode, result.stdout + result.stderr


def verify(file):
    code, said = run("osslsigncode", "verify", "-CAfile", keys / "certificate.pem", "-in", file)
    site = re.search(r"^TC_WEB_SITE:\w+=(.*)$", (build / "CMakeCache.txt").read_text(), re.M)[1]
    wanted = ("Message digest algorithm  : SHA256", "Text description: Tessaly Corvalo", f"URL description: {site}")
    if code or not all(f"{line}\n" in said for line in wanted):
        failures.append(f"{file.name}: {said}")


def signed_build(password):
    launcher = re.findall(r"^(CMAKE_CXX_COMPILER_LAUNCHER:\w+=.+)$", (build / "CMakeCache.txt").read_text(), re.M)
    code, said = run("cmake", "--preset", "windows", "-B", signed, f"-DTC_SIGNING_CERTIFICATE={keys / 'signing.p12'}",
                     f"-DTC_SIGNING_PASSWORD_FILE={password}", *[f"-D{line}" for line in launcher], cwd=source)
    if code:
        return code, said
    return run("cmake", "--build", signed, "--target", "TessalyCorvalo", "installer", "-j", "1")


if mode == "build":
    keys.mkdir(parents=True, exist_ok=True)
    (keys / "password.txt").write_text(secrets.token_hex(16))
    (keys / "wrong.txt").write_text("not the password")
    run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Tessaly test signing",
        "-addext", "extendedKeyUsage=codeSigning", "-keyout", keys / "key.pem", "-out", keys / "certificate.pem")
    run("openssl", "pkcs12", "-export", "-inkey", keys / "key.pem", "-in", keys / "certificate.pem", "-passout",
        f"file:{keys / 'password.txt'}", "-out", keys / "signing.p12")
    code, said = signed_build(keys / "password.txt")
    if code:
        sys.exit(f"the signed build failed: {said[-3000:]}")
    verify(program)
    verify(next(signed.glob("TessalyCorvalo-*-setup.exe")))
    if run(sys.executable, source / "tests" / "installer" / "deployment_files.py", signed, source)[0]:
        failures.append("the winget manifest's hash is not the signed setup's")
    if not signed_build(keys / "wrong.txt")[0] or program.exists():
        failures.append("a wrong password did not fail the build, or left the program unsigned")
else:
    env = dict(os.environ)
    for line in (build / "wine" / "env").read_text().splitlines():
        name, _, value = line.removeprefix("export ").partition("=")
        env[name] = value.strip("'")
    env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"  # no shortcuts in this machine's desktop menus
    if run("wine", next(signed.glob("TessalyCorvalo-*-setup.exe")), "/S", "/D=C:\\signed", env=env, timeout=120)[0]:
        failures.append("the signed setup failed")
    verify(pathlib.Path(env["WINEPREFIX"]) / "drive_c" / "signed" / "Uninstall.exe")
    run("wine", "C:\\signed\\Uninstall.exe", "/S", "_?=C:\\signed", env=env, timeout=120)
for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
