// Sanitizer settings of every program that may open a graphics device: the
// runner and the test binaries, in sanitizer builds only. The software
// rasterizer that serves headless runs compiles shaders with a code generator
// that allocates some buffers with operator new and frees them with free(),
// and keeps a few allocations for the life of the process; neither is ours,
// and neither should fail the sanitizer pass. Our own allocations are still
// checked for leaks, overflows and use after free.
#include <dlfcn.h>
#include <link.h>

#include <climits>
#include <string>

// The libraries stay loaded to the end of the process, so that the leak
// report at exit can still name them (and the suppressions below match).
// The rasterizer lives in the dri folder beside the EGL library.
namespace {
const bool g_pinned = [] {
  void* egl = dlopen("libEGL_mesa.so.0", RTLD_LAZY | RTLD_NODELETE);
  char folder[PATH_MAX] = {};
  if (egl && dlinfo(egl, RTLD_DI_ORIGIN, folder) == 0)
    dlopen((std::string(folder) + "/dri/swrast_dri.so").c_str(), RTLD_LAZY | RTLD_NODELETE);
  return true;
}();
}  // namespace

// The leak check does not follow the thread-local blocks that libraries
// loaded at run time (the GL driver and its code generator) get on first
// use: this compiler's runtime guesses such a block's bounds from the
// memory just before it, and now and then reads a bogus range there and
// faults while scanning at exit. Our own thread-local data is in the
// program's static block, which is still scanned; what the driver keeps in
// its own blocks is suppressed below anyway.
extern "C" const char* __asan_default_options() { return "alloc_dealloc_mismatch=0:intercept_tls_get_addr=0"; }

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libLLVM\n"
         "leak:swrast_dri\n"
         "leak:libEGL_mesa\n"
         "leak:libgallium\n"
         "leak:libglapi\n"
         // The audio mixer and the synthesiser (with the glib it starts) keep
         // a few allocations for the life of the process.
         "leak:libopenal\n"
         "leak:libfluidsynth\n"
         "leak:libglib-2.0\n";
}
