#pragma once
// Ends the test process when a step it guards has not come back in time, or when the process grows
// past a memory bound meanwhile: a hang or a runaway becomes a failure with a message instead of a
// stuck or killed test run.

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

// The sanitizers' unoptimised builds run some ten times slower, with about three times the memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr long kTimeScale = 10;
inline constexpr long kMemoryScale = 3;
#else
inline constexpr long kTimeScale = 1;
inline constexpr long kMemoryScale = 1;
#endif

class CWatchdog {
 public:
  // The limits hold for an optimised build; under the sanitizers they are scaled.
  CWatchdog(std::string what, std::chrono::seconds optimisedLimit, long optimisedMemoryMegabytes = 0)
      : guard([this, what = std::move(what), limit = optimisedLimit * kTimeScale,
               memoryLimitMegabytes = optimisedMemoryMegabytes * kMemoryScale] {
          const auto deadline = std::chrono::steady_clock::now() + limit;
          std::unique_lock lock(mutex);
          while (!finished) {
            if (memoryLimitMegabytes > 0 && ResidentMegabytes() > memoryLimitMegabytes)
              Fail(what, "grew past " + std::to_string(memoryLimitMegabytes) + " MB");
            if (std::chrono::steady_clock::now() > deadline)
              Fail(what, "did not end within " + std::to_string(limit.count()) + " s");
            done.wait_for(lock, std::chrono::milliseconds(20));
          }
        }) {}
  ~CWatchdog() {
    {
      std::lock_guard lock(mutex);
      finished = true;
    }
    done.notify_one();
    guard.join();
  }
  CWatchdog(const CWatchdog&) = delete;
  CWatchdog& operator=(const CWatchdog&) = delete;

  static long ResidentMegabytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE) / (1 << 20);
  }

 private:
  [[noreturn]] static void Fail(const std::string& what, const std::string& how) {
    std::fprintf(stderr, "watchdog: %s %s\n", what.c_str(), how.c_str());
    std::_Exit(99);
  }

  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::thread guard;
};
