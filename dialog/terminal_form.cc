#include "dialog/terminal_form.h"

#include <cstring>

#include "dialog/dialog_rules.h"
#include "dialog/settings_dialog.h"

namespace quindle {
namespace {

constexpr size_t kAnswerSize = 1024;

// Reads one answer without its line end; false at the end of input. A longer line is consumed
// whole and comes back cut, which no field accepts as anything but what it reads.
bool readAnswer(std::FILE* in, char (&answer)[kAnswerSize]) {
  if (!std::fgets(answer, sizeof answer, in)) return false;
  const size_t length = std::strlen(answer);
  if (length > 0 && answer[length - 1] == '\n') {
    answer[length - 1] = '\0';
    if (length > 1 && answer[length - 2] == '\r') answer[length - 2] = '\0';
    return true;
  }
  for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in)) {
  }
  return true;
}

bool isYes(const char* answer) { return answer[0] == 'y' || answer[0] == 'Y'; }
bool isNo(const char* answer) { return answer[0] == 'n' || answer[0] == 'N'; }

}  // namespace

int runTerminalForm(std::FILE* in, std::FILE* out, FilterPrefs* prefs) {
  char answer[kAnswerSize];
  std::fprintf(out, "Quindle\n");

  bool enabled = prefs->enabled != 0;
  for (;;) {
    std::fprintf(out, "Enable Quindle (y/n) [%s]: ", enabled ? "y" : "n");
    std::fflush(out);
    if (!readAnswer(in, answer)) return 0;
    if (answer[0] == '\0') break;
    if (isYes(answer) || isNo(answer)) {
      enabled = isYes(answer);
      break;
    }
  }

  uint32_t levels = static_cast<uint32_t>(prefs->dirLevels);
  std::fprintf(out, "Directory Levels [%u]: ", levels);
  std::fflush(out);
  if (!readAnswer(in, answer)) return 0;
  if (answer[0] != '\0') levels = readDialogNumber(answer);

  uint32_t maxFiles = prefs->maxFiles;
  std::fprintf(out, "Max Files [%u]: ", maxFiles);
  std::fflush(out);
  if (!readAnswer(in, answer)) return 0;
  if (answer[0] != '\0') maxFiles = readDialogNumber(answer);

  std::fprintf(out, "Dictionary File [%s]: ", prefs->dictionaryPath);
  std::fflush(out);
  if (!readAnswer(in, answer)) return 0;
  if (answer[0] != '\0' && !chooseDictionaryPath(prefs, answer)) {
    std::fprintf(out, "That path is too long; the dictionary stays as it was.\n");
  }

  for (;;) {
    std::fprintf(out, "OK or Cancel (o/c): ");
    std::fflush(out);
    if (!readAnswer(in, answer)) return 0;
    if (answer[0] == 'c' || answer[0] == 'C') return 0;
    if (answer[0] == 'o' || answer[0] == 'O') break;
  }
  prefs->enabled = enabled ? 1 : 0;
  prefs->dirLevels = static_cast<int32_t>(levels);
  prefs->maxFiles = maxFiles;
  return 1;
}

}  // namespace quindle
