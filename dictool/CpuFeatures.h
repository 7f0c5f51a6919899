// What the processor offers beyond the instructions the program is built
// for, looked up once.
#pragma once

namespace tavo {

// Whether the scans may use what the processor offers; tests turn it off to
// run the plain loops on a processor that has more. UI thread only.
inline bool& CpuFeaturesAllowed() {
  static bool allowed = true;
  return allowed;
}

#if defined(__x86_64__)
// Whether the processor has AVX2, for the byte scans that compare 32 bytes
// at a time where it is there.
inline bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has && CpuFeaturesAllowed();
}
#endif

}  // namespace tavo
