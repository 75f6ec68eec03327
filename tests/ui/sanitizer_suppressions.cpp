// Reports about the system's font and drawing libraries that are not faults of ours:
// fontconfig keeps its configuration and caches until the process ends, and Pango matches
// fonts on a helper thread of its own, handing the result over through GLib primitives that
// the uninstrumented libraries do not show to the thread checker.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libcairo.so\nrace:libpango\n";
}
