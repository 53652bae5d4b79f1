// The Win32 settings dialog: one dialog procedure over template 101, its placement on the screen,
// and the dictionary chooser.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "dialog/dialog_resources.h"
#include "dialog/dialog_rules.h"
#include "dialog/settings_dialog.h"
#include "filter/settings.h"

namespace quindle {
namespace {

constexpr UINT kRefreshMessage = WM_USER;
constexpr int kGovernedControls[] = {IDC_LEVELS_LABEL, IDC_MAXFILES_LABEL, IDC_LEVELS, IDC_MAXFILES,
                                     IDC_DICTIONARY};

// What one open dialog works on. The dialog procedure receives it at WM_INITDIALOG and keeps it in
// the window itself, so nothing about an open dialog is module-wide.
struct DialogSession {
  FilterPrefs* prefs;
  DialogContext context;
};

DialogSession& sessionOf(HWND dialog) {
  return *reinterpret_cast<DialogSession*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HINSTANCE resourceInstance(void* moduleInstance) {
  if (moduleInstance) return static_cast<HINSTANCE>(moduleInstance);
  // Linked into a program rather than loaded as the DLL: the template is in the module that holds
  // this code.
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&sessionOf), &self);
  return self;
}

void moveTo(HWND dialog, DialogPosition corner) {
  SetWindowPos(dialog, HWND_TOP, corner.x, corner.y, 0, 0, SWP_NOSIZE);
}

ScreenRect windowRect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void centreOnParent(HWND dialog) {
  HWND owner = GetParent(dialog);
  if (!owner) owner = GetDesktopWindow();
  moveTo(dialog, centredOn(windowRect(owner), windowRect(dialog)));
}

void restorePlacement(HWND dialog, DialogPosition& position) {
  if (position.x == 0 || position.y == 0) {
    centreOnParent(dialog);
    return;
  }
  int32_t width = 0, height = 0;
  if (HDC display = CreateICA("DISPLAY", "", "", nullptr)) {
    width = GetDeviceCaps(display, HORZRES);
    height = GetDeviceCaps(display, VERTRES);
    DeleteDC(display);
  }
  position = placeOnScreen(position, width, height).corner;
  moveTo(dialog, position);
}

void capturePosition(HWND dialog) {
  const ScreenRect rect = windowRect(dialog);
  *sessionOf(dialog).context.position = {rect.left, rect.top};
}

void refreshControls(HWND dialog) {
  const bool enabled = IsDlgButtonChecked(dialog, IDC_ENABLE) == BST_CHECKED;
  for (int id : kGovernedControls) EnableWindow(GetDlgItem(dialog, id), enabled);
}

// Reads the field's whole text with readDialogNumber rather than GetDlgItemInt: the dialog then
// reads "-3", and any other text, by the rule dialog_rules_test.cc checks on every build.
uint32_t readNumberField(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(field);
  char small[64];
  char* text = length < static_cast<int>(sizeof small)
                   ? small
                   : static_cast<char*>(heapAllocate(*sessionOf(dialog).context.heap,
                                                     static_cast<size_t>(length) + 1));
  if (!text) return 0;
  GetWindowTextA(field, text, length + 1);
  const uint32_t value = readDialogNumber(text);
  if (text != small) heapFree(text);
  return value;
}

// The chooser works on a copy of the path: a chooser that fails may leave anything in the buffer
// it was given (a needed size, for one), and the stored path must stay a clean text.
void chooseDictionary(HWND dialog, FilterPrefs* prefs) {
  char path[FILTER_PREFS_PATH_SIZE];
  std::memcpy(path, prefs->dictionaryPath, sizeof path);
  path[sizeof path - 1] = '\0';
  OPENFILENAMEA chooser;
  std::memset(&chooser, 0, sizeof chooser);
  chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  chooser.hwndOwner = dialog;
  chooser.lpstrFilter = "All Files (*.*)\0*.*\0";
  chooser.nFilterIndex = 1;
  chooser.lpstrFile = path;
  chooser.nMaxFile = sizeof path;
  chooser.lpstrInitialDir = ".";
  chooser.lpstrTitle = "Choose Dictionary File...";
  chooser.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&chooser)) return;
  path[sizeof path - 1] = '\0';
  chooseDictionaryPath(prefs, path);
}

INT_PTR onCommand(HWND dialog, int id) {
  FilterPrefs* prefs = sessionOf(dialog).prefs;
  switch (id) {
    case IDOK:
      capturePosition(dialog);
      prefs->enabled = IsDlgButtonChecked(dialog, IDC_ENABLE) == BST_CHECKED ? 1 : 0;
      prefs->dirLevels = static_cast<int32_t>(readNumberField(dialog, IDC_LEVELS));
      prefs->maxFiles = readNumberField(dialog, IDC_MAXFILES);
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      capturePosition(dialog);
      EndDialog(dialog, 0);
      return TRUE;
    case IDC_ENABLE:
      return SendMessageA(dialog, kRefreshMessage, 0, 0);
    case IDC_DICTIONARY:
      chooseDictionary(dialog, prefs);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const DialogSession& session = sessionOf(dialog);
      restorePlacement(dialog, *session.context.position);
      CheckDlgButton(dialog, IDC_ENABLE, session.prefs->enabled ? BST_CHECKED : BST_UNCHECKED);
      SetDlgItemInt(dialog, IDC_LEVELS, static_cast<UINT>(session.prefs->dirLevels), FALSE);
      SetDlgItemInt(dialog, IDC_MAXFILES, session.prefs->maxFiles, FALSE);
      SetFocus(GetDlgItem(dialog, IDC_ENABLE));
      SendMessageA(dialog, kRefreshMessage, 0, 0);
      return FALSE;  // the focus is set
    }
    case kRefreshMessage:
      refreshControls(dialog);
      return TRUE;
    case WM_COMMAND:
      // Commands can come before WM_INITDIALOG has kept the session (from the template's controls).
      return GetWindowLongPtrA(dialog, DWLP_USER) ? onCommand(dialog, LOWORD(wParam)) : FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int showSettingsDialog(FileFilterInfo* info, FileFilterWindow parent, const DialogContext& context) {
  if (!info || !info->userData) return -1;
  DialogSession session = {info->userData, context};
  const INT_PTR result = DialogBoxParamA(resourceInstance(context.moduleInstance),
                                         MAKEINTRESOURCEA(IDD_SETTINGS), static_cast<HWND>(parent),
                                         settingsDialogProc, reinterpret_cast<LPARAM>(&session));
  return static_cast<int>(result);
}

}  // namespace quindle
