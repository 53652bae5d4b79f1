#include "reference_model.h"

#include <algorithm>

namespace quindle_test {
namespace {

const char kAlphabet[] = "qwertyuiopasdfghjklzxcvbnm1234567890";

std::string capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

struct Walk {
  ModelRandom random;
  ModelSettings settings;
  ModelListing listing;
};

void buildDirectory(Walk& walk, int depth) {
  const uint32_t r = static_cast<uint32_t>(walk.random.next());
  const uint32_t count = walk.settings.maxFiles == 0 ? 0 : r % walk.settings.maxFiles;
  walk.listing.tree += std::to_string(depth) + "|<" + std::to_string(count) + ">\n";
  walk.listing.deepestLevel = std::max(walk.listing.deepestLevel, depth);
  for (uint32_t i = 0; i < count; ++i) {
    const std::string name = modelLetterName(walk.random, 64);
    std::string size = std::to_string(walk.random.next() % 300) + "KB";
    const int value = walk.random.next();
    const bool directory = walk.random.next() % 20 == 1 && depth < walk.settings.dirLevels;
    if (directory) size = "[dir]";
    walk.listing.tree += std::to_string(depth) + "|" + name + "|" + size + "|" +
                         std::to_string(value) + "|" + (directory ? "d" : "f") + "\n";
    ++walk.listing.entries;
    if (directory) buildDirectory(walk, depth + 1);
  }
}

}  // namespace

std::string modelLetterName(ModelRandom& random, int32_t maxLen) {
  const int length = random.next() % maxLen;
  std::string name;
  for (int i = 0; i < length; ++i) {
    if (random.next() % 6 == 1) {
      name += ' ';
    } else {
      name += kAlphabet[random.next() % 36];
    }
  }
  if (name.size() > 511) name.resize(511);
  return capitalised(name);
}

ModelListing modelListing(uint32_t seed, const ModelSettings& settings, int32_t titleLen) {
  Walk walk{ModelRandom{seed}, settings, ModelListing()};
  buildDirectory(walk, 0);
  walk.listing.title = modelLetterName(walk.random, titleLen);
  return walk.listing;
}

}  // namespace quindle_test
