// The category icons section driven through the modal seam: colours, blends and
// icons of the selected category written at once, selection writing nothing, "no
// colour" keeping the blend, the owner kept disabled, the icon chooser and the delete
// question answered by the test; the colour grid's loop (Enter, Escape, a tap
// outside, a quit arriving while it runs).
#include "settings/pages/CategoryIconsDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"
#include "base/tests/DeviceRoot.h"
#include "controls/tests/DialogFixtures.h"
#include "graphics/tests/TestImages.h"
#include "pim/CategoriesList.h"
#include "pim/CategoryIcons.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/unzip/tests/ZipWriter.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/shell/UserPrompt.h"

namespace {

const wchar_t kColors[] = L"Software\\Korvel\\Qel Tarvo\\Colors";

bool ReadColor(const wchar_t* name, DWORD* value) {
  DWORD size = sizeof *value, type = 0;
  return RegGetValueW(HKEY_LOCAL_MACHINE, kColors, name, RRF_RT_ANY, &type, value, &size) == ERROR_SUCCESS;
}
void WriteColor(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kColors, name, REG_DWORD, &value, sizeof value);
}

std::vector<BYTE> Icon(int width, int height) {
  return testimg::MakeBmp(width, height, false, [](int x, int) { return x ? RGB(0, 255, 0) : RGB(200, 0, 0); });
}

int g_boxCalls = 0;
int g_boxAnswer = IDNO;
UINT g_boxType = 0;
int AnswerBox(HWND, LPCWSTR, LPCWSTR, UINT type) {
  ++g_boxCalls;
  g_boxType = type;
  return g_boxAnswer;
}

// Categories "Work", "Holiday", "Personal" (record order) on the classic store, an
// install folder whose "Icons\" holds the category icons.
class CategoryIconsDlgTest : public PagesTest {
 protected:
  CategoryIconsDlgTest() : m_store(false), m_install(L"settings_category_icons") {}
  void SetUp() override {
    PagesTest::SetUp();
    pimtest::ClearStores();
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, TARVO_INSTALL_KEY, L"InstallDir", REG_SZ, m_install.Path().c_str(),
                    static_cast<DWORD>((m_install.Path().size() + 1) * sizeof(wchar_t)));
    CreateDirectoryW(m_install.File(L"Icons").c_str(), nullptr);
    CCategoriesList::SetIconReload([] {});
    long id = 1;
    for (const wchar_t* name : {L"Work", L"Holiday", L"Personal"}) cattest::WriteCategory(false, name, id++);
    ASSERT_TRUE(m_list.Open(nullptr));
    g_boxCalls = 0;
    g_boxAnswer = IDNO;
    m_previousBox = SetMessageBoxHandler(&AnswerBox);
  }
  void TearDown() override {
    SetMessageBoxHandler(m_previousBox);
    CCategoriesList::SetIconReload(nullptr);
    GetCategoryIcons()->Clear();
    pimtest::ClearStores();
    PagesTest::TearDown();
  }
  // Runs the dialog with script inside it; the end code.
  INT_PTR Run(CCategoryIconsDlg& dialog, const dlgtest::Script& script) {
    return dlgtest::RunModal([&] { return dialog.DoModal(m_window); }, script);
  }
  // A category chosen on the list, as a tap reports it, and the update that follows.
  static void Choose(CCategoryIconsDlg& dialog, int row) {
    dialog.SelectRow(row);
    dlgtest::Pump();
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
  static void MoveBlend(HWND dialog, int position) {
    HWND blend = GetDlgItem(dialog, CCategoryIconsDlg::kBlendId);
    SendMessageW(blend, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(blend));
  }
  // A colour as the grid hands it over.
  static void PickColor(CCategoryIconsDlg& dialog, HWND window, COLORREF color) {
    dialog.GetColorButton().SetColor(color);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(CCategoryIconsDlg::kColorId, CColorButton::kColorChosen),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, CCategoryIconsDlg::kColorId)));
  }

  CStoreMode m_store;
  ziptest::TempFolder m_install;
  CCategoriesList m_list;
  PFN_MESSAGE_BOX m_previousBox = nullptr;
};

