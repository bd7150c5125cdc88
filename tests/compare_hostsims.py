#!/usr/bin/env python3
"""Runs one scenario through the native hostsim and through the Windows
substitute host (under Wine) and checks that both saw the same commands and
texts and took the same world snapshots, and that the Windows run reported no error the native run did not.

usage: compare_hostsims.py NATIVE_HOSTSIM WIN32_HOSTSIM_EXE SCENARIO
"""
import json
import os
import subprocess
import sys
import tempfile


def run(command, trace_path):
    completed = subprocess.run(command + ["--trace", trace_path], capture_output=True, text=True)
    with open(trace_path, encoding="utf-8") as trace:
        records = [json.loads(line) for line in trace if line.strip()]
    return completed, records


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    native, win32, scenario = sys.argv[1:]
    if not os.access(native, os.X_OK):
        sys.exit(f"no native hostsim at {native}: build the native preset first")
    with tempfile.TemporaryDirectory() as folder:
        native_run, native_trace = run([native, scenario], os.path.join(folder, "native.jsonl"))
        win32_run, win32_trace = run(["wine", win32, scenario], os.path.join(folder, "win32.jsonl"))

    def seen(trace):
        return [record for record in trace if record["kind"] in ("cmd", "text", "world")]

    def errors(trace):
        return [record["what"] for record in trace if record["kind"] == "error"]

    failed = False
    native_seen, win32_seen = seen(native_trace), seen(win32_trace)
    for n, (a, b) in enumerate(zip(native_seen, win32_seen)):
        if a != b:
            print(f"record {n} differs:\n  native: {json.dumps(a)}\n  win32:  {json.dumps(b)}")
            failed = True
            break
    if not failed and len(native_seen) != len(win32_seen):
        print(f"native saw {len(native_seen)} commands, texts and snapshots, win32 {len(win32_seen)}")
        failed = True
    extra = [what for what in errors(win32_trace) if what not in errors(native_trace)]
    if extra:
        print("errors of the win32 run only:\n  " + "\n  ".join(extra))
        failed = True
    if win32_run.returncode != native_run.returncode:
        print(f"exit status: native {native_run.returncode}, win32 {win32_run.returncode}")
        print(win32_run.stderr, end="")
        failed = True
    if failed:
        sys.exit(1)
    print(f"{len(native_seen)} commands, texts and snapshots agree")


main()
