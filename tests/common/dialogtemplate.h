// A dialog template as the resource holds it, standard or extended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateControl {
  DWORD helpId, exStyle, style;
  short x, y, cx, cy;
  int id;
  std::wstring cls;  // predefined classes given by ordinal get their names
  std::wstring text;
};

struct DialogTemplate {
  bool extended = false;
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring menu, cls, title, font;
  WORD pointSize = 0;
  std::vector<TemplateControl> controls;
};

// Reads dialog `id` of `language` from module; false when it is missing or
// ends before its last control.
bool ReadDialogTemplate(HMODULE module, UINT id, WORD language, DialogTemplate* out);