TEST_F(CategoryIconsDlgTest, RowsInNameOrderAndTheControlsFollowTheSelection) {
  WriteColor(L"Personal", 0x320000FF);  // red, blend 50
  ASSERT_TRUE(ziptest::WriteBytes(m_install.File(L"Icons\\Holiday.bmp"), Icon(12, 12)));
  CCategoryIconsDlg dialog;
  std::vector<std::wstring> rows;
  Run(dialog, [&](HWND window) {
    HWND list = GetDlgItem(window, CCategoryIconsDlg::kListId);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    for (int row = 0; row < 3; ++row) rows.push_back(m_list.GetName(dialog.GetCategoryOfRow(row)).GetString());
    EXPECT_EQ(dialog.GetSelectedRow(), 0) << "the first row is selected at start";

    struct Case {
      int row;
      COLORREF color;
      bool blendOn;
      int position;
      bool deleteOn;
    };
    const Case cases[] = {
        {0, CCategoryColors::kNone, false, 4, true},  // Holiday: its icon, no colour
        {1, RGB(255, 0, 0), true, 2, false},          // Personal: blend 50 is step 2
        {2, CCategoryColors::kNone, false, 4, false},  // Work
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.row);
      Choose(dialog, c.row);
      EXPECT_EQ(dialog.GetColorButton().GetColor(), c.color);
      EXPECT_EQ(Enabled(window, CCategoryIconsDlg::kBlendId), c.blendOn);
      EXPECT_EQ(SendDlgItemMessageW(window, CCategoryIconsDlg::kBlendId, TBM_GETPOS, 0, 0), c.position);
      EXPECT_TRUE(Enabled(window, CCategoryIconsDlg::kChangeIconId));
      EXPECT_EQ(Enabled(window, CCategoryIconsDlg::kDeleteIconId), c.deleteOn);
    }
  });
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"Holiday", L"Personal", L"Work"}));
}

