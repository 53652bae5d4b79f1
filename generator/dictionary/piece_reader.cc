#include "generator/dictionary/piece_reader.h"

namespace quindle {
namespace {

constexpr int kEndOfText = -1;
constexpr unsigned char kEndOfFileMark = 0x1A;

bool refill(PieceReader* reader) {
  if (reader->finished) return false;
  reader->next = 0;
  reader->end = std::fread(reader->buffer, 1, sizeof reader->buffer, reader->file);
  if (reader->end == 0) reader->finished = true;
  return reader->end > 0;
}

// The next raw byte, without consuming it; the end mark reads as the end of the text and stays
// unconsumed, so every later look sees the end as well.
int peekByte(PieceReader* reader) {
  if (reader->next == reader->end && !refill(reader)) return kEndOfText;
  const unsigned char byte = reader->buffer[reader->next];
  if (byte == kEndOfFileMark) {
    reader->finished = true;
    reader->end = reader->next;
    return kEndOfText;
  }
  return byte;
}

int nextCharacter(PieceReader* reader) {
  const int byte = peekByte(reader);
  if (byte == kEndOfText) return kEndOfText;
  ++reader->next;
  if (byte == '\r' && peekByte(reader) == '\n') {
    ++reader->next;
    return '\n';
  }
  return byte;
}

}  // namespace

void startPieceReader(PieceReader* reader, FILE* file) {
  reader->file = file;
  reader->next = 0;
  reader->end = 0;
  reader->finished = file == nullptr;
}

int readPiece(PieceReader* reader, char* piece) {
  int length = 0;
  while (length < kPieceCapacity) {
    const int c = nextCharacter(reader);
    if (c == kEndOfText) break;
    piece[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  piece[length] = '\0';
  return length;
}

int32_t countPieces(FILE* file) {
  PieceReader reader;
  startPieceReader(&reader, file);
  char piece[kPieceCapacity + 1];
  int32_t count = 0;
  while (count < INT32_MAX && readPiece(&reader, piece) > 0) ++count;
  return count;
}

}  // namespace quindle
