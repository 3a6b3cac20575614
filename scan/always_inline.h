// TSM2OSTRA_ALWAYS_INLINE: for the few functions of the inner loops that must be inlined
// wherever they are called (not in a coverage build, which counts each of their branches once).
#ifndef TSM2OSTRA_SCAN_ALWAYS_INLINE_H_
#define TSM2OSTRA_SCAN_ALWAYS_INLINE_H_

#if defined(__GNUC__) && !defined(TSM2OSTRA_COVERAGE)
#define TSM2OSTRA_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define TSM2OSTRA_ALWAYS_INLINE inline
#endif

#endif  // TSM2OSTRA_SCAN_ALWAYS_INLINE_H_
