#include "other_build.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

extern char** environ;

namespace quindle_bench {
namespace {

constexpr char kRowName[] = "32-bit build";  // and, before each of its rows, "32-bit build, "

// The output of `path` run with kRowsFlag, or why it could not be had.
bool runForRows(const char* path, std::string* output, std::string* why) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    *why = std::string("no pipe: ") + std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  char* const argv[] = {const_cast<char*>(path), const_cast<char*>(kRowsFlag), nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, path, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    *why = spawned == ENOEXEC ? "not run: this machine's kernel runs no 32-bit code (under qemu the figures would be qemu's)"
                              : std::string("not run: ") + std::strerror(spawned);
    return false;
  }
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) output->append(buffer, static_cast<size_t>(got));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *why = "not run: the 32-bit build failed (" + std::string(path) + ")";
    return false;
  }
  return true;
}

}  // namespace

void addThirtyTwoBitRows(const char* path, TableReporter* table) {
  struct stat info;
  if (stat(path, &info) != 0) {
    table->addNote(kRowName, std::string("not built: make bench builds it (preset native32) where g++-multilib and ") +
                                 "Google Benchmark's i386 half are installed (scripts/install-deps.sh bench)");
    return;
  }
  std::string output;
  std::string why;
  if (!runForRows(path, &output, &why)) {
    table->addNote(kRowName, why);
    return;
  }
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) table->addPrintedRow(std::string(kRowName) + ", ", line);
}

}  // namespace quindle_bench
