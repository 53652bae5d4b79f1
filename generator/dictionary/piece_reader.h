// Reads a dictionary file as text, cut into pieces, the same way on every build.
//
// The stream is opened in binary mode and the text-mode rules are applied here, so that Linux and
// Windows builds see the very same characters: a CR LF pair reads as one LF, a lone CR stays, and
// a byte 0x1A ends the text (nothing after it is read). A failed read ends the text too.
//
// A piece ends after a line feed, after its 511th character, or at the end of the text; a piece
// is never empty, and it may hold zero bytes. Stored line counts are counts of these pieces, so
// the cutting must never change.
#ifndef QUINDLE_GENERATOR_DICTIONARY_PIECE_READER_H
#define QUINDLE_GENERATOR_DICTIONARY_PIECE_READER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quindle {

constexpr int kPieceCapacity = 511;

// Small enough to live on the stack of a host that calls us on a small one.
constexpr size_t kPieceReaderBufferSize = 4096;

struct PieceReader {
  FILE* file;
  size_t next;
  size_t end;
  bool finished;
  unsigned char buffer[kPieceReaderBufferSize];
};

// Starts reading `file` from its current position; the caller keeps ownership of the stream.
void startPieceReader(PieceReader* reader, FILE* file);

// Reads the next piece into `piece` (room for kPieceCapacity + 1 characters), zero-terminates it
// and returns its length: 0 when no piece is left.
int readPiece(PieceReader* reader, char* piece);

// The number of pieces of `file` from its current position, saturating at INT32_MAX: the line
// count a dictionary is stored with.
int32_t countPieces(FILE* file);

}  // namespace quindle

#endif
