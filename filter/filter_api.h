/* The binary contract between a host application and the Quindle filter module.
 *
 * These records are shared by reference with the host (or, for FilterPrefs, stored as a whole
 * value), so their layout is fixed: fields are in fixed-width types, and the sizes and offsets the
 * host relies on are asserted below. On the 32-bit Windows target the layout is exactly the one the
 * hosts were written against; on 64-bit targets pointer fields widen to 8 bytes with natural
 * alignment and keep their order. FilterPrefs contains no pointer and is 276 bytes everywhere.
 *
 * The header is plain C so that hosts in C or C++ can include it unchanged.
 *
 * Calling order a host must follow for one FileFilterInfo:
 *   FileFilterInitialize (must return 1), then any number of FileFilterUserInterface and
 *   FileFilterExecute calls, then FileFilterUninitialize once. One call at a time, one thread.
 */
#ifndef QUINDLE_FILTER_FILTER_API_H
#define QUINDLE_FILTER_FILTER_API_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define QUINDLE_CALL __cdecl
#else
#define QUINDLE_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version both sides agree on; any other value is refused. */
#define FILE_FILTER_INTERFACE_VERSION 2u

#define FILE_FILTER_NAME_SIZE 260
#define FILE_ENTRY_NAME_SIZE 64
#define FILE_ENTRY_SIZE_TEXT_SIZE 16
#define FILTER_PREFS_PATH_SIZE 260

struct FileDirectory;

/* One entry of a directory. Every field except hostByte is written by the filter. */
typedef struct FileEntry {
  char name[FILE_ENTRY_NAME_SIZE];          /* zero-terminated, rest zero-filled */
  char sizeText[FILE_ENTRY_SIZE_TEXT_SIZE]; /* "123KB" or "[dir]", zero-terminated, zero-filled */
  int64_t value;                            /* a number from 0 to 32767 */
  uint8_t flags[3];                         /* [0] and [1]: 1 for a directory, 0 for a file; [2]: 0 */
  uint8_t hostByte;                         /* the host's own byte; the filter never writes it */
  struct FileDirectory* children;           /* a directory's contents; null for a file */
} FileEntry;

/* A directory: allocated by the host, with room for the entry count the filter asked for. */
typedef struct FileDirectory {
  void* hostField;    /* the host's own field; the filter neither reads nor writes it */
  FileEntry* entries; /* the entries, laid end to end */
} FileDirectory;

/* Host callback: a new directory with room for `count` entries, or null when it cannot have one. */
typedef FileDirectory*(QUINDLE_CALL* FileFilterAllocDirectory)(int32_t count);
/* Host callback: releases a whole tree, given its root. */
typedef void(QUINDLE_CALL* FileFilterFreeTree)(FileDirectory* root);

/* Where the host keeps this filter's stored values: an open registry key (HKEY) on Windows; on
 * other systems an open directory file descriptor, stored as (void*)(intptr_t)fd. The host opens
 * and closes it. */
typedef void* FileFilterSettingsKey;

/* A window handle (HWND on Windows); unused elsewhere. */
typedef void* FileFilterWindow;

/* The filter's settings. Its byte image is the stored value "prefs". */
typedef struct FilterPrefs {
  uint32_t enabled;                            /* nonzero: Execute replaces the host's tree */
  int32_t dirLevels;                           /* subdirectory levels below the root (signed) */
  uint32_t maxFiles;                           /* every directory holds fewer entries than this */
  char dictionaryPath[FILTER_PREFS_PATH_SIZE]; /* dictionary file, zero-terminated; empty: none */
  int32_t lineCount;                           /* lines last counted in it; 0: not counted yet */
} FilterPrefs;

/* One per filter instance, allocated and owned by the host, passed to every export. */
typedef struct FileFilterInfo {
  uint32_t version;                   /* the host sets 2 before initialize; the filter writes 2 */
  FilterPrefs* userData;              /* the filter's settings, from initialize to uninitialize */
  FileFilterSettingsKey settingsKey;  /* where the filter's values are stored */
  char name[FILE_FILTER_NAME_SIZE];   /* receives the filter's display name */
  FileFilterAllocDirectory allocDirectory;
  void* hostReserved;                 /* a host slot the filter neither reads nor calls */
  FileFilterFreeTree freeTree;
} FileFilterInfo;

