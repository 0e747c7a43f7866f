// What one computation of the marks, or one tip's lookup, reads once however
// many tables it reads: the $TodayTemp section (one profile call, which under
// some systems costs as much as reading a table), the era table and the
// buffer that the tables share.
#pragma once

#include <windows.h>

#include "settings/settings.h"
#include "text/winfile.h"
#include "today/era.h"

class MarkReading {
 public:
  MarkReading();
  MarkReading(const MarkReading&) = delete;
  MarkReading& operator=(const MarkReading&) = delete;

  // The "Schedule" switch of $TodayTemp (on unless it says 0).
  int SchedulesOn();
  // The table named by an unindexed $TodayTemp key; null when it is unnamed
  // or cannot be opened.
  HANDLE OpenTable(UINT keyId);
  // Entry index of "ScheduleFile%d"; empty when missing.
  void ScheduleFileName(int index, char* name, DWORD size);

  EraCache* eras() { return &eras_; }
  TableReadBuffer* buffer() { return &buffer_; }
  // Whether the era table could not be read: every computation that shares
  // it is then as stale as the one that tried.
  bool erasFailed() const { return eraFailures_ != 0; }

 private:
  static int LoadEras(EraTable* table, void* ctx);

  SettingsSnapshot settings_;
  EraCache eras_;
  TableReadBuffer buffer_;
  LONG eraFailures_;
};
