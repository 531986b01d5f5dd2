#!/usr/bin/env python3
"""The files an administrator deploys with: the winget manifest against the built setup, and the policy template
against the values the program reads.

usage: deployment_files.py BUILD_FOLDER SOURCE_FOLDER"""
import hashlib
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree

import yaml

build, source = map(pathlib.Path, sys.argv[1:3])
failures = []
version = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(\d+\.\d+\.\d+)", (build / "CMakeCache.txt").read_text(), re.M)[1]
setup = build / f"TessalyCorvalo-{version}-setup.exe"
digest = hashlib.sha256(setup.read_bytes()).hexdigest().upper()

manifests = {}
for kind, name in (("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")):
    manifests[kind] = yaml.safe_load((build / "winget" / f"Tessaly.Corvalo{name}.yaml").read_text("utf-8"))
    header = [manifests[kind].get(key) for key in ("PackageIdentifier", "PackageVersion", "ManifestType",
                                                   "ManifestVersion")]
    if header != ["Tessaly.Corvalo", version, kind, "1.6.0"]:
        failures.append(f"{kind} manifest: {header}")
installers = {entry.get("Scope"): entry for entry in manifests["installer"].get("Installers", [])}
if sorted(installers) != ["machine", "user"]:
    failures.append(f"installer scopes {sorted(installers)}")
for scope, entry in installers.items():
    switch = (entry.get("InstallerSwitches") or {}).get("Custom")
    shown = [entry.get("InstallerSha256"), entry.get("InstallerUrl", "").rpartition("/")[2], switch]
    if shown != [digest, setup.name, "/AllUsers" if scope == "machine" else None]:
        failures.append(f"{scope} installer: {shown}, the setup's SHA-256 is {digest}")

# Group Policy writes what the template names: a misspelt value, or a choice of a number the program does not know,
# would silently change nothing.
policies = (source / "src" / "catalogue" / "Policies.cpp").read_text()
key = re.search(r'kPoliciesPath\[\] = u"(.*)"', policies)[1].replace("\\\\", "\\")
admx_text = (source / "installer" / "policies" / "TessalyCorvalo.admx").read_text("utf-8")
defined = {}
for policy in ElementTree.fromstring(admx_text).iterfind(".//{*}policy"):
    # A policy is switched on and off, or one of its choices is written.
    choices = policy.find("{*}elements/{*}enum")
    name = policy.get("valueName") if choices is None else choices.get("valueName")
    values = policy if choices is None else choices
    defined[(policy.get("key"), name)] = sorted(int(d.get("value")) for d in values.iterfind(".//{*}decimal"))
header = (source / "src" / "catalogue" / "Policies.h").read_text()
choices = sorted(int(v) for v in
                 re.findall(r"= (\d+)", re.search(r"enum class FromTheInternet[^{]*\{([^}]*)\}", header)[1]))
read = {(key, name): choices if name == "FilesFromTheInternet" else [0, 1]
        for name in re.findall(r'PolicyValue\(machine, user, u"(\w+)"\)', policies)}
if defined != read:
    failures.append(f"the template defines {defined}, the program reads {read}")
# Group Policy refuses a template that names a text its language file lacks.
adml = (source / "installer" / "policies" / "en-US" / "TessalyCorvalo.adml").read_text("utf-8")
missing = [ref for _, ref in re.findall(r"\$\((string|presentation)\.(\w+)\)", admx_text) if f'id="{ref}"' not in adml]
if missing:
    failures.append(f"the template names texts the language file lacks: {missing}")

for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
