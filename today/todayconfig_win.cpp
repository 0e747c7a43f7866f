#include "today/todayconfig.h"

#include <string.h>

#include "plugin/chipstate.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/strbasic.h"
#include "text/textutil.h"
#include "text/winfile.h"
#include "today/cnfparse.h"
#include "today/schedule.h"
#include "today/tablesearch.h"
#include "today/wholefile.h"

namespace {

enum {
  kScheduleNameSize = 40,
  kListFoldersAfterMisses = 64,
  // A load that failed is tried again at most this often (milliseconds).
  kRetrySpan = 1000,
};

// What TODAY.CNF says, gathered before anything is written: every write
// rewrites the whole settings file, so a write or two per line made the
// load grow with the square of the number of lines.
struct CnfSettings {
  int schedule;  // -1 without a "schedule" line
  int hasTablePath;
  char tablePath[kCnfLineMax + 1];
  int count;  // schedule file entries
  // Entries 1 to 16 as written; only these are ever read back.
  char names[kMaxScheduleFiles][kCnfLineMax + 1];
  // The later entries as the settings file would give them back for the
  // search, kScheduleNameSize bytes each.
  char* later;
  int laterCapacity;
  int outOfMemory;
};

void GatherSchedule(void* ctx, int on) { static_cast<CnfSettings*>(ctx)->schedule = on ? 1 : 0; }

void GatherTablePath(void* ctx, const char* value) {
  CnfSettings* cnf = static_cast<CnfSettings*>(ctx);
  lstrcpynA(cnf->tablePath, value, sizeof cnf->tablePath);
  cnf->hasTablePath = 1;
}

void GatherScheduleFile(void* ctx, int number, const char* name) {
  CnfSettings* cnf = static_cast<CnfSettings*>(ctx);
  cnf->count = number;
  if (number <= kMaxScheduleFiles) {
    lstrcpynA(cnf->names[number - 1], name, sizeof cnf->names[number - 1]);
    return;
  }
  int slot = number - kMaxScheduleFiles - 1;
  if (slot >= cnf->laterCapacity) {
    if (cnf->outOfMemory) return;
    int capacity = cnf->laterCapacity ? cnf->laterCapacity * 2 : 64;
    SIZE_T bytes = (SIZE_T)capacity * kScheduleNameSize;
    HLOCAL grown = cnf->later ? LocalReAlloc(cnf->later, bytes, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, bytes);
    if (!grown) {
      cnf->outOfMemory = 1;
      return;
    }
    cnf->later = static_cast<char*>(grown);
    cnf->laterCapacity = capacity;
  }
  SettingsValueAsRead(name, cnf->later + (size_t)slot * kScheduleNameSize, kScheduleNameSize);
}

// The later entries' names, freed when the guard ends.
class CnfSettingsGuard {
 public:
  explicit CnfSettingsGuard(CnfSettings* cnf) : cnf_(cnf) {}
  ~CnfSettingsGuard() {
    if (cnf_->later) LocalFree(cnf_->later);
  }
  CnfSettingsGuard(const CnfSettingsGuard&) = delete;
  CnfSettingsGuard& operator=(const CnfSettingsGuard&) = delete;

 private:
  CnfSettings* cnf_;
};

// A drive letter and colon, or two backslashes.
int IsFullPath(const char* name) {
  char c = name[0];
  if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && name[1] == ':') return 1;
  return c == '\\' && name[1] == '\\';
}

// A full path names its file as it is: the search would put a folder before
// it and never find it, and a later name would take its entry.
BOOL FindScheduleFile(const CnfSettings* cnf, int index, const char* name, const char* tablePath) {
  if (!IsFullPath(name)) return FindTableFileAlong(name, tablePath, g_pathBuffer, sizeof g_pathBuffer);
  // Entries 1 to 16 are tested whole: a full path is seldom as short as the
  // part of a name that is searched for.
  if (index <= kMaxScheduleFiles)
    SettingsValueAsRead(cnf->names[index - 1], g_pathBuffer, sizeof g_pathBuffer);
  else
    lstrcpynA(g_pathBuffer, name, sizeof g_pathBuffer);
  return LookUpNotingFailure(g_pathBuffer);
}

// The later entries that no search found, by their index, so that a name
// that comes again is not searched again: within one load the same name
// gives the same result.
class MissingNames {
 public:
  explicit MissingNames(const CnfSettings* cnf) : cnf_(cnf), slots_(nullptr), mask_(0) {}
  ~MissingNames() {
    if (slots_) LocalFree(slots_);
  }
  MissingNames(const MissingNames&) = delete;
  MissingNames& operator=(const MissingNames&) = delete;

  int Contains(int index) const {
    if (!slots_) return 0;
    const char* name = Name(index);
    for (unsigned i = Hash(name) & mask_; slots_[i] >= 0; i = (i + 1) & mask_)
      if (strcmp(Name(slots_[i]), name) == 0) return 1;
    return 0;
  }
  void Add(int index) {
    if (!slots_ && !Allocate()) return;
    unsigned i = Hash(Name(index)) & mask_;
    while (slots_[i] >= 0) i = (i + 1) & mask_;
    slots_[i] = index;
  }

 private:
  const char* Name(int index) const { return cnf_->later + (size_t)index * kScheduleNameSize; }
  static unsigned Hash(const char* name) {
    unsigned h = 2166136261u;
    for (const unsigned char* s = (const unsigned char*)name; *s; ++s) h = (h ^ *s) * 16777619u;
    return h;
  }
  // Room for every later entry at half load at most.
  int Allocate() {
    unsigned size = 64;
    while (size < 2u * (unsigned)cnf_->count) size *= 2;
    slots_ = static_cast<int*>(LocalAlloc(LMEM_FIXED, size * sizeof(int)));
    if (!slots_) return 0;
    for (unsigned i = 0; i < size; ++i) slots_[i] = -1;
    mask_ = size - 1;
    return 1;
  }
  const CnfSettings* cnf_;
  int* slots_;
  unsigned mask_;
};

// What a load writes: "key=value" lines, ended by an empty one.
class SectionText {
 public:
  SectionText() : length_(0), ok_(1) {}
  void Add(UINT key, int index, const char* value) {
    char name[kSettingsNameSize];
    if (!FormatSettingKey(key, index, name, sizeof name)) ok_ = 0;
    size_t n = strlen(name), v = strlen(value);
    if (!ok_ || length_ + n + v + 3 > sizeof text_) {
      ok_ = 0;
      return;
    }
    memcpy(text_ + length_, name, n);
    text_[length_ + n] = '=';
    memcpy(text_ + length_ + n + 1, value, v + 1);
    length_ += n + v + 2;
  }
  void AddInt(UINT key, int value) {
    char text[16];
    wsprintfA(text, "%d", value);
    Add(key, 0, text);
  }
  int ok() const { return ok_; }
  // Null when there is nothing: the section goes.
  const char* lines() {
    text_[length_] = '\0';
    return length_ ? text_ : nullptr;
  }

 private:
  enum {
    kLineSize = kSettingsNameSize + kPathBufferSize + 2,
    kSize = (kMaxScheduleFiles + 4) * kLineSize + 1,
  };
  char text_[kSize];
  size_t length_;
  int ok_;
};

// Finds the schedule files in the order of their entries; found ones take
// the lowest entries in order, the others keep their names. Entries after
// 16 are not stored, so the search stops once sixteen are found. Each name
// is searched for as the settings file would give it back. 0 when a search
// could not tell whether a file is there.
int ResolveScheduleFiles(const CnfSettings* cnf, const char* tablePath, SectionText* section) {
  MissingNames missing(cnf);
  // Many names that exist nowhere: from then on each folder is listed once.
  FolderListings listings;
  struct Unset {
    ~Unset() { g_folderListings = nullptr; }
  } unset;
  int misses = 0;
  int found = 0;
  for (int i = 1; i <= cnf->count && found < kMaxScheduleFiles; ++i) {
    char name[kScheduleNameSize];
    const int later = i - kMaxScheduleFiles - 1;
    if (later < 0) {
      SettingsValueAsRead(cnf->names[i - 1], name, sizeof name);
    } else if (missing.Contains(later)) {
      continue;
    } else {
      lstrcpynA(name, cnf->later + (size_t)later * kScheduleNameSize, sizeof name);
    }
    const BOOL hit = FindScheduleFile(cnf, i, name, tablePath);
    // A place the machine was too short to look into may hold it.
    if (g_searchFailed) return 0;
    if (hit) {
      section->Add(IDS_KEY_SCHEDULEFILE, ++found, g_pathBuffer);
    } else {
      if (later >= 0) missing.Add(later);
      if (++misses == kListFoldersAfterMisses) g_folderListings = &listings;
    }
  }
  for (int i = found + 1; i <= cnf->count && i <= kMaxScheduleFiles; ++i)
    section->Add(IDS_KEY_SCHEDULEFILE, i, cnf->names[i - 1]);
  return 1;
}

int AddTableIfFound(const char* name, const char* tablePath, UINT key, SectionText* section) {
  if (FindTableFileAlong(name, tablePath, g_pathBuffer, sizeof g_pathBuffer)) section->Add(key, 0, g_pathBuffer);
  return !g_searchFailed;
}

