// The CPU time the calling thread has used: what the in-process benchmarks
// count, since other processes on a busy machine do not inflate it.
#ifndef ZEBEVI_BENCH_THREAD_TIME_H_
#define ZEBEVI_BENCH_THREAD_TIME_H_

#include <time.h>

#include <chrono>

namespace zebevi::bench {

inline std::chrono::nanoseconds ThreadTime() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_THREAD_TIME_H_
