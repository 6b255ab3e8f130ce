#!/usr/bin/env python3
"""Renders every scenario with the product's offline renderer and with the
independent Python model, and compares the two sample by sample.

Usage: compare.py PATH/TO/kestrum-render [SCENARIO.json ...]

Without scenario arguments, every scenarios/*.json next to this script is
used. Exit code 0 when all scenarios agree within the tolerance, 1 otherwise.
"""

import concurrent.futures
import glob
import os
import struct
import subprocess
import sys
import tempfile

TOLERANCE = 1e-14
HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = os.path.join(HERE, 'kestrum_reference.py')


def read_f64(path):
    with open(path, 'rb') as f:
        data = f.read()
    return struct.unpack('<%dd' % (len(data) // 8), data)


def run_both(command, scenario, workdir):
    base = os.path.splitext(os.path.basename(scenario))[0]
    product_out = os.path.join(workdir, base + '.product.f64')
    reference_out = os.path.join(workdir, base + '.reference.f64')
    product = subprocess.run(command + [scenario, product_out],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if product.returncode != 0:
        return 'renderer failed (%d): %s' % (
            product.returncode, product.stdout.decode(errors='replace').strip())
    reference = subprocess.run([sys.executable, REFERENCE, scenario, reference_out],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if reference.returncode != 0:
        return 'reference failed: ' + reference.stdout.decode(errors='replace').strip()
    return compare(read_f64(product_out), read_f64(reference_out))


def compare(product, reference):
    """Returns (None, max_diff) on agreement, else (description, max_diff)."""
    if len(product) != len(reference):
        return ('length differs: product %d values, reference %d values' % (
            len(product), len(reference))), float('inf')
    max_diff = 0.0
    first = None
    for k, (a, b) in enumerate(zip(product, reference)):
        diff = abs(a - b)
        if diff != diff:  # a not-a-number on either side
            diff = float('inf')
        if diff > max_diff:
            max_diff = diff
        if first is None and diff > TOLERANCE:
            first = k
    if first is None:
        return None, max_diff
    frame, channel = divmod(first, 2)
    return ('max |diff| %.3g, first difference at frame %d (%s): product %r, reference %r'
            % (max_diff, frame, 'L' if channel == 0 else 'R',
               product[first], reference[first])), max_diff


def main(argv):
    # --runner PROGRAM runs the renderer through another program, e.g. Wine for the
    # Windows build.
    runner = []
    if len(argv) >= 3 and argv[1] == '--runner':
        runner = [argv[2]]
        argv = argv[:1] + argv[3:]
    if len(argv) < 2:
        sys.stderr.write('usage: compare.py [--runner PROGRAM] RENDERER [SCENARIO.json ...]\n')
        return 2
    renderer = os.path.abspath(argv[1])
    if not os.access(renderer, os.X_OK):
        sys.stderr.write('renderer not found or not executable: %s\n' % renderer)
        return 2
    scenarios = argv[2:] or sorted(glob.glob(os.path.join(HERE, 'scenarios', '*.json')))
    if not scenarios:
        sys.stderr.write('no scenarios found\n')
        return 2
    failures = 0
    with tempfile.TemporaryDirectory() as workdir, \
            concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        results = pool.map(lambda s: run_both(runner + [renderer], s, workdir), scenarios)
        for scenario, result in zip(scenarios, results):
            name = os.path.basename(scenario)
            if isinstance(result, str):
                failures += 1
                print('FAIL %-40s %s' % (name, result))
                continue
            message, max_diff = result
            if message is None:
                print('ok   %-40s max |diff| %.3g' % (name, max_diff))
            else:
                failures += 1
                print('FAIL %-40s %s' % (name, message))
    print('%d of %d scenarios differ' % (failures, len(scenarios)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
