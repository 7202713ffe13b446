# Sourced by the benchmark scripts.
# cpu COMMAND...: CPU seconds (user + system, all threads) of a command, the best of five runs, from
# getrusage (finer than the shell's clock ticks).
cpu() {
    python3 - "$@" <<'PY'
import resource, subprocess, sys
best = None
for _ in range(5):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = t if best is None else min(best, t)
print(f"{best:.4f}")
PY
}
