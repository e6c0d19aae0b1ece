#pragma once
// Ends the test process when a step it guards has not come back in time: a hang becomes a failure
// with a message instead of a stuck test run.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class CWatchdog {
 public:
  CWatchdog(std::string what, std::chrono::seconds limit)
      : guard([this, what = std::move(what), limit] {
          std::unique_lock lock(mutex);
          if (!done.wait_for(lock, limit, [this] { return finished; })) {
            std::fprintf(stderr, "watchdog: %s did not end within %lld s\n", what.c_str(),
                         static_cast<long long>(limit.count()));
            std::_Exit(99);
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

 private:
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::thread guard;
};
