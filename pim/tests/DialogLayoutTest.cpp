#include "pim/DialogLayout.h"
#include "platform/tests/ByteMutator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes a dialog template as the resource compiler does, plain or extended.
class CTemplateWriter {
 public:
  CTemplateWriter(bool extended, DWORD style, int items) : m_extended(extended) {
    if (extended) {
      Word(1);
      Word(0xFFFF);
      Dword(0);
      Dword(0);
      Dword(style);
    } else {
      Dword(style);
      Dword(0);
    }
    Word(static_cast<WORD>(items));
    for (int i = 0; i < 4; ++i) Word(i < 2 ? 0 : 100);
    Word(0);  // no menu
    Word(0);  // default class
    Text(L"");
    if (style & DS_SETFONT) {
      Word(8);
      if (extended) {
        Word(400);
        Word(0);
      }
      Text(L"Tahoma");
    }
  }
  // classOrdinal 0x80 button, 0x82 static, 0x83 list box; title text or ordinal.
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classOrdinal, const wchar_t* title,
            WORD titleOrdinal = 0) {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
    if (m_extended) {
      Dword(0);
      Dword(0);
      Dword(style | WS_CHILD | WS_VISIBLE);
    } else {
      Dword(style | WS_CHILD | WS_VISIBLE);
      Dword(0);
    }
    for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    if (m_extended) Dword(id == 0xFFFF ? 0xFFFFFFFF : id);
    else Word(id);
    Word(0xFFFF);
    Word(classOrdinal);
    if (title) {
      Text(title);
    } else {
      Word(0xFFFF);
      Word(titleOrdinal);
    }
    Word(0);
  }
  const std::vector<BYTE>& Bytes() const { return m_bytes; }
  const DLGTEMPLATE* Template() {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
    return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data());
  }

 private:
  void Word(WORD w) { m_bytes.insert(m_bytes.end(), reinterpret_cast<BYTE*>(&w), reinterpret_cast<BYTE*>(&w) + 2); }
  void Dword(DWORD d) { m_bytes.insert(m_bytes.end(), reinterpret_cast<BYTE*>(&d), reinterpret_cast<BYTE*>(&d) + 4); }
  void Text(const wchar_t* text) {
    for (; *text; ++text) Word(*text);
    Word(0);
  }
  bool m_extended;
  std::vector<BYTE> m_bytes;
};

INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND MakeDialog(bool extended) {
  CTemplateWriter portrait(extended, WS_POPUP | DS_SETFONT, 3);
  portrait.Item(SS_LEFT, 0, 0, 20, 10, 100, 0x82, L"Old");
  portrait.Item(BS_PUSHBUTTON, 0, 12, 20, 10, 101, 0x80, L"Button");
  portrait.Item(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 24, 40, 30, 102, 0x83, L"");
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), portrait.Template(), nullptr, NoProc, 0);
}

RECT PlaceOf(HWND dialog, int id) {
  RECT rect = {};
  HWND control = GetDlgItem(dialog, id);
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT Mapped(HWND dialog, RECT rect) {
  MapDialogRect(dialog, &rect);
  return rect;
}

TEST(DialogLayoutTest, ControlsTakeTheOtherTemplatesPlacesAndTexts) {
  for (bool extended : {false, true}) {
    HWND dialog = MakeDialog(extended);
    ASSERT_NE(nullptr, dialog);
    SendDlgItemMessageW(dialog, 102, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"a"));
    SendDlgItemMessageW(dialog, 102, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"b"));
    SendDlgItemMessageW(dialog, 102, LB_SETCURSEL, 1, 0);
    CTemplateWriter landscape(extended, WS_POPUP | DS_SETFONT, 4);
    landscape.Item(SS_LEFT, 50, 2, 30, 10, 100, 0x82, L"New");
    landscape.Item(BS_PUSHBUTTON, 50, 14, 30, 12, 101, 0x80, L"Go");
    landscape.Item(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 2, 2, 44, 60, 102, 0x83, L"");
    landscape.Item(SS_LEFT, 0, 0, 5, 5, 999, 0x82, L"not in the dialog");
    EXPECT_TRUE(LayoutDialogFromTemplateData(nullptr, dialog, landscape.Bytes().data(),
                                             static_cast<DWORD>(landscape.Bytes().size())))
        << extended;
    const RECT expected[] = {{50, 2, 80, 12}, {50, 14, 80, 26}, {2, 2, 46, 62}};
    for (int i = 0; i < 3; ++i) {
      const RECT want = Mapped(dialog, expected[i]), got = PlaceOf(dialog, 100 + i);
      EXPECT_TRUE(EqualRect(&want, &got)) << extended << " control " << 100 + i;
    }
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog, 100, text, 32);
    EXPECT_STREQ(L"New", text);
    GetDlgItemTextW(dialog, 101, text, 32);
    EXPECT_STREQ(L"Go", text);
    EXPECT_EQ(1, SendDlgItemMessageW(dialog, 102, LB_GETCURSEL, 0, 0)) << "the selection stays";
    DestroyWindow(dialog);
  }
}

TEST(DialogLayoutTest, RefusesWhatCannotBeTold) {
  HWND dialog = MakeDialog(false);
  CTemplateWriter twins(false, WS_POPUP, 3);
  twins.Item(SS_LEFT, 0, 0, 5, 5, 0xFFFF, 0x82, L"a");
  twins.Item(SS_LEFT, 0, 0, 5, 5, 0xFFFF, 0x82, L"b");
  twins.Item(SS_LEFT, 60, 0, 20, 10, 100, 0x82, L"Moved");
  EXPECT_FALSE(LayoutDialogFromTemplateData(nullptr, dialog, twins.Bytes().data(),
                                            static_cast<DWORD>(twins.Bytes().size())));
  wchar_t text[32] = {};
  GetDlgItemTextW(dialog, 100, text, 32);
  EXPECT_STREQ(L"Moved", text) << "the controls that can be told apart are still placed";
  EXPECT_FALSE(LayoutDialogFromTemplate(GetModuleHandleW(nullptr), dialog, MAKEINTRESOURCEW(4321))) << "missing";
  EXPECT_FALSE(LayoutDialogFromTemplateData(nullptr, dialog, twins.Bytes().data(), 20)) << "truncated";
  EXPECT_FALSE(LayoutDialogFromTemplateData(nullptr, dialog, nullptr, 100));
  DestroyWindow(dialog);
}

// Templates come from resource libraries others may have built: any bytes.
TEST(DialogLayoutTest, AnyTemplateBytesAreSafe) {
  for (bool extended : {false, true}) {
    HWND dialog = MakeDialog(extended);
    CTemplateWriter source(extended, WS_POPUP | DS_SETFONT, 3);
    source.Item(SS_LEFT, 50, 2, 30, 10, 100, 0x82, L"New");
    source.Item(SS_ICON, 50, 14, 30, 12, 101, 0x82, nullptr, 32512);
    source.Item(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 2, 2, 44, 60, 102, 0x83, L"");
    fixtures::ByteMutator mutator(extended ? 11 : 12);
    for (int i = 0; i < 2000; ++i) {
      const std::vector<BYTE> bytes = mutator.Edit(source.Bytes(), 6);
      // Now and then a size short of the bytes, as a caller that lies about them.
      const DWORD size = static_cast<DWORD>(mutator.Below(4) ? bytes.size() : mutator.Below(bytes.size()));
      LayoutDialogFromTemplateData(nullptr, dialog, bytes.data(), size);
    }
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(dialog);
  }
}

}  // namespace
