#include "dialog/terminal_form.h"

#include <cstring>

#include "dialog/settings_dialog.h"
#include "filter/settings.h"
#include "filter/settings_rules.h"
#include "filter/text_field.h"
#include "platform/dictionary_file.h"

namespace quindle {
namespace {

constexpr size_t kAnswerSize = 1024;

enum class Reply { kAnswered, kTooLong, kEnded };

struct Form {
  std::FILE* in;
  std::FILE* out;
  char answer[kAnswerSize];
};

// Reads one answer without its line end. A longer line is consumed whole and refused: cut short,
// it could read as another number or name another file.
Reply readAnswer(Form* form) {
  char* answer = form->answer;
  if (!std::fgets(answer, kAnswerSize, form->in)) return Reply::kEnded;
  const size_t length = std::strlen(answer);
  if (length > 0 && answer[length - 1] == '\n') {
    answer[length - 1] = '\0';
    if (length > 1 && answer[length - 2] == '\r') answer[length - 2] = '\0';
    return Reply::kAnswered;
  }
  if (std::feof(form->in)) return Reply::kAnswered;  // the last line, without a line end
  for (int c = std::fgetc(form->in); c != EOF && c != '\n'; c = std::fgetc(form->in)) {
  }
  return Reply::kTooLong;
}

// Ends the question's line and reads the answer; false at the end of input. A line too long to
// read whole is answered with a reason here and counts as no answer at all.
bool answered(Form* form, bool* usable) {
  std::fputs(": ", form->out);
  std::fflush(form->out);
  const Reply reply = readAnswer(form);
  *usable = reply == Reply::kAnswered;
  if (reply == Reply::kTooLong) std::fputs("That answer is too long.\n", form->out);
  return reply != Reply::kEnded;
}

// A stored path is any bytes; its controls show as '?'.
void showText(std::FILE* out, const char* text, size_t fieldSize) {
  const size_t length = strnlen(text, fieldSize);
  for (size_t i = 0; i < length; ++i) {
    const size_t control = controlLength(text, length, i);
    std::fputc(control ? '?' : text[i], out);
    if (control) i += control - 1;
  }
}

bool askEnabled(Form* form, bool* enabled) {
  for (;;) {
    std::fprintf(form->out, "Enable Quindle (y/n) [%s]", *enabled ? "y" : "n");
    bool usable = false;
    if (!answered(form, &usable)) return false;
    if (!usable) continue;
    const char first = form->answer[0];
    if (first == '\0') return true;
    if (first == 'y' || first == 'Y' || first == 'n' || first == 'N') {
      *enabled = first == 'y' || first == 'Y';
      return true;
    }
    std::fputs("Type y or n, or nothing to keep the answer shown.\n", form->out);
  }
}

// `value` is what the field shows, and what it keeps on an empty answer.
bool askNumber(Form* form, const char* label, NumberRange range, uint64_t* value) {
  for (;;) {
    std::fprintf(form->out, "%s [%llu]", label, static_cast<unsigned long long>(*value));
    bool usable = false;
    if (!answered(form, &usable)) return false;
    if (!usable) continue;
    if (form->answer[0] == '\0' || readPlainNumber(form->answer, range, value)) return true;
    std::fprintf(form->out, "Type a whole number from %llu to %llu, or nothing to keep %llu.\n",
                 static_cast<unsigned long long>(range.least),
                 static_cast<unsigned long long>(range.most),
                 static_cast<unsigned long long>(*value));
  }
}

bool askDictionary(Form* form, FilterPrefs* prefs) {
  for (;;) {
    std::fputs("Dictionary File (- for none) [", form->out);
    showText(form->out, prefs->dictionaryPath, sizeof prefs->dictionaryPath);
    std::fputc(']', form->out);
    bool usable = false;
    if (!answered(form, &usable)) return false;
    if (!usable) continue;
    if (form->answer[0] == '\0') return true;
    if (std::strcmp(form->answer, "-") == 0) {
      chooseDictionaryPath(prefs, "");
      return true;
    }
    const DictionaryChoice choice = checkDictionaryChoice(form->answer);
    if (choice.usable) {
      chooseDictionaryPath(prefs, choice.absolutePath);  // it fits the field: never refused
      return true;
    }
    std::fprintf(form->out, "That file cannot be the dictionary: %s.\n", choice.reason);
  }
}

// 1 for OK, 0 for Cancel or the end of input.
int askOkOrCancel(Form* form) {
  for (;;) {
    std::fputs("OK or Cancel (o/c)", form->out);
    bool usable = false;
    if (!answered(form, &usable)) return 0;
    if (!usable) continue;
    const char first = form->answer[0];
    if (first == 'o' || first == 'O') return 1;
    if (first == 'c' || first == 'C') return 0;
    std::fputs("Type o or c.\n", form->out);
  }
}

}  // namespace

int runTerminalForm(std::FILE* in, std::FILE* out, FilterPrefs* prefs) {
  Form form{in, out, {}};
  std::fprintf(out, "Quindle\n");
  bool enabled = prefs->enabled != 0;
  // Each field shows, and keeps on an empty answer, a value the form would accept: a damaged
  // stored one (negative levels, a file bound of 0) shows the default instead.
  uint64_t levels = prefs->dirLevels >= 0 ? static_cast<uint64_t>(prefs->dirLevels) : kDefaultDirLevels;
  uint64_t maxFiles = prefs->maxFiles >= 1 ? prefs->maxFiles : kDefaultMaxFiles;
  if (!askEnabled(&form, &enabled) ||
      !askNumber(&form, "Directory Levels", kDirLevelsRange, &levels) ||
      !askNumber(&form, "Max Files", kMaxFilesRange, &maxFiles) ||
      !askDictionary(&form, prefs) || askOkOrCancel(&form) != 1) {
    return 0;
  }
  prefs->enabled = enabled ? 1 : 0;
  prefs->dirLevels = static_cast<int32_t>(levels);
  prefs->maxFiles = static_cast<uint32_t>(maxFiles);
  // A negative line count is no count at all: the dictionary is counted afresh.
  if (prefs->lineCount < 0) prefs->lineCount = 0;
  return 1;
}

}  // namespace quindle
