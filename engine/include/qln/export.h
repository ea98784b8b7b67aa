// QLN_EXPORT marks the names of qln's public interface. A shared build of the
// library hides every other name, so that only these are exported.
#ifndef QLN_EXPORT_H_
#define QLN_EXPORT_H_

#if defined(_WIN32) || defined(__CYGWIN__)
#define QLN_EXPORT
#else
#define QLN_EXPORT __attribute__((visibility("default")))
#endif

#endif  // QLN_EXPORT_H_
