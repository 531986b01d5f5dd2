#!/usr/bin/env python3
"""Runs one e2e scenario: the real program under Wine, acted on through the driver.

usage: e2e.py SCENARIO BUILD_FOLDER   (the Wine environment must have been started with tools/wine-env)
"""
import importlib
import pathlib
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import harness  # noqa: E402

for module in sorted(pathlib.Path(__file__).parent.glob("scenarios_*.py")):
    importlib.import_module(module.stem)


def main():
    name, build = sys.argv[1], sys.argv[2]
    wine = harness.Wine(build)
    try:
        harness.SCENARIOS[name](wine)
    except (harness.Failure, subprocess.TimeoutExpired) as failure:
        print(f"FAILED {name}: {failure}")
        return 1
    finally:
        wine.end_launches()
    print(f"passed {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
