// The 300 size texts, "0KB" to "299KB", ready as whole 16-byte fields (zero-filled), so writing
// an entry's size is one 16-byte copy instead of formatting a number.
#ifndef QUINDLE_GENERATOR_DRAWS_SIZE_TEXTS_H
#define QUINDLE_GENERATOR_DRAWS_SIZE_TEXTS_H

#include "filter/filter_api.h"

namespace quindle {

constexpr int kSizeTextCount = 300;

struct SizeTextField {
  char text[FILE_ENTRY_SIZE_TEXT_SIZE];
};

struct SizeTextTable {
  SizeTextField sizes[kSizeTextCount];
  SizeTextField directory;  // "[dir]"
};

constexpr SizeTextTable makeSizeTextTable() {
  SizeTextTable table = {};
  for (int kilobytes = 0; kilobytes < kSizeTextCount; ++kilobytes) {
    char* text = table.sizes[kilobytes].text;
    int length = 0;
    if (kilobytes >= 100) text[length++] = static_cast<char>('0' + kilobytes / 100);
    if (kilobytes >= 10) text[length++] = static_cast<char>('0' + kilobytes / 10 % 10);
    text[length++] = static_cast<char>('0' + kilobytes % 10);
    text[length++] = 'K';
    text[length] = 'B';
  }
  const char directory[] = "[dir]";
  for (int i = 0; directory[i] != '\0'; ++i) table.directory.text[i] = directory[i];
  return table;
}

inline constexpr SizeTextTable kSizeTexts = makeSizeTextTable();

}  // namespace quindle

#endif
