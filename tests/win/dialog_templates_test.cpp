// Dialogs 101 and 102 as their templates lay them out: every control in tab
// order, with its class, text, place and style.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

// ---- the template as the resource holds it

struct TemplateItem {
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::wstring cls;
  std::wstring text;
};

struct DialogTemplate {
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring title, font;
  WORD pointSize = 0;
  std::vector<TemplateItem> items;
};

// A name or ordinal field; ordinals of the predefined classes become names.
std::wstring ReadNameOrOrdinal(const WORD*& p) {
  if (*p == 0xFFFF) {
    WORD ordinal = p[1];
    p += 2;
    switch (ordinal) {
      case 0x80: return L"Button";
      case 0x81: return L"Edit";
      case 0x82: return L"Static";
      default: return L"#" + std::to_wstring(ordinal);
    }
  }
  std::wstring s;
  while (*p) s += (wchar_t)*p++;
  ++p;
  return s;
}

bool ReadTemplate(UINT id, DialogTemplate* out) {
  HRSRC res = FindResourceA(g_hInstance, MAKEINTRESOURCEA(id), RT_DIALOG);
  const BYTE* base = res ? static_cast<const BYTE*>(LockResource(LoadResource(g_hInstance, res))) : nullptr;
  if (!base) return false;
  const DLGTEMPLATE* t = reinterpret_cast<const DLGTEMPLATE*>(base);
  if (HIWORD(t->style) == 0xFFFF) return false;  // an extended template
  out->style = t->style;
  out->exStyle = t->dwExtendedStyle;
  out->x = t->x, out->y = t->y, out->cx = t->cx, out->cy = t->cy;
  const WORD* p = reinterpret_cast<const WORD*>(t + 1);
  ReadNameOrOrdinal(p);  // menu
  ReadNameOrOrdinal(p);  // class
  out->title = ReadNameOrOrdinal(p);
  if (t->style & DS_SETFONT) {
    out->pointSize = *p++;
    out->font = ReadNameOrOrdinal(p);
  }
  for (int i = 0; i < t->cdit; ++i) {
    p = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~(uintptr_t)3);
    const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
    TemplateItem it;
    it.style = item->style;
    it.x = item->x, it.y = item->y, it.cx = item->cx, it.cy = item->cy;
    it.id = (short)item->id;
    p = reinterpret_cast<const WORD*>(item + 1);
    it.cls = ReadNameOrOrdinal(p);
    it.text = ReadNameOrOrdinal(p);
    p += 1 + *p / 2;  // creation data
    out->items.push_back(it);
  }
  return true;
}

