/* A minimal host written against the installed header only, for Linux (the settings key is an
 * open folder). It loads the installed module, runs the filter once over an empty tree with the
 * settings stored in the folder it is given, and prints what came back.
 * usage: external_host SETTINGS_FOLDER */
#define _POSIX_C_SOURCE 200809L
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <quindle/filter_api.h>

/* The host's own field of each directory holds its entry count, which freeing needs. */
static FileDirectory* allocDirectory(int32_t count) {
  FileDirectory* directory = calloc(1, sizeof *directory);
  if (!directory) return NULL;
  /* One spare entry so that a count of 0 still gets memory of its own. */
  directory->entries = calloc((size_t)count + 1, sizeof(FileEntry));
  if (!directory->entries) {
    free(directory);
    return NULL;
  }
  directory->hostField = (void*)(intptr_t)count;
  return directory;
}

static int treesFreed = 0;

/* Trees can be thousands of levels deep: a list of pending directories instead of recursion. */
static void freeTree(FileDirectory* root) {
  size_t pending = 0, capacity = 16;
  FileDirectory** stack = malloc(capacity * sizeof *stack);
  if (!stack || !root) {
    free(stack);
    return;
  }
  ++treesFreed;
  stack[pending++] = root;
  while (pending > 0) {
    FileDirectory* directory = stack[--pending];
    const intptr_t count = (intptr_t)directory->hostField;
    for (intptr_t i = 0; i < count; ++i) {
      FileDirectory* children = directory->entries[i].children;
      if (!children) continue;
      if (pending == capacity) {
        FileDirectory** bigger = realloc(stack, 2 * capacity * sizeof *stack);
        if (!bigger) abort();
        stack = bigger;
        capacity *= 2;
      }
      stack[pending++] = children;
    }
    free(directory->entries);
    free(directory);
  }
  free(stack);
}

static void* exportNamed(void* module, const char* name) {
  void* function = dlsym(module, name);
  if (!function) {
    fprintf(stderr, "external_host: %s has no export %s\n", QUINDLE_MODULE_PATH, name);
    exit(1);
  }
  return function;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: external_host SETTINGS_FOLDER\n");
    return 2;
  }
  const int settings = open(argv[1], O_RDONLY | O_DIRECTORY);
  void* module = dlopen(QUINDLE_MODULE_PATH, RTLD_NOW);
  if (settings < 0 || !module) {
    fprintf(stderr, "external_host: cannot open %s or load %s\n", argv[1], QUINDLE_MODULE_PATH);
    return 1;
  }
  /* Object pointers to function pointers through memcpy: ISO C has no direct conversion. */
  FileFilterInitializeFn initialize;
  FileFilterExecuteFn execute;
  FileFilterUninitializeFn uninitialize;
  void* found = exportNamed(module, "FileFilterInitialize");
  memcpy(&initialize, &found, sizeof found);
  found = exportNamed(module, "FileFilterExecute");
  memcpy(&execute, &found, sizeof found);
  found = exportNamed(module, "FileFilterUninitialize");
  memcpy(&uninitialize, &found, sizeof found);

  FileFilterInfo info;
  memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.settingsKey = (FileFilterSettingsKey)(intptr_t)settings;
  info.allocDirectory = allocDirectory;
  info.freeTree = freeTree;
  if (initialize(&info) != 1) {
    fprintf(stderr, "external_host: the module refused to initialize\n");
    return 1;
  }
  FileDirectory* own = allocDirectory(0);
  char title[64] = "the host's title";
  FileDirectory* back = execute(&info, own, title, (int32_t)sizeof title);
  uninitialize(&info);

  printf("package version: %s\n", QUINDLE_PACKAGE_VERSION);
  printf("filter: %s\n", info.name);
  printf("title: %s\n", title);
  printf("entries: %ld\n", (long)(intptr_t)back->hostField);
  printf("host trees freed by the filter: %d\n", treesFreed);
  freeTree(back);
  dlclose(module);
  close(settings);
  return 0;
}
