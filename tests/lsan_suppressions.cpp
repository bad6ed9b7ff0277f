// Linked into the test programs of the sanitizer build. cairo's PDF surface keeps a few
// internal buffers of its font subsetting past the end of the program, which LeakSanitizer
// reports without a frame of ours (cairo has no frame pointers to walk).
extern "C" const char* __lsan_default_suppressions() { return "leak:libcairo.so\n"; }
