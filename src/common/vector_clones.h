#pragma once
// Functions marked TERRAK_VECTOR_CLONES are built for the machine's wider vectors where it has
// them, and for every x86-64 machine; the loader picks one when the program starts. Not under
// the thread sanitizer, whose checks would run in the picker before the sanitizer is set up.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__)
#define TERRAK_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TERRAK_VECTOR_CLONES
#endif
