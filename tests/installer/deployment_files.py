#!/usr/bin/env python3
"""The files an administrator deploys with: the winget manifest against the built setup, and the policy templates
and default associations against what the program reads and registers.

usage: deployment_files.py BUILD_FOLDER SOURCE_FOLDER"""
import hashlib
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree

import yaml

build, source = map(pathlib.Path, sys.argv[1:3])
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


version = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(\d+\.\d+\.\d+)", (build / "CMakeCache.txt").read_text(), re.M)[1]
setup = build / f"TessalyCorvalo-{version}-setup.exe"
digest = hashlib.sha256(setup.read_bytes()).hexdigest().upper()

manifests = {}
for kind, name in (("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")):
    manifests[kind] = manifest = yaml.safe_load((build / "winget" / f"Tessaly.Corvalo{name}.yaml").read_text("utf-8"))
    header = [manifest.get(key) for key in ("PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion")]
    check(header == ["Tessaly.Corvalo", version, kind, "1.6.0"], f"{kind} manifest: {header}")
installer = manifests["installer"]
check(installer.get("InstallerType") == "nullsoft" and installer.get("ProductCode") == "Tessaly Corvalo",
      f"installer type and product code: {installer}")
modes = {entry.get("Scope"): entry for entry in installer.get("Installers", [])}
check(sorted(modes) == ["machine", "user"], f"installer scopes {sorted(modes)}")
for scope, entry in modes.items():
    check(entry.get("Architecture") == "x64", f"{scope}: architecture {entry.get('Architecture')}")
    check(entry.get("InstallerSha256") == digest, f"{scope}: SHA-256 {entry.get('InstallerSha256')}, setup {digest}")
    check(str(entry.get("InstallerUrl")).endswith("/" + setup.name), f"{scope}: address {entry.get('InstallerUrl')}")
    switch = (entry.get("InstallerSwitches") or {}).get("Custom")
    check(switch == ("/AllUsers" if scope == "machine" else None), f"{scope}: custom switch {switch}")
locale = manifests["defaultLocale"]
for field in ("Publisher", "PackageName", "License", "ShortDescription"):
    check(locale.get(field), f"the default locale has no {field}")

# Group Policy writes what the templates name: the key and values the program reads, with every text present.
policies = (source / "src" / "catalogue" / "Policies.cpp").read_text()
key = re.search(r'kPoliciesPath\[\] = u"(.*)"', policies)[1].replace("\\\\", "\\")
names = set(re.findall(r'u"(Disable\w+)"', policies))
ns = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
admx = ElementTree.parse(source / "installer" / "policies" / "TessalyCorvalo.admx")
adml = ElementTree.parse(source / "installer" / "policies" / "en-US" / "TessalyCorvalo.adml")
texts = {string.get("id") for string in adml.iterfind(".//p:string", ns)}
defined = {policy.get("valueName"): policy.get("key") for policy in admx.iterfind(".//p:policy", ns)}
check(defined == {name: key for name in names}, f"the templates define {defined}, the program reads {names} at {key}")
for used in re.findall(r"\$\(string\.(\w+)\)", (source / "installer" / "policies" / "TessalyCorvalo.admx").read_text()):
    check(used in texts, f"the ADML has no text {used}")

# The default associations name the ProgIDs the program registers.
registration = (source / "src" / "ui" / "FileAssociations.cpp").read_text()
registered = dict(re.findall(r'\{u"(\.ja[dr])", u"(Tessaly-Corvalo\.ja[dr])"', registration))
associations = ElementTree.parse(source / "installer" / "DefaultAssociations.xml").getroot()
named = {a.get("Identifier"): a.get("ProgId") for a in associations if a.get("ApplicationName") == "Tessaly Corvalo"}
check(named == registered and len(named) == 2, f"default associations {named}, registered {registered}")

for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