/* The top-left corner of the settings dialog on the screen; its image is the stored "position".
 * A zero in either coordinate means no position is known. */
typedef struct DialogPosition {
  int32_t x;
  int32_t y;
} DialogPosition;

/* The four exports, as a host declares them to look them up by name. */
typedef int(QUINDLE_CALL* FileFilterInitializeFn)(FileFilterInfo* info);
typedef int(QUINDLE_CALL* FileFilterUserInterfaceFn)(FileFilterInfo* info, FileFilterWindow parent);
typedef FileDirectory*(QUINDLE_CALL* FileFilterExecuteFn)(FileFilterInfo* info, FileDirectory* root,
                                                           char* title, int32_t titleLen);
typedef void(QUINDLE_CALL* FileFilterUninitializeFn)(FileFilterInfo* info);

#ifdef __cplusplus
}
#endif

/* Layout proofs: what a host compiled against these records relies on. */
#ifdef __cplusplus
#define QUINDLE_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QUINDLE_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

QUINDLE_STATIC_ASSERT(sizeof(FilterPrefs) == 276, "FilterPrefs is the 276-byte stored value");
QUINDLE_STATIC_ASSERT(offsetof(FilterPrefs, dirLevels) == 4, "dirLevels offset");
QUINDLE_STATIC_ASSERT(offsetof(FilterPrefs, maxFiles) == 8, "maxFiles offset");
QUINDLE_STATIC_ASSERT(offsetof(FilterPrefs, dictionaryPath) == 12, "dictionaryPath offset");
QUINDLE_STATIC_ASSERT(offsetof(FilterPrefs, lineCount) == 272, "lineCount offset");
QUINDLE_STATIC_ASSERT(sizeof(DialogPosition) == 8, "DialogPosition is the 8-byte stored value");

QUINDLE_STATIC_ASSERT(offsetof(FileEntry, sizeText) == 64, "sizeText offset");
QUINDLE_STATIC_ASSERT(offsetof(FileEntry, value) == 80, "value offset");
QUINDLE_STATIC_ASSERT(offsetof(FileEntry, flags) == 88, "flags offset");
QUINDLE_STATIC_ASSERT(offsetof(FileEntry, hostByte) == 91, "host byte offset");

#if UINTPTR_MAX == 0xFFFFFFFFu
QUINDLE_STATIC_ASSERT(sizeof(FileEntry) == 96, "FileEntry is 96 bytes");
QUINDLE_STATIC_ASSERT(offsetof(FileEntry, children) == 92, "children offset");
QUINDLE_STATIC_ASSERT(sizeof(FileDirectory) == 8, "FileDirectory size");
QUINDLE_STATIC_ASSERT(offsetof(FileDirectory, entries) == 4, "entries offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, userData) == 4, "userData offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, settingsKey) == 8, "settingsKey offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, name) == 12, "name offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, allocDirectory) == 272, "allocDirectory offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, hostReserved) == 276, "host slot offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, freeTree) == 280, "freeTree offset");
QUINDLE_STATIC_ASSERT(sizeof(FileFilterInfo) == 284, "FileFilterInfo size");
#else
QUINDLE_STATIC_ASSERT(sizeof(FileEntry) == 104, "FileEntry is 104 bytes with 8-byte pointers");
QUINDLE_STATIC_ASSERT(offsetof(FileEntry, children) == 96, "children offset");
QUINDLE_STATIC_ASSERT(sizeof(FileDirectory) == 16, "FileDirectory size");
QUINDLE_STATIC_ASSERT(offsetof(FileDirectory, entries) == 8, "entries offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, userData) == 8, "userData offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, settingsKey) == 16, "settingsKey offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, name) == 24, "name offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, allocDirectory) == 288, "allocDirectory offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, hostReserved) == 296, "host slot offset");
QUINDLE_STATIC_ASSERT(offsetof(FileFilterInfo, freeTree) == 304, "freeTree offset");
QUINDLE_STATIC_ASSERT(sizeof(FileFilterInfo) == 312, "FileFilterInfo size");
#endif

#undef QUINDLE_STATIC_ASSERT

#endif /* QUINDLE_FILTER_FILTER_API_H */
