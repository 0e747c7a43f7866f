#include "host/loader.h"

#include <string.h>

namespace {

template <typename T>
void Resolve(HMODULE module, const char* name, T* fn) {
  *fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

LRESULT CALLBACK ChipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

const char kChipClass[] = "TarnivelHostChip";

// Fills the record of one call; memo and saved data stay locked while it lives.
class CallRecord {
 public:
  explicit CallRecord(HostChip* chip) : chip_(chip) {
    memset(&record_, 0, sizeof record_);
    memo_ = chip->memo ? static_cast<const char*>(GlobalLock(chip->memo)) : nullptr;
    save_ = chip->saveData ? GlobalLock(chip->saveData) : nullptr;
    record_.memoText = memo_;
    record_.textColor = chip->textColor;
    record_.backColor = chip->backColor;
    record_.font = chip->font;
    record_.saveData = save_;
  }
  ~CallRecord() {
    if (memo_) GlobalUnlock(chip_->memo);
    if (save_) GlobalUnlock(chip_->saveData);
  }
  HostChipRecord* get() { return &record_; }

 private:
  HostChip* chip_;
  HostChipRecord record_;
  const char* memo_;
  void* save_;
};

}  // namespace

bool LoadDxl(const char* path, DxlApi* api) {
  memset(api, 0, sizeof *api);
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  api->module = LoadLibraryA(full);
  if (!api->module) return false;
  HMODULE m = api->module;
  n = GetModuleFileNameA(m, api->file, sizeof api->file);
  if (n == 0 || n >= sizeof api->file) lstrcpynA(api->file, full, sizeof api->file);
  Resolve(m, "DrawExSpecification", &api->DrawExSpecification);
  Resolve(m, "InitializeChip", &api->InitializeChip);
  Resolve(m, "UnInitializeChip", &api->UnInitializeChip);
  Resolve(m, "Update", &api->Update);
  Resolve(m, "GetSaveData", &api->GetSaveData);
  Resolve(m, "GetMemoString", &api->GetMemoString);
  Resolve(m, "GetTimerSpan", &api->GetTimerSpan);
  Resolve(m, "ExchangeSendString", &api->ExchangeSendString);
  Resolve(m, "Zoom", &api->Zoom);
  Resolve(m, "DoTimer", &api->DoTimer);
  Resolve(m, "CalcDefaultRect", &api->CalcDefaultRect);
  Resolve(m, "DrawChip", &api->DrawChip);
  Resolve(m, "MouseClik", &api->MouseClik);
  Resolve(m, "GetDrawExMenu", &api->GetDrawExMenu);
  Resolve(m, "DoDrawExMenu", &api->DoDrawExMenu);
  Resolve(m, "DrawExAbout", &api->DrawExAbout);
  Resolve(m, "EditHelper", &api->EditHelper);
  Resolve(m, "DrawExConfigure", &api->DrawExConfigure);
  return api->InitializeChip && api->UnInitializeChip && api->Update;
}

std::string ProgramDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n < sizeof path ? n : 0);
  return s.substr(0, s.rfind('\\') + 1);
}

void UnloadDxl(DxlApi* api) {
  if (api->module) FreeLibrary(api->module);
  memset(api, 0, sizeof *api);
}

SettingsFile LibrarySettingsFile(const char* library) {
  SettingsFile f;
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(library, sizeof full, full, nullptr);
  f.path = n > 0 && n < sizeof full ? full : library;
  size_t dot = f.path.rfind('.');
  size_t slash = f.path.find_last_of("\\/");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) f.path.resize(dot);
  f.path += ".ini";
  char user[64];
  DWORD size = sizeof user;
  f.section = GetUserNameA(user, &size) && strlen(user) < 32 ? user : "Default";
  return f;
}

HWND CreateChipWindow(int clientWidth, int clientHeight, bool visible) {
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ChipWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kChipClass;
    registered = RegisterClassA(&wc) != 0;
  }
  const DWORD style = WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0);
  const DWORD exStyle = WS_EX_TOOLWINDOW;
  RECT r = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return CreateWindowExA(exStyle, kChipClass, "", style, 40, 40, r.right - r.left, r.bottom - r.top, nullptr,
                         nullptr, instance, nullptr);
}

