// Finds seeds whose tree goes deep, at 41 files per directory and unbounded levels; run by hand,
// never as a test. Prints, per depth from 1500 in steps of 100, the seed with the fewest entries
// whose tree reaches it.
//
// Scanning seed after seed walks huge trees again and again. Instead this walks the generator's
// whole cycle (2^32 draws) once, as one tree after another, and notes for every directory how
// deep the subtree below it goes: a directory's subtree takes exactly the draws of a root seeded
// with the state just before its entry count was drawn, so that state is a seed for it.
// Draws as the listing builder takes them with random-letter names (see tests/support/reference_model.h).
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Frame {
  int count, next;
  uint32_t seed;
  int64_t entriesAtStart;
  int height;
};

}  // namespace

int main() {
  constexpr int kFirst = 1500, kStep = 100, kSlots = 20;
  uint32_t state = 1;
  uint64_t draws = 0;
  auto next = [&] {
    state = state * 214013u + 2531011u;
    ++draws;
    return static_cast<int>((state >> 16) & 0x7FFF);
  };
  std::vector<Frame> stack;
  int64_t entries = 0;
  int64_t fewest[kSlots];
  uint32_t seedOf[kSlots] = {};
  for (int64_t& f : fewest) f = INT64_MAX;
  auto open = [&] {
    const uint32_t seed = state;
    stack.push_back({next() % 41, 0, seed, entries, 0});
  };
  while (draws < (1ull << 32)) {
    if (stack.empty()) {
      open();
      continue;
    }
    Frame& top = stack.back();
    if (top.next == top.count) {
      const Frame done = top;
      stack.pop_back();
      for (int slot = 0; slot < kSlots && kFirst + slot * kStep <= done.height; ++slot) {
        if (entries - done.entriesAtStart < fewest[slot]) {
          fewest[slot] = entries - done.entriesAtStart;
          seedOf[slot] = done.seed;
        }
      }
      if (!stack.empty() && stack.back().height < done.height + 1) {
        stack.back().height = done.height + 1;
      }
      continue;
    }
    ++top.next;
    ++entries;
    const int length = next() % 64;
    for (int i = 0; i < length; ++i) {
      if (next() % 6 != 1) next();
    }
    next();
    next();
    if (next() % 20 == 1) open();
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    if (fewest[slot] == INT64_MAX) break;
    std::printf("depth >= %d: seed %u, %lld entries\n", kFirst + slot * kStep, seedOf[slot],
                static_cast<long long>(fewest[slot]));
  }
}
