// LinuxCompat: the Linux calls the runtime makes that emscripten's C
// library lacks or gets wrong: syscall(SYS_gettid) for the calling thread's
// id here (the library has gettid() itself); pthread_setname_np,
// sigaltstack and an _exit that works from any thread in LinuxCompat.cpp.
// Forced into the runtime's compile by platform/web/web.cmake, so that the
// runtime compiles for the browser as it is.
// Depends on: unistd.h.
#pragma once

#include <unistd.h>

#ifndef SYS_gettid
#define SYS_gettid 186  // Linux's number on x86-64; only the name matters here
#endif

// The calling thread's id for SYS_gettid, -1 for any other call.
inline long syscall(long number, ...) { return number == SYS_gettid ? static_cast<long>(gettid()) : -1; }
