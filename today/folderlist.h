// Folder listings that let a long search skip folders that certainly do not
// hold a name: under Wine every look into a large folder such as system32
// scans it without regard to case.
#pragma once

#include <windows.h>

class FolderListings {
 public:
  FolderListings();
  ~FolderListings();
  FolderListings(const FolderListings&) = delete;
  FolderListings& operator=(const FolderListings&) = delete;

  // FALSE when path, a folder and a name, certainly names nothing; TRUE
  // when it may name a file, which only the file system tells.
  BOOL MayExist(const char* path);

 private:
  enum { kMaxFolders = 32 };
  struct Listing {
    char* folder;  // with its final backslash
    int usable;
    char* names;  // upper-case ASCII names, each terminated
    int* slots;   // offsets into names, -1 empty
    unsigned mask;
  };
  Listing* Find(const char* folder, int folderLength);
  int Build(Listing* listing);
  int Contains(const Listing* listing, const char* upperName) const;

  Listing listings_[kMaxFolders];
  int count_;
};
