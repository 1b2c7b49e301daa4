# Where the start-up's time goes, from one start of the tool and one of
# Baseline.exe traced by Wine (+timestamp,+loaddll,+process,+file) while the
# e2e driver timed them: each step in ms from the moment the driver started
# that program. Tracing slows every step; the order and the gaps are what to
# read.
function ms(t) { return sprintf("%4d", (t - start[who]) * 1000 + 0.5) }
function step(name, t) { line[who] = line[who] sprintf("  %s %s", name, ms(t)) }
{
  split($0, f, ":")
  time = f[1]; thread = f[2]
}
/CreateProcessInternalW app L"(Baseline|VornOption)\.exe"/ {
  who = $0 ~ /Baseline/ ? "Baseline.exe" : "VornOption.exe"
  start[who] = time; pending = who
}
/CreateProcessInternalW app .*probe-direct3d/ { pending = "probe"; start["probe"] = time; probeStart = time }
/CreateProcessInternalW started process/ && pending != "" {
  sub(/.* tid /, ""); owner[$0] = pending
  if (pending == "probe") { who = "VornOption.exe"; step("probe started", probeStart) }
  pending = ""; next
}
/^start to dialog ready/ { ready = $0 }
{ who = owner[thread] }
who == "" { next }
/Loaded L.*\\(Baseline|VornOption)\.exe"/ { step("mapped", time) }
/Loaded L.*\\imm32\.dll"/ && !main[who]++ { step("main", time) }
/Loaded L.*\\comctl32\.dll"/ { step("common controls", time) }
/Loaded L.*\\d3d9\.dll"/ { step("d3d9.dll", time) }
/NtCreateFile .*rscdll\\\\VornOption/ && !library[who]++ { step("resource library", time) }
/trace:file:NtWriteFile/ && who == "probe" { step(writes++ ? "video memory" : "answered", time) }
END {
  for (w in line) printf "%-15s%s\n", w ":", line[w]
  if (ready != "") print ready
}
