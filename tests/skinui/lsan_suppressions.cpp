// Fontconfig keeps its configuration and pattern caches (shared with Pango's font map) until the
// process ends; the leak checker of sanitizer builds would report them as leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
