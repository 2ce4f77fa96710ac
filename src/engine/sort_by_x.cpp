#include "engine/sort_by_x.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <system_error>
#include <thread>
#include <utility>

namespace kinvalo {

namespace {

// The four arrays sorted together: X and the place in the input are the
// key, so that no two keys are equal and equal X stay in input order; Y
// and the serial number follow. Sorting them where they lie needs no copy
// of the data, and each pass of a partition runs along the arrays, which
// the memory keeps up with far better than with a permutation applied
// after a sort of keys.
class ParallelArrays {
 public:
  ParallelArrays(double* x, std::uint32_t* at, double* y, std::int32_t* serial)
      : x_(x), at_(at), y_(y), serial_(serial) {}

  void Sort(size_t n) {
    int depth = 0;
    for (size_t m = n; m > 1; m >>= 1) depth += 2;
    if (n < kTwoThreads) {
      Introsort(0, n, depth);
      return;
    }
    // One partition about the median of a sample of the keys, so that the
    // parts come out about equal, then each part on a thread of its own:
    // they touch different places of the arrays.
    SampleMedianToFront(n);
    const size_t middle = PartitionAboutFront(0, n);
    try {
      std::thread below([&] { Introsort(0, middle, depth); });
      Introsort(middle + 1, n, depth);
      below.join();
    } catch (const std::system_error&) {
      // No thread to be had: the lower part waits its turn.
      Introsort(middle + 1, n, depth);
      Introsort(0, middle, depth);
    }
  }

 private:
  // Below this many, insertion sort.
  static constexpr size_t kSmall = 24;
  // From this many on, two threads sort.
  static constexpr size_t kTwoThreads = 1 << 16;

  bool Less(size_t a, size_t b) const { return x_[a] < x_[b] || (x_[a] == x_[b] && at_[a] < at_[b]); }
  bool LessThanKey(size_t a, double x, std::uint32_t at) const {
    return x_[a] < x || (x_[a] == x && at_[a] < at);
  }
  bool KeyLessThan(double x, std::uint32_t at, size_t b) const {
    return x < x_[b] || (x == x_[b] && at < at_[b]);
  }
  void Swap(size_t a, size_t b) {
    std::swap(x_[a], x_[b]);
    std::swap(at_[a], at_[b]);
    std::swap(y_[a], y_[b]);
    if (serial_ != nullptr) std::swap(serial_[a], serial_[b]);
  }
  void Move(size_t to, size_t from) {
    x_[to] = x_[from];
    at_[to] = at_[from];
    y_[to] = y_[from];
    if (serial_ != nullptr) serial_[to] = serial_[from];
  }

  void InsertionSort(size_t lo, size_t hi) {
    for (size_t i = lo + 1; i < hi; ++i) {
      if (!Less(i, i - 1)) continue;
      const double x = x_[i], y = y_[i];
      const std::uint32_t at = at_[i];
      const std::int32_t serial = serial_ != nullptr ? serial_[i] : 0;
      size_t j = i;
      for (; j > lo && KeyLessThan(x, at, j - 1); --j) Move(j, j - 1);
      x_[j] = x;
      at_[j] = at;
      y_[j] = y;
      if (serial_ != nullptr) serial_[j] = serial;
    }
  }

  void SiftDown(size_t lo, size_t i, size_t n) {
    for (;;) {
      size_t child = 2 * i + 1;
      if (child >= n) return;
      if (child + 1 < n && Less(lo + child, lo + child + 1)) ++child;
      if (!Less(lo + i, lo + child)) return;
      Swap(lo + i, lo + child);
      i = child;
    }
  }

  // The guard against a quadratic run of bad pivots.
  void HeapSort(size_t lo, size_t hi) {
    const size_t n = hi - lo;
    for (size_t i = n / 2; i-- > 0;) SiftDown(lo, i, n);
    for (size_t end = n; end-- > 1;) {
      Swap(lo, lo + end);
      SiftDown(lo, 0, end);
    }
  }

  // Puts the median of a, b and c at `lo`.
  void MedianToFront(size_t lo, size_t a, size_t b, size_t c) {
    if (Less(b, a)) std::swap(a, b);
    if (Less(c, b)) {
      std::swap(b, c);
      if (Less(b, a)) std::swap(a, b);
    }
    Swap(lo, b);
  }

  // Puts the median of 255 keys spread evenly over [0, n) at the front.
  void SampleMedianToFront(size_t n) {
    constexpr size_t kSample = 255;
    struct Drawn {
      double x;
      std::uint32_t at;
      size_t place;
    };
    std::array<Drawn, kSample> drawn{};
    for (size_t k = 0; k < kSample; ++k) {
      const size_t place = k * (n - 1) / (kSample - 1);
      drawn[k] = {x_[place], at_[place], place};
    }
    auto middle = drawn.begin() + kSample / 2;
    std::nth_element(drawn.begin(), middle, drawn.end(), [](const Drawn& a, const Drawn& b) {
      return a.x < b.x || (a.x == b.x && a.at < b.at);
    });
    Swap(0, middle->place);
  }

  // Splits [lo, hi), more than kSmall long, about the median of three:
  // what is less than it comes before the place returned, where it lies,
  // the rest after.
  size_t Partition(size_t lo, size_t hi) {
    MedianToFront(lo, lo + 1, lo + (hi - lo) / 2, hi - 1);
    return PartitionAboutFront(lo, hi);
  }

  // The same about the key at lo.
  size_t PartitionAboutFront(size_t lo, size_t hi) {
    // The pivot's key is unique, and lies at lo: both scans stop at it or
    // before the ends.
    const double px = x_[lo];
    const std::uint32_t pat = at_[lo];
    size_t i = lo + 1, j = hi - 1;
    for (;;) {
      while (LessThanKey(i, px, pat)) ++i;
      while (KeyLessThan(px, pat, j)) --j;
      if (i >= j) break;
      Swap(i, j);
      ++i;
      --j;
    }
    Swap(lo, j);
    return j;
  }

  void Introsort(size_t lo, size_t hi, int depth) {
    while (hi - lo > kSmall) {
      if (depth-- == 0) {
        HeapSort(lo, hi);
        return;
      }
      const size_t j = Partition(lo, hi);
      // The smaller part first, so that the stack stays shallow.
      if (j - lo < hi - j - 1) {
        Introsort(lo, j, depth);
        lo = j + 1;
      } else {
        Introsort(j + 1, hi, depth);
        hi = j;
      }
    }
    InsertionSort(lo, hi);
  }

  double* x_;
  std::uint32_t* at_;
  double* y_;
  std::int32_t* serial_;
};

}  // namespace

void SortByX(std::vector<double>& x, std::vector<double>& y, std::vector<std::int32_t>& serial) {
  const size_t n = x.size();
  const bool withSerial = serial.size() >= n;
  if (std::any_of(x.begin(), x.end(), [](double v) { return std::isnan(v); })) {
    std::vector<std::int32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) { return x[a] < x[b]; });
    auto permute = [&](auto& array) {
      if (array.size() < n) return;
      auto copy = array;
      for (size_t i = 0; i < n; ++i) array[i] = copy[static_cast<size_t>(order[i])];
    };
    permute(x);
    permute(y);
    permute(serial);
    return;
  }
  if (std::is_sorted(x.begin(), x.end())) return;
  std::vector<std::uint32_t> at(n);
  std::iota(at.begin(), at.end(), 0U);
  ParallelArrays(x.data(), at.data(), y.data(), withSerial ? serial.data() : nullptr).Sort(n);
}

}  // namespace kinvalo