TEST_F(CategoryIconsDlgTest, ColourAndBlendAreWrittenAtOnceAndSelectingWritesNothing) {
  CCategoryIconsDlg dialog;
  INT_PTR result = Run(dialog, [&](HWND window) {
    // Merely showing categories that have no stored value creates none.
    Choose(dialog, 1);
    Choose(dialog, 2);
    DWORD value = 0;
    EXPECT_FALSE(ReadColor(L"Work", &value)) << "a selection is not a change";
    EXPECT_FALSE(ReadColor(L"Personal", &value));

    PickColor(dialog, window, RGB(0, 128, 255));
    ASSERT_TRUE(ReadColor(L"Work", &value));
    EXPECT_EQ(value & 0x00FFFFFF, static_cast<DWORD>(RGB(0, 128, 255)));
    EXPECT_TRUE(Enabled(window, CCategoryIconsDlg::kBlendId)) << "a colour can be blended";

    struct Step {
      int position;
      int blend;
    };
    for (const Step& s : {Step{3, 75}, Step{0, 0}, Step{1, 25}, Step{4, 100}}) {
      MoveBlend(window, s.position);
      ASSERT_TRUE(ReadColor(L"Work", &value));
      EXPECT_EQ(static_cast<int>(value >> 24), s.blend) << s.position;
    }
    // Cancel ends the dialog; what was written stays.
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  DWORD value = 0;
  ASSERT_TRUE(ReadColor(L"Work", &value));
  EXPECT_EQ(value, static_cast<DWORD>(RGB(0, 128, 255)) | (100u << 24));
}

TEST_F(CategoryIconsDlgTest, NoColourKeepsTheBlendForTheNextColour) {
  WriteColor(L"Holiday", 0x4B00FF00);  // green, blend 75
  ASSERT_TRUE(ziptest::WriteBytes(m_install.File(L"source.bmp"), Icon(12, 12)));
  CCategoryIconsDlg dialog;
  struct Chooser {
    CCategoryIconsDlg* dialog;
    std::wstring answer;
  } chooser{&dialog, m_install.File(L"source.bmp")};
  Run(dialog, [&](HWND window) {
    Choose(dialog, 0);
    PickColor(dialog, window, kNoColor);
    EXPECT_FALSE(Enabled(window, CCategoryIconsDlg::kBlendId));
    EXPECT_EQ(dialog.GetColorButton().GetColor(), kNoColor);
    DWORD value = 0;
    ASSERT_TRUE(ReadColor(L"Holiday", &value));
    EXPECT_EQ(value, 0xFFFFFFFFu) << "the stored form of no colour";
    // An icon change reads every value again from the registry in between.
    CDialogImplBase::SetModalHook(
        [](HWND chooserWindow, void* data) {
          auto* c = static_cast<Chooser*>(data);
          c->dialog->GetChooser()->SetSelectedName(c->answer.c_str());
          EndDialog(chooserWindow, IDOK);
        },
        &chooser);
    dlgtest::Press(window, CCategoryIconsDlg::kChangeIconId);
    PickColor(dialog, window, RGB(10, 20, 30));
    EXPECT_EQ(SendDlgItemMessageW(window, CCategoryIconsDlg::kBlendId, TBM_GETPOS, 0, 0), 3);
    ASSERT_TRUE(ReadColor(L"Holiday", &value));
    EXPECT_EQ(value, static_cast<DWORD>(RGB(10, 20, 30)) | (75u << 24)) << "the blend came back";
  });
}

TEST_F(CategoryIconsDlgTest, ChangedIconIsCopiedAndDeleteAsksFirst) {
  const std::wstring source = m_install.File(L"source.bmp");
  ASSERT_TRUE(ziptest::WriteBytes(source, Icon(20, 20)));
  const std::wstring target = m_install.File(L"Icons\\Personal.bmp");
  CCategoryIconsDlg dialog;
  // The chooser runs over the section; the test answers it as a person would.
  struct Chooser {
    CCategoryIconsDlg* dialog;
    std::wstring answer;
    bool noIcon;
    int runs;
  } chooser{&dialog, source, false, 0};
  INT_PTR result = dlgtest::RunModal([&] { return dialog.DoModal(m_window); }, [&](HWND window) {
      Choose(dialog, 1);  // Personal
      EXPECT_FALSE(Enabled(window, CCategoryIconsDlg::kDeleteIconId));
      CDialogImplBase::SetModalHook(
          [](HWND chooserWindow, void* data) {
            auto* c = static_cast<Chooser*>(data);
            ++c->runs;
            c->dialog->GetChooser()->SetSelectedName(c->noIcon ? nullptr : c->answer.c_str());
            EndDialog(chooserWindow, IDOK);
          },
          &chooser);
      dlgtest::Press(window, CCategoryIconsDlg::kChangeIconId);
      EXPECT_EQ(chooser.runs, 1);
      EXPECT_EQ(GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "the icon was copied";
      EXPECT_EQ(dialog.GetSelectedRow(), 1) << "the row stays selected";
      EXPECT_TRUE(Enabled(window, CCategoryIconsDlg::kDeleteIconId));

      // Delete: No keeps the file, Yes removes it; the question defaults to No.
      g_boxAnswer = IDNO;
      dlgtest::Press(window, CCategoryIconsDlg::kDeleteIconId);
      EXPECT_EQ(g_boxCalls, 1);
      EXPECT_EQ(g_boxType, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
      EXPECT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
      g_boxAnswer = IDYES;
      dlgtest::Press(window, CCategoryIconsDlg::kDeleteIconId);
      EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
      EXPECT_FALSE(Enabled(window, CCategoryIconsDlg::kDeleteIconId));

      // The chooser's "no icon" answer also asks before it deletes.
      chooser.noIcon = false;
      dlgtest::Press(window, CCategoryIconsDlg::kChangeIconId);
      ASSERT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
      chooser.noIcon = true;
      g_boxCalls = 0;
      dlgtest::Press(window, CCategoryIconsDlg::kChangeIconId);
      EXPECT_EQ(g_boxCalls, 1);
      EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
      PostMessageW(window, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(CategoryIconsDlgTest, ListBurstsUpdateOnceAndTheOwnerStaysDisabled) {
  CCategoryIconsDlg dialog;
  bool stayedDisabled = false;
  Run(dialog, [&](HWND window) {
    dlgtest::Pump();
    const int before = dialog.GetUpdateCount();
    // A tap deselects one row and selects another: one update.
    dialog.SelectRow(2);
    dialog.SelectRow(1);
    dlgtest::Pump();
    EXPECT_EQ(dialog.GetUpdateCount(), before + 1);
    dlgtest::ExpectOwnerDisabledThroughErase(window, m_window, stayedDisabled);
    // The shell's list gesture query is answered.
    NMHDR query = {GetDlgItem(window, CCategoryIconsDlg::kListId), CCategoryIconsDlg::kListId, static_cast<UINT>(-50)};
    SendMessageW(window, WM_NOTIFY, CCategoryIconsDlg::kListId, reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(GetWindowLongPtrW(window, DWLP_MSGRESULT), 1);
  });
  EXPECT_TRUE(stayedDisabled);
}

// A double tap on a row selects it as a tap does (the list hears two taps).
TEST_F(CategoryIconsDlgTest, ADoubleTapSelectsTheRowLikeATap) {
  CCategoryIconsDlg dialog;
  Run(dialog, [&](HWND window) {
    HWND list = GetDlgItem(window, CCategoryIconsDlg::kListId);
    dlgtest::Pump();
    ASSERT_EQ(dialog.GetSelectedRow(), 0);
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row)));
    const LPARAM point = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    dlgtest::Pump();
    EXPECT_EQ(dialog.GetSelectedRow(), 2);
  });
}

TEST_F(CategoryIconsDlgTest, WithoutCategoriesEveryEditIsDisabled) {
  m_list.Close();  // the list of a device whose categories cannot be read
  ASSERT_EQ(m_list.GetDisplayCount(), 0);
  CCategoryIconsDlg dialog;
  Run(dialog, [&](HWND window) {
    EXPECT_EQ(SendDlgItemMessageW(window, CCategoryIconsDlg::kListId, LVM_GETITEMCOUNT, 0, 0), 0);
    for (int id : {CCategoryIconsDlg::kColorId, CCategoryIconsDlg::kBlendId, CCategoryIconsDlg::kChangeIconId,
                   CCategoryIconsDlg::kDeleteIconId})
      EXPECT_FALSE(Enabled(window, id)) << id;
    PickColor(dialog, window, RGB(1, 2, 3));
  });
  DWORD value = 0;
  EXPECT_FALSE(ReadColor(L"Work", &value));
}

// Each row shows its colour's square (the raw colour, whatever the blend) at the
// right and its icon, key colour left out, centred in the icon cell; the selected
// row on the highlight colour. An icon larger than the least cell makes every row
// as high as it.
TEST_F(CategoryIconsDlgTest, RowsShowTheColourSquareAndTheIconInItsCell) {
  WriteColor(L"Personal", 0x320000FF);  // red, blend 50
  const int side = ScaleY(15) + 9;
  ASSERT_TRUE(ziptest::WriteBytes(m_install.File(L"Icons\\Holiday.bmp"), Icon(side, side)));
  CCategoryIconsDlg dialog;
  Run(dialog, [&](HWND window) {
    HWND list = GetDlgItem(window, CCategoryIconsDlg::kListId);
    const SIZE cell = dialog.GetIconCell();
    EXPECT_EQ(cell.cx, std::max(side, ScaleX(15)));
    EXPECT_EQ(cell.cy, side);
    for (int row = 0; row < 3; ++row) {
      RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
      ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)));
      EXPECT_EQ(bounds.bottom - bounds.top, side) << "row " << row;
    }

    struct Case {
      const char* name;
      int row;
      bool selected;
      bool square;  // the red square at the right
      bool icon;    // the icon's one non-key column
    };
    const Case cases[] = {
        {"Holiday, selected: its icon", 0, true, false, true},
        {"Personal: its colour", 1, false, true, false},
        {"Work: neither", 2, false, false, false},
    };
    const int width = 120, height = side;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      // The row drawn into an image of its size.
      CDib image;
      ASSERT_TRUE(image.CreateFilled(width, height, RGB(0, 0, 0)));
      HDC dc = image.GetDC();
      ASSERT_NE(dc, nullptr);
      DRAWITEMSTRUCT item = {};
      item.CtlType = ODT_LISTVIEW;
      item.CtlID = CCategoryIconsDlg::kListId;
      item.itemID = static_cast<UINT>(c.row);
      item.itemState = c.selected ? ODS_SELECTED : 0;
      item.hwndItem = list;
      item.hDC = dc;
      item.rcItem = {0, 0, width, height};
      SendMessageW(window, WM_DRAWITEM, CCategoryIconsDlg::kListId, reinterpret_cast<LPARAM>(&item));
      GdiFlush();
      const auto at = [&image](int x, int y) {
        const BYTE* p = image.Pixel(x, y);
        return RGB(p[2], p[1], p[0]);
      };
      const COLORREF back = GetSysColor(c.selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
      EXPECT_EQ(at(width / 2, 1), back) << "the row's background";
      const COLORREF square = at(width - ScaleX(2) - ScaleX(5), height / 2);
      EXPECT_EQ(square == RGB(255, 0, 0), c.square);
      const int iconLeft = (cell.cx - side) / 2;
      EXPECT_EQ(at(iconLeft, height / 2) == RGB(200, 0, 0), c.icon);
      if (c.icon) {
        EXPECT_EQ(at(iconLeft + side / 2, height / 2), back) << "the key colour shows the row";
      }
      image.ReleaseDC();
    }
  });
}

// The preview is the sample appointment in the selected category alone: its
// picture shows where the pattern has the category letter; the control is as high
// as the row.
TEST_F(CategoryIconsDlgTest, ThePreviewShowsTheSelectedCategory) {
  ASSERT_TRUE(ziptest::WriteBytes(m_install.File(L"Icons\\Holiday.bmp"), Icon(12, 12)));
  const CItemPattern before = GetViewSettings().AppPattern;
  CViewSettings::ParsePattern(L"n3rqsca", GetViewSettings().AppPattern);
  CFontCache fonts;  // the program's, made at its start
  CCategoryIconsDlg dialog;
  struct Seen {
    std::wstring subject;
    int pictures;
    int category;
    bool heightIsTheRows;
  };
  std::vector<Seen> seen;
  Run(dialog, [&](HWND window) {
    for (int row : {0, 1}) {
      Choose(dialog, row);
      CCalendarPreview* sample = dialog.GetPreview().GetRow();
      ASSERT_NE(sample, nullptr);
      Seen s = {L"", 0, -1, false};
      s.subject = sample->GetSubjectLine().GetString();
      for (int k = 0; k < sample->GetIconCount(); ++k)
        if (sample->GetIcon(k).skinIcon == CCalendarPreview::kCategoryIcon) {
          ++s.pictures;
          s.category = sample->GetIcon(k).category;
        }
      RECT control = {};
      GetClientRect(GetDlgItem(window, CCategoryIconsDlg::kPreviewId), &control);
      s.heightIsTheRows = control.bottom == sample->GetHeight(-1);
      seen.push_back(s);
    }
    // Drawn without a fault over whatever background the device has.
    UpdateWindow(GetDlgItem(window, CCategoryIconsDlg::kPreviewId));
  });
  GetViewSettings().AppPattern = before;
  ASSERT_EQ(seen.size(), 2u);
  const int holiday = dialog.GetCategoryOfRow(0);
  EXPECT_EQ(seen[0].pictures, 1);
  EXPECT_EQ(seen[0].category, holiday);
  EXPECT_EQ(seen[1].pictures, 0) << "Personal has no picture";
  for (const Seen& s : seen) {
    EXPECT_EQ(s.subject.rfind(L"Lunch with the team", 0), 0u);
    EXPECT_TRUE(s.heightIsTheRows);
  }
}

TEST_F(CategoryIconsDlgTest, TheMainWindowOpensTheSectionAsThisDialog) {
  int runs = 0;
  std::wstring caption;
  dlgtest::RunModal(
      [&] { return static_cast<INT_PTR>(SendMessageW(m_window, WM_OPENSECTION, kCategoryIconsSection, 0)); },
      [&](HWND window) {
        ++runs;
        caption = dlgtest::WindowText(window);
        EXPECT_NE(GetDlgItem(window, CCategoryIconsDlg::kListId), nullptr);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
      });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(caption, L"Category icons");
  EXPECT_TRUE(m_window.IsChanged());
}

}  // namespace

namespace cedbtest {
// This program runs no child jobs.
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest
