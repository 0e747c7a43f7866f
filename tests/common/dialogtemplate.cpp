#include "tests/common/dialogtemplate.h"

#include <string.h>

namespace {

// Reads words, double words and strings without leaving the resource.
struct Cursor {
  const BYTE* base;
  size_t size, at;
  bool ok;

  bool Take(void* out, size_t n) {
    if (!ok || n > size - at) return ok = false;
    memcpy(out, base + at, n);
    at += n;
    return true;
  }
  WORD Word() {
    WORD v = 0;
    Take(&v, 2);
    return v;
  }
  DWORD Dword() {
    DWORD v = 0;
    Take(&v, 4);
    return v;
  }
  std::wstring String() {
    std::wstring s;
    for (WORD c; ok && (c = Word()) != 0;) s += (wchar_t)c;
    return s;
  }
  // 0xFFFF and an ordinal, or a string; the predefined classes by name.
  std::wstring NameOrOrdinal() {
    if (ok && at + 2 <= size && base[at] == 0xFF && base[at + 1] == 0xFF) {
      Word();
      WORD ordinal = Word();
      static const wchar_t* const kClasses[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
      if (ordinal >= 0x80 && ordinal <= 0x85) return kClasses[ordinal - 0x80];
      return L"#" + std::to_wstring(ordinal);
    }
    return String();
  }
  void Align() { at = (at + 3) & ~(size_t)3; }
};

}  // namespace

bool ReadDialogTemplate(HMODULE module, UINT id, WORD language, DialogTemplate* out) {
  HRSRC res = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(id), language);
  const BYTE* base = res ? static_cast<const BYTE*>(LockResource(LoadResource(module, res))) : nullptr;
  if (!base) return false;
  Cursor c = {base, SizeofResource(module, res), 0, true};
  *out = DialogTemplate();
  out->extended = c.size >= 4 && base[2] == 0xFF && base[3] == 0xFF;
  if (out->extended) {
    c.Word();   // version
    c.Word();   // signature
    c.Dword();  // help id
    out->exStyle = c.Dword();
    out->style = c.Dword();
  } else {
    out->style = c.Dword();
    out->exStyle = c.Dword();
  }
  WORD count = c.Word();
  out->x = c.Word(), out->y = c.Word(), out->cx = c.Word(), out->cy = c.Word();
  out->menu = c.NameOrOrdinal();
  out->cls = c.NameOrOrdinal();
  out->title = c.String();
  if (out->style & DS_SETFONT) {
    out->pointSize = c.Word();
    if (out->extended) c.Dword();  // weight, italic, character set
    out->font = c.String();
  }
  for (WORD i = 0; i < count && c.ok; ++i) {
    c.Align();
    TemplateControl t;
    if (out->extended) {
      t.helpId = c.Dword();
      t.exStyle = c.Dword();
      t.style = c.Dword();
    } else {
      t.helpId = 0;
      t.style = c.Dword();
      t.exStyle = c.Dword();
    }
    t.x = c.Word(), t.y = c.Word(), t.cx = c.Word(), t.cy = c.Word();
    t.id = out->extended ? (int)c.Dword() : (short)c.Word();
    t.cls = c.NameOrOrdinal();
    t.text = c.NameOrOrdinal();
    WORD extra = c.Word();
    c.at += extra <= c.size - c.at ? extra : c.size - c.at;  // creation data
    out->controls.push_back(t);
  }
  return c.ok;
}
