// Loading a drawing extension library and driving its chips as a host does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/hostrecords.h"

struct DxlApi {
  HMODULE module;
  char file[MAX_PATH];  // the file loaded, as the system names the module
  int(__cdecl* DrawExSpecification)(void* spec);
  int(__cdecl* InitializeChip)(HGLOBAL* handleOut, HWND window, void* info);
  int(__cdecl* UnInitializeChip)(HGLOBAL chip, HWND window);
  int(__cdecl* Update)(HGLOBAL chip, HWND window, void* info);
  int(__cdecl* GetSaveData)(HGLOBAL chip, HWND window, HGLOBAL* block);
  int(__cdecl* GetMemoString)(void* unused, char* buffer, int size);
  int(__cdecl* GetTimerSpan)();
  int(__cdecl* ExchangeSendString)();
  void(__cdecl* Zoom)();
  int(__cdecl* DoTimer)();
  int(__cdecl* CalcDefaultRect)(HGLOBAL chip, HWND window, SIZE* size);
  int(__cdecl* DrawChip)(HGLOBAL chip, HWND window, HDC dc);
  int(__cdecl* MouseClik)(HGLOBAL chip, HWND window, POINT* point);
  HMENU(__cdecl* GetDrawExMenu)(HGLOBAL chip);
  int(__cdecl* DoDrawExMenu)(HGLOBAL chip, HWND window, UINT command);
  int(__cdecl* DrawExAbout)(HWND parent);
  int(__cdecl* EditHelper)(HWND owner, HostEditRecord* record);
  int(__cdecl* DrawExConfigure)(HWND parent);
};

// Loads the library by its full path (a relative path is taken from the
// current directory, never from the system's search, which would find the
// copy beside this program first) and resolves its exports; missing ones
// stay null.
bool LoadDxl(const char* path, DxlApi* api);
// The folder of the running program, with its trailing backslash.
std::string ProgramDirectory();
void UnloadDxl(DxlApi* api);

// The settings file beside a library (its path with the extension "ini") and
// the user section in it (the Windows user's name; "Default" when it is too
// long).
struct SettingsFile {
  std::string path;
  std::string section;
};
SettingsFile LibrarySettingsFile(const char* library);

// One chip as the host keeps it: the memo text and the saved-data block in
// movable global memory, the chip window, and the chip handle.
struct HostChip {
  HWND window;
  HGLOBAL chip;
  HGLOBAL memo;      // zero-terminated memo text
  HGLOBAL saveData;  // length (int32) and payload, as GetSaveData wrote it
  COLORREF textColor;
  COLORREF backColor;
  LOGFONTA font;
};

HWND CreateChipWindow(int clientWidth, int clientHeight, bool visible);
void DefaultChipFont(LOGFONTA* font, int height, const char* face);

void HostChipInit(HostChip* chip, HWND window);
void HostChipSetMemo(HostChip* chip, const char* text);
// Replaces the saved data with a block of this length word and payload,
// zero-filled up to the payload the length word declares (at most 24 bytes).
void HostChipSetSaveData(HostChip* chip, const void* block, size_t size);
std::vector<unsigned char> HostChipSaveBytes(const HostChip* chip);
// The chip's memo text; empty when it has none or it cannot be locked.
std::string HostChipMemo(const HostChip* chip);
// The payload length a saved-data block's length word declares (0 without one).
uint32_t SaveDataLength(const std::vector<unsigned char>& block);

// The host's calls; each builds the HostChipInfo record for the call.
int HostCreate(const DxlApi* api, HostChip* chip);
int HostUpdate(const DxlApi* api, HostChip* chip);
int HostGetSaveData(const DxlApi* api, HostChip* chip);
int HostDestroy(const DxlApi* api, HostChip* chip);
void HostChipFree(HostChip* chip);

// Reads the chip's leading state fields through its handle; false when the
// handle cannot be locked or its block is too small for them.
bool HostPeekChip(HGLOBAL chip, HostChipPeek* out);
