#include <windows.h>

#include <cstring>
#include <ctime>

#include "host/module_clock.h"

namespace quindle_host {
namespace {

int64_t fixedSeconds = 0;

__time64_t __cdecl fixedTime64(__time64_t* out) {
  const __time64_t seconds = static_cast<__time64_t>(fixedSeconds);
  if (out) *out = seconds;
  return seconds;
}

// The 32-bit clock keeps the low 32 bits, which are all the module keeps of any time.
__time32_t __cdecl fixedTime32(__time32_t* out) {
  const __time32_t seconds = static_cast<__time32_t>(static_cast<uint32_t>(fixedSeconds));
  if (out) *out = seconds;
  return seconds;
}

// The CRT's clocks by their exported names; msvcrt's plain `time` is as wide as a pointer.
void* replacementFor(const char* name) {
  if (std::strcmp(name, "_time64") == 0) return reinterpret_cast<void*>(&fixedTime64);
  if (std::strcmp(name, "_time32") == 0) return reinterpret_cast<void*>(&fixedTime32);
  if (std::strcmp(name, "time") == 0) {
    return sizeof(void*) == 8 ? reinterpret_cast<void*>(&fixedTime64)
                              : reinterpret_cast<void*>(&fixedTime32);
  }
  return nullptr;
}

bool replaceSlot(ULONG_PTR* slot, void* replacement) {
  DWORD was = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was)) return false;
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  VirtualProtect(slot, sizeof *slot, was, &was);
  return true;
}

}  // namespace

int64_t calendarSecondsNow() { return static_cast<int64_t>(_time64(nullptr)); }

bool fixModuleClock(const quindle_host_kit::LoadedModule& module, int64_t seconds,
                    std::string* error) {
  fixedSeconds = seconds;
  unsigned char* base = static_cast<unsigned char*>(module.handle);
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int replaced = 0;
  for (const IMAGE_IMPORT_DESCRIPTOR* library =
           imports.VirtualAddress
               ? reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress)
               : nullptr;
       library && library->Name; ++library) {
    // The names are read from the lookup table; the slots the module calls through sit beside.
    if (!library->OriginalFirstThunk) continue;
    const IMAGE_THUNK_DATA* names =
        reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const IMAGE_IMPORT_BY_NAME* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      void* replacement = replacementFor(reinterpret_cast<const char*>(byName->Name));
      if (!replacement) continue;
      if (!replaceSlot(reinterpret_cast<ULONG_PTR*>(&slots->u1.Function), replacement)) {
        *error = "the module's import of its clock cannot be changed (error " +
                 std::to_string(GetLastError()) + ")";
        return false;
      }
      ++replaced;
    }
  }
  if (replaced == 0) *error = "the module imports no C run-time clock the host can answer";
  return replaced > 0;
}

}  // namespace quindle_host
