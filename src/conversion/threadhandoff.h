// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt's thread pool and event queue pass objects between threads under their
// own locks. A thread checker cannot see those locks when Qt itself is not
// built for it, so the places that pass our objects say so explicitly.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLMERE_THREAD_CHECKS 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define QUILLMERE_THREAD_CHECKS 1
#endif

#ifdef QUILLMERE_THREAD_CHECKS
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
// Everything written before handOver(x) is visible after takeOver(x).
inline void handOver(const void *object) { __tsan_release(const_cast<void *>(object)); }
inline void takeOver(const void *object) { __tsan_acquire(const_cast<void *>(object)); }
#else
inline void handOver(const void *) {}
inline void takeOver(const void *) {}
#endif
