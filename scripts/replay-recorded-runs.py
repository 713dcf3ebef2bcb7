#!/usr/bin/env python3
"""Replays the recorded runs through a quantem-fit program (an installed one, say) and compares
them to the byte, as tests/cli/RecordedRunsTest.cpp does in process: the exit status, the main
window's fields (status panels 4 to 7 only: 1 to 3 hold the date, the time and notices), the
message windows, and every scratch file written.

    replay-recorded-runs.py QUANTEM_FIT CASES.jsonl

Without the recordings it says where it looked and succeeds, so a clone on its own passes."""
import json
import pathlib
import subprocess
import sys
import tempfile


def form_difference(recorded, actual):
    for key, value in recorded.items():
        if key not in actual:
            return f"{key} missing"
        if key == "StatusBar1":
            if actual[key][3:] != value[3:]:
                return f"StatusBar1 panels 4-7: {value[3:]} recorded, {actual[key][3:]}"
        elif actual[key] != value:
            return f"{key}: {value!r} recorded, {actual[key]!r}"
    return ""


def dialog_difference(recorded, actual):
    if len(recorded) != len(actual):
        return f"dialogs: {recorded} recorded, {actual}"
    for number, (want, got) in enumerate(zip(recorded, actual), 1):
        for key, value in want.items():
            if got.get(key) != value:
                return f"dialog {number} {key}: {value!r} recorded, {got}"
    return ""


def replay(program, case):
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        (root / "sys").mkdir()
        for relative, text in case["before"].items():
            (root / relative).write_bytes(text.encode())
        ran = subprocess.run([program, "--root", str(root), "--json", *case["args"]],
                             capture_output=True, env={"HOME": folder}, check=False)
        if ran.returncode != case["exit"]:
            return f"exit {ran.returncode}, recorded {case['exit']}; stderr: {ran.stderr!r}"
        runs = json.loads(ran.stdout)["runs"]
        if len(runs) != len(case["output"]["runs"]):
            return "run count differs"
        for number, (want, got) in enumerate(zip(case["output"]["runs"], runs), 1):
            difference = (form_difference(want["Form1"], got["Form1"])
                          or dialog_difference(want["dialogs"], got["dialogs"]))
            if difference:
                return f"run {number}: {difference}"
        written = {f"sys/{path.name}": path.read_bytes() for path in (root / "sys").iterdir()}
        for relative, text in case["after"].items():
            if relative not in written:
                return f"{relative} missing"
            if written[relative] != text.encode():
                return f"{relative}: {text!r} recorded, {written[relative]!r}"
        extra = sorted(set(written) - set(case["after"]))
        return f"{extra[0]} written, not in the recording" if extra else ""


def main():
    program, cases = sys.argv[1], pathlib.Path(sys.argv[2])
    if not cases.exists():
        print(f"no recorded runs at {cases}: skipped")
        return 0
    failed = 0
    lines = [line for line in cases.read_text(encoding="utf-8").splitlines() if line]
    for line in lines:
        case = json.loads(line)
        difference = replay(program, case)
        if difference:
            failed += 1
            print(f"{case['name']} ({case['kind']}, {case['args']}): {difference}")
    print(f"{len(lines) - failed} of {len(lines)} recorded runs agree to the byte")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
