#include "host/configure.h"

#include <stdio.h>
#include <string.h>

namespace {

const char* FindValue(const SettingsKeys& keys, const std::string& key) {
  for (const auto& k : keys)
    if (!lstrcmpiA(k.first.c_str(), key.c_str())) return k.second.c_str();
  return nullptr;
}

}  // namespace

SettingsKeys ReadSettingsKeys(const SettingsFile& settings) {
  SettingsKeys keys;
  std::vector<char> buffer(32767);
  DWORD n = GetPrivateProfileSectionA(settings.section.c_str(), buffer.data(), (DWORD)buffer.size(),
                                     settings.path.c_str());
  for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += strlen(p) + 1) {
    const char* eq = strchr(p, '=');
    if (eq) keys.emplace_back(std::string(p, eq - p), eq + 1);
    else keys.emplace_back(p, "");
  }
  return keys;
}

int PrintSettingsChanges(const SettingsKeys& before, const SettingsKeys& after) {
  int changes = 0;
  for (const auto& k : after) {
    const char* old = FindValue(before, k.first);
    if (old && old == k.second) continue;
    if (old) printf("changed: %s \"%s\" -> \"%s\"\n", k.first.c_str(), old, k.second.c_str());
    else printf("added: %s \"%s\"\n", k.first.c_str(), k.second.c_str());
    ++changes;
  }
  for (const auto& k : before) {
    if (FindValue(after, k.first)) continue;
    printf("removed: %s \"%s\"\n", k.first.c_str(), k.second.c_str());
    ++changes;
  }
  if (!changes) printf("settings unchanged\n");
  return changes;
}

int HostConfigure(const DxlApi* api, HWND owner) {
  if (!api->DrawExConfigure) {
    printf("the library has no DrawExConfigure\n");
    return 0;
  }
  SettingsFile settings = LibrarySettingsFile(api->file);
  printf("settings file: %s [%s]\n", settings.path.c_str(), settings.section.c_str());
  SettingsKeys before = ReadSettingsKeys(settings);
  int result = api->DrawExConfigure(owner);
  printf("DrawExConfigure: %d\n", result);
  PrintSettingsChanges(before, ReadSettingsKeys(settings));
  return result;
}

int ConfigureFromChipMenu(const DxlApi* api, HostChip* chip) {
  HostConfigure(api, chip->window);
  if (chip->chip) HostUpdate(api, chip);
  return 1;
}
