// Dialogs 101 and 102 as their templates lay them out: every control in tab
// order, with its class, text, place and style.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "tests/common/dialogtemplate.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// One row of a layout table; a null text accepts any text but an empty one.
struct ExpectedControl {
  int id;
  const wchar_t* cls;
  const wchar_t* text;
  short x, y, cx, cy;
  DWORD style;  // WS_CHILD and WS_VISIBLE are always expected too
};

// Every control in tab order as the table says, with no extended style.
void ExpectControls(const DialogTemplate& t, const ExpectedControl* expected, size_t count) {
  ASSERT_EQ(count, t.controls.size());
  for (size_t i = 0; i < count; ++i) {
    const ExpectedControl& e = expected[i];
    const TemplateControl& c = t.controls[i];
    EXPECT_EQ(e.id, c.id) << "control " << i << " in tab order";
    EXPECT_EQ(0, lstrcmpiW(c.cls.c_str(), e.cls)) << "class of control " << e.id << " at " << i;
    if (e.text) EXPECT_TRUE(c.text == e.text) << "text of control " << e.id << " at " << i;
    else EXPECT_FALSE(c.text.empty()) << "the text of control " << e.id << " at " << i;
    EXPECT_TRUE(c.x == e.x && c.y == e.y && c.cx == e.cx && c.cy == e.cy)
        << "control " << e.id << " at " << i << ": " << c.x << "," << c.y << "," << c.cx << "," << c.cy;
    EXPECT_EQ(e.style | WS_CHILD | WS_VISIBLE, c.style)
        << std::hex << "style of control " << std::dec << e.id << " at " << i;
    EXPECT_EQ(0u, c.exStyle) << "extended style of control " << e.id << " at " << i;
  }
}

TEST(ConfigDialogTemplate, LayoutOfResource101) {
  DialogTemplate t;
  ASSERT_TRUE(ReadDialogTemplate(g_hInstance, IDD_CONFIG, kJapanese, &t));
  EXPECT_FALSE(t.extended);
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
  const ExpectedControl expected[] = {
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
  ExpectControls(t, expected, sizeof expected / sizeof expected[0]);
}

TEST(ChipSettingsResource, Dialog102AsLaidOut) {
  DialogTemplate t;
  ASSERT_TRUE(ReadDialogTemplate(g_hInstance, IDD_CHIPSETTINGS, kJapanese, &t));
  EXPECT_TRUE(t.extended);
  EXPECT_EQ((DWORD)WS_EX_CONTEXTHELP, t.exStyle);
  EXPECT_EQ((DWORD)(WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
  EXPECT_TRUE(t.x == 0 && t.y == 0 && t.cx == 219 && t.cy == 148);
  EXPECT_TRUE(t.menu.empty()) << "no menu";
  EXPECT_TRUE(t.cls.empty()) << "the standard class";
  EXPECT_TRUE(t.title == L"入力ヘルパー");
  EXPECT_EQ(9, t.pointSize);
  EXPECT_TRUE(t.font == L"ＭＳ Ｐゴシック");

  const wchar_t *button = L"Button", *edit = L"Edit", *stat = L"Static", *combo = L"ComboBox";
  const DWORD colorCombo = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL | WS_TABSTOP;
  const ExpectedControl controls[] = {
      {-1, button, L"表示する年月", 7, 7, 88, 60, BS_GROUPBOX | WS_GROUP},
      {IDC_CHIP_THISMONTH, button, L"今月(&M)", 13, 20, 40, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
      {IDC_CHIP_GIVENMONTH, button, L"指定(&O):", 13, 32, 40, 10, BS_AUTORADIOBUTTON},
      {IDC_CHIP_YEAR, edit, L"", 24, 45, 22, 13, ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP},
      {-1, stat, L"年", 49, 47, 12, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_MONTH, edit, L"", 62, 45, 14, 13, ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
      {-1, stat, L"月", 79, 47, 12, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_TWOMONTHS, button, L"2ヶ月表示(&T)", 7, 74, 60, 10, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
      {IDC_CHIP_STACKED, button, L"縦に並べる(&V)", 7, 87, 58, 10, BS_AUTOCHECKBOX | WS_TABSTOP},
      {IDC_CHIP_ENGLISH, button, L"月/曜日を英語で表示(&E)", 7, 101, 90, 10, BS_AUTOCHECKBOX | WS_TABSTOP},
      {-1, button, L"色と書体", 102, 7, 110, 107, BS_GROUPBOX | WS_GROUP},
      {-1, stat, L"今日の背景(&G):", 109, 22, 52, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_TODAYCOLOR, combo, L"", 164, 20, 40, 100, colorCombo},
      {-1, stat, L"日曜日(&S):", 109, 40, 52, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_SUNDAYCOLOR, combo, L"", 164, 38, 40, 100, colorCombo},
      {-1, stat, L"土曜日(&U):", 109, 58, 52, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_SATURDAYCOLOR, combo, L"", 164, 56, 40, 100, colorCombo},
      {-1, stat, L"休日/祝日(&H):", 109, 76, 52, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_HOLIDAYCOLOR, combo, L"", 164, 74, 40, 100, colorCombo},
      {-1, stat, L"スケジュール(&D):", 109, 94, 52, 8, SS_LEFT | WS_GROUP},
      {IDC_CHIP_SCHEDULESTYLE, combo, L"", 164, 92, 40, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
      {IDOK, button, L"OK", 118, 126, 45, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
      {IDCANCEL, button, L"キャンセル", 167, 126, 45, 14, BS_PUSHBUTTON | WS_TABSTOP},
  };
  ExpectControls(t, controls, sizeof controls / sizeof controls[0]);
}

}  // namespace
