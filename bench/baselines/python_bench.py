"""Python baselines for `make bench`: prints one line of JSON with the times of each run
(milliseconds) and the peak resident memory that the work added (MiB).

    python_bench.py read <path> <runs> <repeat>
    python_bench.py launch <runs> <repeat> <program> [arguments...]
"""
import json
import resource
import subprocess
import sys
import time


def read(path):
    with open(path, newline='') as f:
        return f.read().replace('\r\n', '').replace('\n', '')


def launch(command):
    return subprocess.run(command, stdout=subprocess.PIPE, check=False).stdout.decode()


def resident_mib():
    with open('/proc/self/status') as status:
        for line in status:
            if line.startswith('VmRSS:'):
                return int(line.split()[1]) / 1024
    return 0


def main():
    start_rss = resident_mib()
    kind = sys.argv[1]
    if kind == 'read':
        path, runs, repeat = sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
        work = lambda: read(path)
    else:
        runs, repeat, command = int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
        work = lambda: launch(command)
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        for _ in range(repeat):
            result = work()
        times.append((time.perf_counter() - start) * 1000)
        del result
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024 - start_rss
    print(json.dumps({'times_ms': times, 'peak_mib': peak,
                      'version': 'Python ' + sys.version.split()[0]}))


main()
