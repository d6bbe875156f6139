// Run-time defaults of the sanitizer build, linked into the program and the
// tests only when QUARNEL_SANITIZE is on. The environment's ASAN_OPTIONS,
// UBSAN_OPTIONS and LSAN_OPTIONS still override them.

extern "C" {

const char* __asan_default_options() { return "detect_stack_use_after_return=1"; }

const char* __ubsan_default_options() { return "print_stacktrace=1"; }

// Leaks of the system libraries that no code of ours can free.
const char* __lsan_default_options() { return "suppressions=" QUARNEL_LSAN_SUPPRESSIONS; }

}
