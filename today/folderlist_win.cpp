#include "today/folderlist.h"

#include <string.h>

#include "text/strbasic.h"

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

unsigned HashName(const char* name) {
  unsigned h = 2166136261u;
  for (const unsigned char* s = (const unsigned char*)name; *s; ++s) h = (h ^ *s) * 16777619u;
  return h;
}

int IsDeviceStem(const char* name) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  char stem[8];
  int n = 0;
  for (; name[n] && name[n] != '.' && n < (int)sizeof stem - 1; ++n) stem[n] = UpperAscii(name[n]);
  if (name[n] && name[n] != '.') return 0;
  stem[n] = '\0';
  for (const char* device : kDevices)
    if (strcmp(stem, device) == 0) return 1;
  return n == 4 && (memcmp(stem, "COM", 3) == 0 || memcmp(stem, "LPT", 3) == 0) && stem[3] >= '0' &&
         stem[3] <= '9';
}

// A name that a folder listing answers for: printable ASCII without
// wildcards, separators or the '~' of short names, without a blank or dot at
// its end that the system would drop, and no device.
int IsPlainName(const char* name) {
  size_t n = strlen(name);
  if (n == 0 || name[0] == ' ' || name[n - 1] == ' ' || name[n - 1] == '.') return 0;
  for (const unsigned char* s = (const unsigned char*)name; *s; ++s) {
    if (*s < 0x20 || *s > 0x7E || strchr("*?<>\"|:/\\~", *s)) return 0;
  }
  return !IsDeviceStem(name);
}

// Listed names are trusted only in printable ASCII without '?', the mark
// of a name the code page cannot show.
int IsListableName(const char* name) {
  for (const unsigned char* s = (const unsigned char*)name; *s; ++s)
    if (*s < 0x20 || *s > 0x7E || *s == '?') return 0;
  return 1;
}

}  // namespace

FolderListings::FolderListings() : count_(0) { memset(listings_, 0, sizeof listings_); }

FolderListings::~FolderListings() {
  for (int i = 0; i < count_; ++i) {
    if (listings_[i].folder) LocalFree(listings_[i].folder);
    if (listings_[i].names) LocalFree(listings_[i].names);
    if (listings_[i].slots) LocalFree(listings_[i].slots);
  }
}

BOOL FolderListings::MayExist(const char* path) {
  const char* slash = FindLastChar(path, '\\');
  if (!slash || !IsPlainName(slash + 1)) return TRUE;
  Listing* listing = Find(path, (int)(slash - path) + 1);
  if (!listing || !listing->usable) return TRUE;
  char upper[MAX_PATH];
  size_t n = strlen(slash + 1);
  if (n >= sizeof upper) return TRUE;
  for (size_t i = 0; i <= n; ++i) upper[i] = UpperAscii(slash[1 + i]);
  return Contains(listing, upper) ? TRUE : FALSE;
}

FolderListings::Listing* FolderListings::Find(const char* folder, int folderLength) {
  for (int i = 0; i < count_; ++i) {
    const char* known = listings_[i].folder;
    if ((int)strlen(known) == folderLength && memcmp(known, folder, (size_t)folderLength) == 0) return &listings_[i];
  }
  if (count_ == kMaxFolders || folderLength + 2 > MAX_PATH) return nullptr;
  Listing* listing = &listings_[count_];
  listing->folder = static_cast<char*>(LocalAlloc(LMEM_FIXED, (SIZE_T)folderLength + 1));
  if (!listing->folder) return nullptr;
  memcpy(listing->folder, folder, (size_t)folderLength);
  listing->folder[folderLength] = '\0';
  ++count_;
  listing->usable = Build(listing);
  return listing;
}

// Lists the folder once; 0 when the listing cannot answer for it.
int FolderListings::Build(Listing* listing) {
  if (!IsListableName(listing->folder) || strchr(listing->folder, '*')) return 0;
  char pattern[MAX_PATH];
  lstrcpynA(pattern, listing->folder, MAX_PATH - 1);
  lstrcatA(pattern, "*");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  size_t used = 0, capacity = 0;
  int entries = 0, ok = 1;
  do {
    const char* names[2] = {found.cFileName, found.cAlternateFileName};
    for (const char* name : names) {
      if (!name[0]) continue;
      if (!IsListableName(name)) {
        ok = 0;
        break;
      }
      size_t n = strlen(name) + 1;
      if (used + n > capacity) {
        size_t grown = capacity ? capacity * 2 : 4096;
        while (used + n > grown) grown *= 2;
        HLOCAL bigger = listing->names ? LocalReAlloc(listing->names, grown, LMEM_MOVEABLE)
                                       : LocalAlloc(LMEM_FIXED, grown);
        if (!bigger) {
          ok = 0;
          break;
        }
        listing->names = static_cast<char*>(bigger);
        capacity = grown;
      }
      for (size_t i = 0; i < n; ++i) listing->names[used + i] = UpperAscii(name[i]);
      used += n;
      ++entries;
    }
  } while (ok && FindNextFileA(search, &found));
  FindClose(search);
  if (!ok || !entries) return 0;

  unsigned size = 64;
  while (size < 2u * (unsigned)entries) size *= 2;
  listing->slots = static_cast<int*>(LocalAlloc(LMEM_FIXED, size * sizeof(int)));
  if (!listing->slots) return 0;
  for (unsigned i = 0; i < size; ++i) listing->slots[i] = -1;
  listing->mask = size - 1;
  for (size_t at = 0; at < used; at += strlen(listing->names + at) + 1) {
    unsigned i = HashName(listing->names + at) & listing->mask;
    while (listing->slots[i] >= 0) i = (i + 1) & listing->mask;
    listing->slots[i] = (int)at;
  }
  return 1;
}

int FolderListings::Contains(const Listing* listing, const char* upperName) const {
  for (unsigned i = HashName(upperName) & listing->mask; listing->slots[i] >= 0; i = (i + 1) & listing->mask)
    if (strcmp(listing->names + listing->slots[i], upperName) == 0) return 1;
  return 0;
}
