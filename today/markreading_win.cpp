#include "today/markreading.h"

#include "resources/resource.h"
#include "today/wholefile.h"

MarkReading::MarkReading() : settings_(IDS_SECTION_TODAYTEMP), eraFailures_(0) {
  EraCacheInit(&eras_, LoadEras, this);
}

int MarkReading::SchedulesOn() { return settings_.ReadInt(IDS_KEY_SCHEDULE, 1) != 0; }

HANDLE MarkReading::OpenTable(UINT keyId) {
  char path[MAX_PATH];
  settings_.ReadString(keyId, "", path, sizeof path);
  return path[0] ? OpenFileForReading(path) : nullptr;
}

void MarkReading::ScheduleFileName(int index, char* name, DWORD size) {
  settings_.ReadIndexedString(IDS_KEY_SCHEDULEFILE, index, "", name, size);
}

int MarkReading::LoadEras(EraTable* table, void* ctx) {
  MarkReading* reading = static_cast<MarkReading*>(ctx);
  const LONG failures = g_tableReadFailures;
  EraTableClear(table);
  WholeFileText text(ReadWholeFile(reading->OpenTable(IDS_KEY_GENGOTBL)));
  reading->eraFailures_ += g_tableReadFailures - failures;
  if (!text.get()) return 0;
  EraTableParse(table, text.get());
  return 1;
}
