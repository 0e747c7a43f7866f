#include "today/tablesearch.h"

#include <string.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/leadbyte.h"
#include "text/strbasic.h"
#include "text/textutil.h"
#include "text/winfile.h"
#include "today/todayconfig.h"

char g_pathBuffer[kPathBufferSize];
FolderListings* g_folderListings;
int g_searchFailed;

namespace {

// The candidate paths of the list search are built in a buffer as large as
// the readers' line buffer, process-wide like it.
char g_candidate[kTableLineMax + 1];

// Appends src to dest (holding len bytes) within size; 0 when it does not fit.
int AppendBounded(char* dest, size_t* len, size_t size, const char* src) {
  size_t add = strlen(src);
  if (*len + add + 1 > size) return 0;
  memcpy(dest + *len, src, add + 1);
  *len += add;
  return 1;
}

// Whether text ends with a single-byte '\' (a trail byte 0x5C does not count).
int EndsWithBackslash(const char* text) {
  const char* last = FindLastChar(text, '\\');
  return last && last[1] == '\0';
}

void CopyBounded(char* output, int size, const char* src) {
  if (size <= 0) return;
  size_t n = strnlen(src, (size_t)size - 1);
  memcpy(output, src, n);
  output[n] = '\0';
}

// A place that could not be looked into is a miss, unless the machine was
// too short to look.
void NoteFailedLookup() {
  if (IsShortageError(GetLastError())) g_searchFailed = 1;
}

BOOL ProbeTableFile(const char* path) {
  if (g_folderListings && !g_folderListings->MayExist(path)) return FALSE;
  return LookUpNotingFailure(path);
}

// Tests one list element (already in g_candidate, len bytes) with the name.
BOOL TryCandidate(size_t len, int endsWithBackslash, const char* name, char* output, int size) {
  if (len == 0) return FALSE;
  if (!endsWithBackslash && !AppendBounded(g_candidate, &len, sizeof g_candidate, "\\")) return FALSE;
  if (!AppendBounded(g_candidate, &len, sizeof g_candidate, name)) return FALSE;
  if (!ProbeTableFile(g_candidate)) return FALSE;
  CopyBounded(output, size, g_candidate);
  return TRUE;
}

BOOL SearchDirectoryList(const char* name, const char* list, char* output, int size) {
  size_t len = 0;
  int overflow = 0;
  int lastWasBackslash = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(list);
  for (;;) {
    unsigned char c = *p;
    if (c == '\0' || c == ';') {
      g_candidate[len] = '\0';
      if (!overflow && TryCandidate(len, lastWasBackslash, name, output, size)) return TRUE;
      if (c == '\0') return FALSE;
      len = 0;
      overflow = 0;
      lastWasBackslash = 0;
      ++p;
      continue;
    }
    int width = (IsLeadByte(c) && p[1] != '\0') ? 2 : 1;
    if (len + width < sizeof g_candidate) {
      if (width == 2) {
        g_candidate[len++] = (char)c;
        g_candidate[len++] = (char)p[1];
      } else {
        g_candidate[len++] = (c == '/') ? '\\' : (char)c;
      }
    } else {
      overflow = 1;  // such a candidate cannot fit: the element simply fails
    }
    lastWasBackslash = (width == 1 && (c == '/' || c == '\\'));
    p += width;
  }
}

BOOL SearchEnvironmentList(const char* variable, const char* name, char* output, int size) {
  DWORD length = GetEnvironmentVariableA(variable, nullptr, 0);
  if (length == 0) return FALSE;
  char* value = static_cast<char*>(LocalAlloc(LPTR, length + 1));
  if (!value) {
    g_searchFailed = 1;
    return FALSE;
  }
  GetEnvironmentVariableA(variable, value, length + 1);
  value[length] = '\0';
  BOOL found = SearchDirectoryList(name, value, output, size);
  LocalFree(value);
  return found;
}

BOOL SearchLibraryFolder(const char* name, char* output, int size) {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(g_hInstance, path, MAX_PATH);
  // A folder that cannot even be named is not known to lack the file.
  if (n == 0 || n >= MAX_PATH) {
    g_searchFailed = 1;
    return FALSE;
  }
  path[n] = '\0';
  char* slash = FindLastChar(path, '\\');
  if (!slash) return FALSE;
  slash[1] = '\0';
  size_t len = strlen(path);
  if (!AppendBounded(path, &len, sizeof path, name)) return FALSE;
  if (!ProbeTableFile(path)) return FALSE;
  if (len + 1 > (size_t)size) return FALSE;
  CopyBounded(output, size, path);
  return TRUE;
}

BOOL SearchCurrentDirectory(const char* name, char* output, int size) {
  if (size <= 0) return FALSE;
  DWORD n = GetCurrentDirectoryA((DWORD)size, output);
  if (n == 0) NoteFailedLookup();
  if (n == 0 || n >= (DWORD)size) {
    output[0] = '\0';
    return FALSE;
  }
  size_t len = n;
  if (!EndsWithBackslash(output) && !AppendBounded(output, &len, (size_t)size, "\\")) return FALSE;
  if (!AppendBounded(output, &len, (size_t)size, name)) return FALSE;
  return ProbeTableFile(output);
}

}  // namespace

BOOL LookUpNotingFailure(const char* path) {
  FileLookup lookup = LookUpFile(path);
  if (lookup == kFileLookupFailed) g_searchFailed = 1;
  return lookup == kFileFound;
}

BOOL FindTableFile(const char* name, BOOL skipTablePaths, char* output, int size) {
  if (skipTablePaths) return FindTableFileAlong(name, nullptr, output, size);
  char tablePath[kTablePathSize];
  ReadSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_TABLEPATH, "", tablePath, sizeof tablePath);
  Unescape(tablePath, 1);
  return FindTableFileAlong(name, tablePath, output, size);
}

BOOL FindTableFileAlong(const char* name, const char* tablePath, char* output, int size) {
  if (!name || !name[0] || !output || size <= 0) return FALSE;
  if (tablePath) {
    if (SearchDirectoryList(name, tablePath, output, size)) return TRUE;
    if (SearchEnvironmentList("TODAYTBL", name, output, size)) return TRUE;
  }
  if (SearchLibraryFolder(name, output, size)) return TRUE;
  if (SearchEnvironmentList("PATH", name, output, size)) return TRUE;
  return SearchCurrentDirectory(name, output, size);
}