// Whether a lookup or open of path that failed with error says the file is
// not there: only a folder that exists can say so. A drive or folder that is
// missing, not ready or out of reach, or a file that may not be read, says
// nothing of the file (Wine answers "not found" even for a missing drive).
int AnsweredAbsent(const char* path, DWORD error) {
  if (error != ERROR_FILE_NOT_FOUND) return 0;
  char folder[kPathBufferSize];
  lstrcpynA(folder, path, sizeof folder);
  char* end = FindLastChar(folder, '\\');
  if (!end) end = FindLastChar(folder, ':');
  if (!end) return 1;  // a name in the current folder
  end[1] = '\0';
  const DWORD attributes = GetFileAttributesA(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Where TODAY.CNF is, in g_pathBuffer: found, not there, or not known. Only
// a file that is not there is searched for elsewhere: a search while the
// named place is out of reach would take another file and write its path
// over the user's.
FileLookup LocateTodayCnf() {
  ReadSettingString(kUserSection, IDS_KEY_TODAYCNF, "", g_pathBuffer, sizeof g_pathBuffer);
  if (g_pathBuffer[0] != '\0') {
    // Absent only when its folder answered so.
    FileLookup lookup = LookUpFile(g_pathBuffer, AnsweredAbsent);
    if (lookup != kFileAbsent) return lookup;
  }
  const BOOL hit = FindTableFileAlong("TODAY.CNF", nullptr, g_pathBuffer, sizeof g_pathBuffer);
  if (g_searchFailed) return kFileLookupFailed;
  if (!hit) return kFileAbsent;
  // Only spares the next load the search.
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, g_pathBuffer);
  return kFileFound;
}

// The whole section from TODAY.CNF; 0 when any part of it could not be had.
// *absent tells a file that is not there.
int GatherTodayConfig(SectionText* section, int* absent) {
  FileLookup where = LocateTodayCnf();
  if (where != kFileFound) {
    *absent = where == kFileAbsent;
    return 0;
  }
  CnfSettings cnf;
  cnf.schedule = -1;
  cnf.hasTablePath = 0;
  cnf.count = 0;
  cnf.later = nullptr;
  cnf.laterCapacity = 0;
  cnf.outOfMemory = 0;
  CnfSettingsGuard guard(&cnf);
  {
    HANDLE file = OpenFileForReading(g_pathBuffer);
    if (!file) {
      *absent = AnsweredAbsent(g_pathBuffer, GetLastError());
      return 0;
    }
    WholeFileText text(ReadWholeFile(file));
    if (!text.get()) return 0;
    CnfSink sink = {&cnf, GatherSchedule, GatherScheduleFile, GatherTablePath};
    ParseTodayCnf(text.get(), &sink);
  }
  if (cnf.outOfMemory) return 0;

  if (cnf.schedule >= 0) section->AddInt(IDS_KEY_SCHEDULE, cnf.schedule);
  if (cnf.hasTablePath) section->Add(IDS_KEY_TABLEPATH, 0, cnf.tablePath);
  char tablePath[kTablePathSize];
  SettingsValueAsRead(cnf.hasTablePath ? cnf.tablePath : "", tablePath, sizeof tablePath);
  Unescape(tablePath, 1);
  return ResolveScheduleFiles(&cnf, tablePath, section) &&
         AddTableIfFound("HOLIDAY.TBL", tablePath, IDS_KEY_HOLIDAYTBL, section) &&
         AddTableIfFound("GENGO.TBL", tablePath, IDS_KEY_GENGOTBL, section);
}

// How a load ended: only a failure other than TODAY.CNF being absent is
// worth another try.
enum LoadEnd { kLoaded, kLoadAbsent, kLoadFailed };

LoadEnd LoadSection() {
  const LONG failures = g_settingsFailures;
  if (!(ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault) & kFlagUseToday)) {
    if (g_settingsFailures != failures) return kLoadFailed;
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
    return kLoaded;
  }
  g_searchFailed = 0;
  SectionText section;
  int absent = 0;
  int gathered = GatherTodayConfig(&section, &absent);
  if (g_settingsFailures != failures || !section.ok()) return kLoadFailed;
  if (!gathered) {
    if (!absent) return kLoadFailed;
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
    return kLoadAbsent;
  }
  return WriteSettingSection(IDS_SECTION_TODAYTEMP, section.lines()) ? kLoaded : kLoadFailed;
}

// Set while the last load failed and is to be tried again from g_retryTick on.
int g_retryLoad;
DWORD g_retryTick;
LONG g_sectionGeneration;

}  // namespace

// Everything is gathered before $TodayTemp is touched: a reload that cannot
// read what is there keeps the section that worked, and chips their marks.
int LoadTodayConfig() {
  const int healing = g_retryLoad;
  const LoadEnd end = LoadSection();
  g_retryLoad = end == kLoadFailed;
  g_retryTick = GetTickCount() + kRetrySpan;
  // Marks computed while the section was missing or kept are out of date.
  if (end != kLoadFailed && healing) ++g_sectionGeneration;
  return end == kLoaded;
}

int RetryTodayConfig() {
  // Wraps around with the tick count: due once the tick has passed it.
  if (!g_retryLoad || (LONG)(GetTickCount() - g_retryTick) < 0) return 0;
  LoadTodayConfig();
  return !g_retryLoad;
}

int TodayLoadFailed() { return g_retryLoad; }

LONG TodaySectionGeneration() { return g_sectionGeneration; }
