// Node baselines for `make bench`: prints one line of JSON with the times of each run
// (milliseconds) and the peak resident memory that the work added (MiB).
//   node_bench.js read <path> <runs> <repeat>
//   node_bench.js launch <runs> <repeat> <program> [arguments...]
const fs = require('fs');
const { execFileSync } = require('child_process');

const startRss = process.memoryUsage().rss / 1048576;
const [kind, ...args] = process.argv.slice(2);
let work, runs, repeat;
if (kind === 'read') {
    const path = args[0];
    [runs, repeat] = [Number(args[1]), Number(args[2])];
    work = () => fs.readFileSync(path, 'utf8').replace(/\r?\n/g, '');
} else {
    [runs, repeat] = [Number(args[0]), Number(args[1])];
    const [program, ...rest] = args.slice(2);
    work = () => execFileSync(program, rest, { encoding: 'utf8', maxBuffer: Infinity });
}
const times = [];
for (let r = 0; r < runs; ++r) {
    const start = process.hrtime.bigint();
    let result;
    for (let i = 0; i < repeat; ++i)
        result = work();
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
}
const peak = process.resourceUsage().maxRSS / 1024 - startRss;
console.log(JSON.stringify({ times_ms: times, peak_mib: peak, version: 'Node ' + process.version }));
