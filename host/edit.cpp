#include "host/edit.h"

#include <string.h>

int HostEditChip(const DxlApi* api, HostChip* chip, HWND owner, std::vector<unsigned char>* recordBlock) {
  if (recordBlock) recordBlock->clear();
  if (!api->EditHelper) return -1;
  std::vector<unsigned char> block = HostChipSaveBytes(chip);
  std::vector<unsigned char> payload = block.size() > 4 ? std::vector<unsigned char>(block.begin() + 4, block.end())
                                                        : std::vector<unsigned char>();
  HostEditRecord record;
  memset(&record, 0, sizeof record);
  record.memoHandle = chip->memo;
  record.saveLength = SaveDataLength(block);
  if (!payload.empty() && (record.saveHandle = GlobalAlloc(GMEM_MOVEABLE, payload.size())) != nullptr) {
    memcpy(GlobalLock(record.saveHandle), payload.data(), payload.size());
    GlobalUnlock(record.saveHandle);
  }

  int result = api->EditHelper(owner, &record);
  // The library may have moved the memo text to a larger block.
  chip->memo = record.memoHandle;
  std::vector<unsigned char> saved(4);
  memcpy(saved.data(), &record.saveLength, 4);
  const unsigned char* p = record.saveHandle ? static_cast<const unsigned char*>(GlobalLock(record.saveHandle)) : nullptr;
  if (p) {
    saved.insert(saved.end(), p, p + GlobalSize(record.saveHandle));
    GlobalUnlock(record.saveHandle);
  }
  if (recordBlock) *recordBlock = saved;
  if (result == 1 && p) HostChipSetSaveData(chip, saved.data(), saved.size());
  if (record.saveHandle) GlobalFree(record.saveHandle);
  if (result == 1 && chip->chip) {
    HostUpdate(api, chip);
    if (chip->window) InvalidateRect(chip->window, nullptr, FALSE);
  }
  return result;
}

int EditChipFromMenu(const DxlApi* api, HostChip* chip) {
  return HostEditChip(api, chip, chip->window) == 1 ? 2 : 0;
}
