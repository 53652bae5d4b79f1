#include "reference_model.h"

#include <algorithm>

namespace quindle_test {
namespace {

const char kAlphabet[] = "qwertyuiopasdfghjklzxcvbnm1234567890";

std::string capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

std::string modelName(ModelRandom& random, const ModelSettings& settings, const ModelEncoding& encoding,
                      int32_t maxLen) {
  if (settings.lines && !settings.lines->empty() && settings.lineCount > 0) {
    return modelDictionaryName(random, *settings.lines, settings.lineCount, maxLen, encoding);
  }
  return modelLetterName(random, maxLen);
}

struct Walk {
  ModelRandom random;
  ModelSettings settings;
  ModelEncoding encoding;
  ModelListing listing;
};

void buildDirectory(Walk& walk, int depth) {
  const uint32_t r = static_cast<uint32_t>(walk.random.next());
  const uint32_t count = walk.settings.maxFiles == 0 ? 0 : r % walk.settings.maxFiles;
  walk.listing.tree += std::to_string(depth) + "|<" + std::to_string(count) + ">\n";
  walk.listing.deepestLevel = std::max(walk.listing.deepestLevel, depth);
  for (uint32_t i = 0; i < count; ++i) {
    const std::string name = modelName(walk.random, walk.settings, walk.encoding, 64);
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

// Bytes a UTF-8 character takes by its first byte, where that byte leads one; 1 otherwise.
size_t utf8Length(unsigned char first) {
  if (first >= 0xC0 && first <= 0xDF) return 2;
  if (first >= 0xE0 && first <= 0xEF) return 3;
  if (first >= 0xF0 && first <= 0xF7) return 4;
  return 1;
}

bool continues(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

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

uint32_t modelLineIndex(uint32_t r1, uint32_t r2, uint32_t r3, uint32_t drawnLines, uint32_t heldLines) {
  return ((((r3 << 15) | r2) << 15) | r1) % drawnLines % heldLines;
}


std::string modelCutWhole(const std::string& text, size_t cut, const ModelEncoding& encoding) {
  // Characters read from the start; the one that holds text[cut] goes with it.
  size_t at = 0;
  while (at < cut) {
    size_t length = 1;
    const unsigned char first = static_cast<unsigned char>(text[at]);
    if (encoding.kind == ModelEncoding::utf8) {
      length = utf8Length(first);
      for (size_t i = 1; i < length && at + i <= cut; ++i) {
        if (!continues(static_cast<unsigned char>(text[at + i]))) length = 1;
      }
    } else if (encoding.kind == ModelEncoding::doubleByte) {
      length = encoding.leadBytes.find(static_cast<char>(first)) != std::string::npos ? 2 : 1;
    }
    if (at + length > cut) return text.substr(0, at);
    at += length;
  }
  return text.substr(0, cut);
}


std::string modelDictionaryName(ModelRandom& random, const std::vector<std::string>& lines,
                                int32_t lineCount, int32_t maxLen, const ModelEncoding& encoding) {
  std::string name;
  for (;;) {
    const uint32_t r1 = static_cast<uint32_t>(random.next());
    const uint32_t r2 = static_cast<uint32_t>(random.next());
    const uint32_t r3 = static_cast<uint32_t>(random.next());
    const uint32_t index = modelLineIndex(r1, r2, r3, static_cast<uint32_t>(lineCount),
                                          static_cast<uint32_t>(lines.size()));
    name += lines[index] + " ";
    if (name.size() >= static_cast<size_t>(maxLen)) break;
    if (name.size() > 511) break;  // the buffer is full: only bounds above 512 get here
    if (random.next() % 2 == 0) break;
  }
  const size_t cut = std::min(static_cast<size_t>(maxLen - 1), size_t{511});
  if (name.size() > cut) name = modelCutWhole(name, cut, encoding);
  return capitalised(name);
}

std::vector<std::string> modelDictionaryPieces(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i) {
    const bool crBeforeLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    if (!crBeforeLf) text += bytes[i];
  }
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    piece += c;
    if (c == '\n' || piece.size() == 511) {
      pieces.push_back(piece);
      piece.clear();
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

std::vector<std::string> modelDictionaryLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (const std::string& piece : modelDictionaryPieces(bytes)) {
    std::string line = piece.substr(0, piece.find('\0'));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void addDirectoryToShape(TreeShape* shape, int depth, int32_t count) {
  ++shape->directories;
  shape->entries += count;
  shape->deepestLevel = std::max(shape->deepestLevel, depth);
  const uint64_t item = (static_cast<uint64_t>(depth) << 32) | static_cast<uint32_t>(count);
  shape->signature = (shape->signature ^ item) * 0x100000001B3ull;
}

TreeShape modelShape(uint32_t seed, uint32_t maxFiles, int32_t dirLevels) {
  ModelRandom random{seed};
  auto drawCount = [&] {
    const uint32_t r = static_cast<uint32_t>(random.next());
    return static_cast<int32_t>(maxFiles == 0 ? 0 : r % maxFiles);
  };
  struct Pending {
    int32_t left;
    int depth;
  };
  TreeShape shape;
  std::vector<Pending> stack;
  const int32_t rootCount = drawCount();
  addDirectoryToShape(&shape, 0, rootCount);
  stack.push_back({rootCount, 0});
  while (!stack.empty()) {
    if (stack.back().left == 0) {
      stack.pop_back();
      continue;
    }
    --stack.back().left;
    const int depth = stack.back().depth;
    const int length = random.next() % 64;  // the name: each character one draw, or two
    for (int i = 0; i < length; ++i) {
      if (random.next() % 6 != 1) random.next();
    }
    random.next();  // size
    random.next();  // value
    if (random.next() % 20 == 1 && depth < dirLevels) {
      const int32_t count = drawCount();
      addDirectoryToShape(&shape, depth + 1, count);
      stack.push_back({count, depth + 1});
    }
  }
  return shape;
}

ModelListing modelListing(uint32_t seed, const ModelSettings& settings, int32_t titleLen,
                          const ModelEncoding& encoding) {
  Walk walk{ModelRandom{seed}, settings, encoding, ModelListing()};
  buildDirectory(walk, 0);
  walk.listing.title = modelName(walk.random, walk.settings, walk.encoding, titleLen);
  return walk.listing;
}

}  // namespace quindle_test
