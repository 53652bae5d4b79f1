#include "generator/dictionary/word_table.h"

#include <cstring>

#include "generator/dictionary/piece_reader.h"

namespace quindle {
namespace {

// A block that doubles as it fills, so loading stays linear in the file's size.
struct GrowingBlock {
  void* data;
  size_t capacity;  // in elements
};

bool reserve(ModuleHeap& heap, GrowingBlock* block, size_t needed, size_t elementSize) {
  if (needed <= block->capacity) return true;
  size_t grown = block->capacity ? block->capacity : 1024;
  while (grown < needed) {
    if (grown > SIZE_MAX / 2 / elementSize) return false;
    grown *= 2;
  }
  void* data = heapResize(heap, block->data, grown * elementSize);
  if (!data) return false;
  block->data = data;
  block->capacity = grown;
  return true;
}

// Gives back the unused tail; keeping the larger block is fine if that fails.
void* shrunk(ModuleHeap& heap, void* data, size_t bytes) {
  void* smaller = heapResize(heap, data, bytes);
  return smaller ? smaller : data;
}

void fillSlot(LineSlot* slot, const char* line, uint32_t length, uint64_t longOffset) {
  std::memset(slot->bytes, 0, sizeof slot->bytes);
  if (length <= static_cast<uint32_t>(kSlotChars)) {
    slot->bytes[0] = static_cast<char>(length);
    std::memcpy(slot->bytes + 1, line, length);
  } else {
    slot->bytes[0] = static_cast<char>(kLongLine);
    std::memcpy(slot->bytes + 4, &length, sizeof length);
    std::memcpy(slot->bytes + 8, &longOffset, sizeof longOffset);
  }
}

}  // namespace

bool readWordTable(FILE* file, int32_t maxLines, ModuleHeap& heap, WordTable* table) {
  *table = {nullptr, nullptr, 0};
  PieceReader reader;
  startPieceReader(&reader, file);
  char piece[kPieceCapacity + 1];
  GrowingBlock slots = {nullptr, 0};
  GrowingBlock longText = {nullptr, 0};
  size_t longUsed = 0;
  int32_t lines = 0;
  bool outOfMemory = false;
  while (lines < maxLines) {
    const int pieceLength = readPiece(&reader, piece);
    if (pieceLength == 0) break;
    size_t lineLength = strnlen(piece, static_cast<size_t>(pieceLength));
    if (lineLength > 0 && piece[lineLength - 1] == '\n') --lineLength;
    const bool isLong = lineLength > static_cast<size_t>(kSlotChars);
    if (!reserve(heap, &slots, static_cast<size_t>(lines) + 1, sizeof(LineSlot)) ||
        (isLong && !reserve(heap, &longText, longUsed + lineLength + 1, 1))) {
      outOfMemory = true;
      break;
    }
    if (isLong) {
      char* longData = static_cast<char*>(longText.data);
      std::memcpy(longData + longUsed, piece, lineLength);
      longData[longUsed + lineLength] = '\0';
    }
    fillSlot(static_cast<LineSlot*>(slots.data) + lines++, piece, static_cast<uint32_t>(lineLength), longUsed);
    if (isLong) longUsed += lineLength + 1;
  }
  if (outOfMemory || lines == 0) {
    heapFree(slots.data);
    heapFree(longText.data);
    return false;
  }
  table->slots = static_cast<LineSlot*>(shrunk(heap, slots.data, static_cast<size_t>(lines) * sizeof(LineSlot)));
  table->longText = longText.data ? static_cast<char*>(shrunk(heap, longText.data, longUsed)) : nullptr;
  table->lineCount = lines;
  return true;
}

void freeWordTable(WordTable* table) {
  heapFree(table->slots);
  heapFree(table->longText);
  *table = {nullptr, nullptr, 0};
}

const char* wordTableLine(const WordTable& table, uint32_t index) {
  return lineText(table, table.slots[index % static_cast<uint32_t>(table.lineCount)]);
}

}  // namespace quindle
