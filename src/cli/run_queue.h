#pragma once
// Several runs side by side, their results handed on in the order given.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kinvalo {

// Calls run(i) for every i < keys.size() on up to `threads` threads, and
// deliver(i) on the calling thread in the order of i, each as soon as
// run(i) and all runs before it have finished. Runs of the same key never
// overlap: they run one after another, in their order. With one thread
// every run is delivered before the next starts. An exception thrown by
// run(i) is thrown again in place of deliver(i).
void RunInOrder(const std::vector<std::string>& keys, int threads,
                const std::function<void(std::size_t)>& run, const std::function<void(std::size_t)>& deliver);

}  // namespace kinvalo