TEST(ConfigDialogTemplate, LayoutOfResource101) {
  DialogTemplate t;
  ASSERT_TRUE(ReadTemplate(IDD_CONFIG, &t));
  EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
  EXPECT_EQ((DWORD)WS_EX_CONTEXTHELP, t.exStyle);
  EXPECT_EQ(211, t.cx);
  EXPECT_EQ(235, t.cy);
  EXPECT_TRUE(t.title == L"タルニヴェルの設定");
  EXPECT_EQ(9, t.pointSize);
  EXPECT_TRUE(t.font == L"ＭＳ Ｐゴシック");

  const DWORD base = WS_CHILD | WS_VISIBLE;
  const DWORD label = base | SS_LEFT | WS_GROUP;
  const DWORD edit = base | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  const DWORD push = base | BS_PUSHBUTTON | WS_TABSTOP;
  const wchar_t* kAnyText = nullptr;
  struct Expected {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
  } expected[] = {
      {-1, L"Button", L"TODAY の利用", 7, 7, 197, 124, base | BS_GROUPBOX | WS_GROUP},
      {-1, L"Static", kAnyText, 13, 19, 184, 16, label},
      {1101, L"Button", L"TODAY の登録ファイルを利用する(&C)", 13, 40, 130, 10,
       base | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
      {1102, L"Button", L"休日/スケジュールをポップアップ表示(&P)", 13, 53, 160, 10,
       base | BS_AUTOCHECKBOX | WS_TABSTOP},
      {-1, L"Static", L"環境登録ファイル(&F):", 13, 70, 100, 8, label},
      {1103, L"Edit", L"", 13, 80, 138, 14, edit},
      {1104, L"Button", L"参照(&B)...", 156, 80, 40, 14, push},
      {-1, L"Static", L"テキスト編集用エディタ(&E):", 13, 99, 100, 8, label},
      {1105, L"Edit", L"", 13, 109, 138, 14, edit},
      {1106, L"Button", L"参照(&R)...", 156, 109, 40, 14, push},
      {-1, L"Button", L"今日は何の日?", 7, 138, 197, 66, base | BS_GROUPBOX | WS_GROUP},
      {-1, L"Static",
       L"タルニヴェル上の日付をクリックしたとき、または描画拡張メニューから、指定したコマンドを起動することができます。",
       13, 150, 184, 16, label},
      {-1, L"Static", L"コマンド ライン(&L):", 13, 171, 70, 8, label},
      {1107, L"Edit", L"", 13, 182, 138, 14, edit},
      {1108, L"Button", L"参照(&O)...", 156, 182, 40, 14, push},
      {IDOK, L"Button", L"OK", 111, 214, 45, 14, push | WS_GROUP},
      {IDCANCEL, L"Button", L"キャンセル", 159, 214, 45, 14, push},
  };
  ASSERT_EQ(sizeof expected / sizeof expected[0], t.items.size());
  for (size_t i = 0; i < t.items.size(); ++i) {
    const Expected& e = expected[i];
    const TemplateItem& it = t.items[i];
    EXPECT_EQ(e.id, it.id) << "control " << i << " in tab order";
    EXPECT_EQ(0, lstrcmpiW(it.cls.c_str(), e.cls)) << "class of control " << e.id << " at " << i;
    if (e.text) EXPECT_TRUE(it.text == e.text) << "text of control " << e.id << " at " << i;
    else EXPECT_FALSE(it.text.empty()) << "the explanation at " << i;
    EXPECT_TRUE(it.x == e.x && it.y == e.y && it.cx == e.cx && it.cy == e.cy)
        << "control " << e.id << " at " << i << ": " << it.x << "," << it.y << "," << it.cx << "," << it.cy;
    EXPECT_EQ(e.style, it.style) << std::hex << "style of control " << std::dec << e.id << " at " << i;
  }
}

// Dialog 102 as the template lays it out: every control in tab order.
class TemplateReader {
 public:
  explicit TemplateReader(const uint8_t* p) : p_(p) {}
  uint16_t Word() { uint16_t v; memcpy(&v, p_, 2); p_ += 2; return v; }
  uint32_t Dword() { uint32_t v; memcpy(&v, p_, 4); p_ += 4; return v; }
  uint8_t Byte() { return *p_++; }
  std::u16string String() {
    std::u16string s;
    for (uint16_t c; (c = Word()) != 0;) s += (char16_t)c;
    return s;
  }
  // A name or an ordinal: 0xFFFF and the ordinal, or a string.
  std::u16string NameOrOrdinal() {
    uint16_t first;
    memcpy(&first, p_, 2);
    if (first == 0xFFFF) {
      p_ += 2;
      return std::u16string(1, (char16_t)Word()) + u"#";
    }
    return String();
  }
  void AlignDword(const uint8_t* base) { p_ += (4 - (p_ - base) % 4) % 4; }
  void Skip(size_t n) { p_ += n; }
  const uint8_t* at() const { return p_; }

 private:
  const uint8_t* p_;
};

// A predefined class given by name is the same as its ordinal.
std::u16string ClassOrdinal(const std::u16string& cls) {
  const std::pair<const char16_t*, char16_t> known[] = {
      {u"button", 0x80}, {u"edit", 0x81}, {u"static", 0x82}, {u"combobox", 0x85}};
  std::u16string lower;
  for (char16_t c : cls) lower += (c >= u'A' && c <= u'Z') ? (char16_t)(c + 32) : c;
  for (const auto& k : known)
    if (lower == k.first) return std::u16string(1, k.second) + u"#";
  return cls;
}

TEST(ChipSettingsResource, Dialog102AsLaidOut) {
  HRSRC res = FindResourceExA(g_hInstance, RT_DIALOG, MAKEINTRESOURCEA(IDD_CHIPSETTINGS),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(nullptr, res);
  const uint8_t* base = static_cast<const uint8_t*>(LockResource(LoadResource(g_hInstance, res)));
  ASSERT_NE(nullptr, base);
  TemplateReader r(base);
  ASSERT_EQ(1, r.Word());
  ASSERT_EQ(0xFFFF, r.Word()) << "an extended template";
  r.Dword();  // help id
  EXPECT_EQ((uint32_t)WS_EX_CONTEXTHELP, r.Dword());
  EXPECT_EQ((uint32_t)(WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), r.Dword());
  const uint16_t count = r.Word();
  uint16_t box[4];
  for (uint16_t& v : box) v = r.Word();
  EXPECT_TRUE(box[0] == 0 && box[1] == 0 && box[2] == 219 && box[3] == 148);
  EXPECT_EQ(u"", r.NameOrOrdinal()) << "no menu";
  EXPECT_EQ(u"", r.NameOrOrdinal()) << "the standard class";
  EXPECT_EQ(u"入力ヘルパー", r.String());
  EXPECT_EQ(9, r.Word()) << "points";
  r.Word();  // weight
  r.Byte();  // italic
  r.Byte();  // character set
  EXPECT_EQ(u"ＭＳ Ｐゴシック", r.String());

  const std::u16string button = u"\x80#", edit = u"\x81#", stat = u"\x82#", combo = u"\x85#";
  const DWORD colorCombo = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL | WS_TABSTOP;
  struct Control {
    int id;
    std::u16string cls;
    std::u16string text;
    DWORD style;
    uint16_t at[4];
  } controls[] = {
      {-1, button, u"表示する年月", BS_GROUPBOX | WS_GROUP, {7, 7, 88, 60}},
      {IDC_CHIP_THISMONTH, button, u"今月(&M)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, {13, 20, 40, 10}},
      {IDC_CHIP_GIVENMONTH, button, u"指定(&O):", BS_AUTORADIOBUTTON, {13, 32, 40, 10}},
      {IDC_CHIP_YEAR, edit, u"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP, {24, 45, 22, 13}},
      {-1, stat, u"年", SS_LEFT | WS_GROUP, {49, 47, 12, 8}},
      {IDC_CHIP_MONTH, edit, u"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, {62, 45, 14, 13}},
      {-1, stat, u"月", SS_LEFT | WS_GROUP, {79, 47, 12, 8}},
      {IDC_CHIP_TWOMONTHS, button, u"2ヶ月表示(&T)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, {7, 74, 60, 10}},
      {IDC_CHIP_STACKED, button, u"縦に並べる(&V)", BS_AUTOCHECKBOX | WS_TABSTOP, {7, 87, 58, 10}},
      {IDC_CHIP_ENGLISH, button, u"月/曜日を英語で表示(&E)", BS_AUTOCHECKBOX | WS_TABSTOP, {7, 101, 90, 10}},
      {-1, button, u"色と書体", BS_GROUPBOX | WS_GROUP, {102, 7, 110, 107}},
      {-1, stat, u"今日の背景(&G):", SS_LEFT | WS_GROUP, {109, 22, 52, 8}},
      {IDC_CHIP_TODAYCOLOR, combo, u"", colorCombo, {164, 20, 40, 100}},
      {-1, stat, u"日曜日(&S):", SS_LEFT | WS_GROUP, {109, 40, 52, 8}},
      {IDC_CHIP_SUNDAYCOLOR, combo, u"", colorCombo, {164, 38, 40, 100}},
      {-1, stat, u"土曜日(&U):", SS_LEFT | WS_GROUP, {109, 58, 52, 8}},
      {IDC_CHIP_SATURDAYCOLOR, combo, u"", colorCombo, {164, 56, 40, 100}},
      {-1, stat, u"休日/祝日(&H):", SS_LEFT | WS_GROUP, {109, 76, 52, 8}},
      {IDC_CHIP_HOLIDAYCOLOR, combo, u"", colorCombo, {164, 74, 40, 100}},
      {-1, stat, u"スケジュール(&D):", SS_LEFT | WS_GROUP, {109, 94, 52, 8}},
      {IDC_CHIP_SCHEDULESTYLE, combo, u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {164, 92, 40, 80}},
      {IDOK, button, u"OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, {118, 126, 45, 14}},
      {IDCANCEL, button, u"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, {167, 126, 45, 14}},
  };
  ASSERT_EQ(sizeof controls / sizeof controls[0], count);
  for (const Control& c : controls) {
    r.AlignDword(base);
    r.Dword();  // help id
    EXPECT_EQ(0u, r.Dword()) << "control " << c.id << ": extended style";
    EXPECT_EQ(c.style | WS_CHILD | WS_VISIBLE, r.Dword()) << "control " << c.id;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.at[i], r.Word()) << "control " << c.id << " position " << i;
    EXPECT_EQ(c.id, (int)r.Dword());
    EXPECT_TRUE(c.cls == ClassOrdinal(r.NameOrOrdinal())) << "control " << c.id << ": class";
    EXPECT_TRUE(c.text == r.NameOrOrdinal()) << "control " << c.id << ": text";
    r.Skip(r.Word());  // creation data
  }
}


}  // namespace
