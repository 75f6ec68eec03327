// Linked into every test program that lays out or draws with the window library. Reports about
// the system's font and drawing libraries that are not faults of ours:
// - fontconfig keeps its configuration and pattern caches (shared with Pango's font map) until
//   the process ends;
// - Pango matches fonts on a helper thread of its own and hands the result over through GLib
//   primitives that the (uninstrumented) libraries do not show to the thread checker;
// - WebKit and its JavaScript engine run threads of their own (WTF::Thread) whose locks the
//   thread checker cannot see either, and keep their threads' allocations until the end;
// - glibc frees the dynamic thread-local storage of a finished detached thread (the support
//   library's per-thread result texts) when another thread reuses its cached stack, and the
//   thread checker does not see that the first thread had ended.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libjavascriptcoregtk\nleak:libwebkit2gtk\n";
}
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libcairo.so\nrace:libpango\n"
         "race:libjavascriptcoregtk\nrace:libwebkit2gtk\nrace:_dl_deallocate_tls\n";
}
