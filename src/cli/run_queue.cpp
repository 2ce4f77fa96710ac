#include "cli/run_queue.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace kinvalo {

void RunInOrder(const std::vector<std::string>& keys, int threads,
                const std::function<void(std::size_t)>& run,
                const std::function<void(std::size_t)>& deliver) {
  const std::size_t count = keys.size();
  if (threads <= 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      run(i);
      deliver(i);
    }
    return;
  }
  // The runs of one key form a group that one thread works through; the
  // groups are taken in the order of their first run.
  std::vector<std::vector<std::size_t>> groups;
  std::map<std::string, std::size_t> groupOf;
  for (std::size_t i = 0; i < count; ++i) {
    const auto [at, added] = groupOf.emplace(keys[i], groups.size());
    if (added) groups.emplace_back();
    groups[at->second].push_back(i);
  }

  std::mutex mutex;
  std::condition_variable finished;
  std::vector<bool> done(count, false);
  std::vector<std::exception_ptr> failures(count);
  std::atomic<std::size_t> nextGroup{0};
  auto work = [&] {
    for (std::size_t g = nextGroup++; g < groups.size(); g = nextGroup++) {
      for (std::size_t i : groups[g]) {
        std::exception_ptr failure;
        try {
          run(i);
        } catch (...) {
          failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(mutex);
        failures[i] = failure;
        done[i] = true;
        finished.notify_all();
      }
    }
  };
  std::vector<std::jthread> workers;
  const std::size_t started = std::min(static_cast<std::size_t>(threads), groups.size());
  for (std::size_t t = 0; t < started; ++t) workers.emplace_back(work);
  for (std::size_t i = 0; i < count; ++i) {
    std::exception_ptr failure;
    {
      std::unique_lock<std::mutex> lock(mutex);
      finished.wait(lock, [&] { return done[i]; });
      failure = failures[i];
    }
    if (failure) std::rethrow_exception(failure);
    deliver(i);
  }
}

}  // namespace kinvalo