void DefaultChipFont(LOGFONTA* font, int height, const char* face) {
  memset(font, 0, sizeof *font);
  font->lfHeight = height;
  font->lfWeight = FW_NORMAL;
  font->lfCharSet = SHIFTJIS_CHARSET;
  font->lfQuality = NONANTIALIASED_QUALITY;
  lstrcpynA(font->lfFaceName, face ? face : "", LF_FACESIZE);
}

void HostChipInit(HostChip* chip, HWND window) {
  memset(chip, 0, sizeof *chip);
  chip->window = window;
  chip->textColor = RGB(0, 0, 0);
  chip->backColor = RGB(255, 255, 255);
  DefaultChipFont(&chip->font, -16, "IPAGothic");
  HostChipSetMemo(chip, "");
  const unsigned char empty[4] = {0, 0, 0, 0};
  HostChipSetSaveData(chip, empty, sizeof empty);
}

void HostChipSetMemo(HostChip* chip, const char* text) {
  size_t n = strlen(text) + 1;
  if (chip->memo) GlobalFree(chip->memo);
  chip->memo = GlobalAlloc(GMEM_MOVEABLE, n);
  if (!chip->memo) return;
  memcpy(GlobalLock(chip->memo), text, n);
  GlobalUnlock(chip->memo);
}

void HostChipSetSaveData(HostChip* chip, const void* block, size_t size) {
  if (chip->saveData) GlobalFree(chip->saveData);
  // A truncated file must not make the library read past the block.
  uint32_t length = 0;
  if (block) memcpy(&length, block, size < 4 ? size : 4);
  size_t needed = 4 + (length < 24 ? length : 24);
  chip->saveData = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size < needed ? needed : size);
  if (!chip->saveData) return;
  if (size == 0) return;
  memcpy(GlobalLock(chip->saveData), block, size);
  GlobalUnlock(chip->saveData);
}

std::string HostChipMemo(const HostChip* chip) {
  std::string text;
  const char* p = chip->memo ? static_cast<const char*>(GlobalLock(chip->memo)) : nullptr;
  if (!p) return text;
  text.assign(p, strnlen(p, GlobalSize(chip->memo)));
  GlobalUnlock(chip->memo);
  return text;
}

uint32_t SaveDataLength(const std::vector<unsigned char>& block) {
  uint32_t length = 0;
  if (block.size() >= 4) memcpy(&length, block.data(), 4);
  return length;
}

std::vector<unsigned char> HostChipSaveBytes(const HostChip* chip) {
  std::vector<unsigned char> bytes;
  if (!chip->saveData) return bytes;
  SIZE_T size = GlobalSize(chip->saveData);
  const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(chip->saveData));
  if (!p) return bytes;
  bytes.assign(p, p + size);
  GlobalUnlock(chip->saveData);
  return bytes;
}

int HostCreate(const DxlApi* api, HostChip* chip) {
  CallRecord record(chip);
  return api->InitializeChip(&chip->chip, chip->window, record.get());
}

int HostUpdate(const DxlApi* api, HostChip* chip) {
  CallRecord record(chip);
  return api->Update(chip->chip, chip->window, record.get());
}

int HostGetSaveData(const DxlApi* api, HostChip* chip) {
  return api->GetSaveData(chip->chip, chip->window, &chip->saveData);
}

int HostDestroy(const DxlApi* api, HostChip* chip) {
  int result = api->UnInitializeChip(chip->chip, chip->window);
  chip->chip = nullptr;
  return result;
}

void HostChipFree(HostChip* chip) {
  if (chip->memo) GlobalFree(chip->memo);
  if (chip->saveData) GlobalFree(chip->saveData);
  if (chip->window) DestroyWindow(chip->window);
  chip->memo = chip->saveData = nullptr;
  chip->window = nullptr;
}

bool HostPeekChip(HGLOBAL chip, HostChipPeek* out) {
  // Another library's chip handle may hold a smaller block.
  if (!chip || GlobalSize(chip) < sizeof *out) return false;
  const void* p = GlobalLock(chip);
  if (!p) return false;
  memcpy(out, p, sizeof *out);
  GlobalUnlock(chip);
  return true;
}

