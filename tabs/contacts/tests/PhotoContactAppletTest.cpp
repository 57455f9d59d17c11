// The photo-contact applet: its saved data, descriptions, painting and taps, how it
// follows its contact's change and deletion; the contact chooser through the modal
// seam; the photo-contact add-on's ini file, written by other programs and fuzzed.
#include "tabs/contacts/PhotoContactApplet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "platform/tests/ByteMutator.h"
#include "platform/windowlib/DialogImpl.h"
#include "tabs/contacts/ContactChooserDlg.h"
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactPopup.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/PhotoContactAppletKind.h"
#include "tabs/contacts/tests/ContactFixtures.h"

using contacttest::Person;

namespace {

std::wstring Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return static_cast<LPCWSTR>(text);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::vector<BYTE> OidBytes(DWORD oid) {
  return {static_cast<BYTE>(oid), static_cast<BYTE>(oid >> 8), static_cast<BYTE>(oid >> 16),
          static_cast<BYTE>(oid >> 24)};
}

// The tab host's window: counts the applet updates it hears.
struct HostWindow {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CPhotoContactApplet::GetUpdateMessage()) {
      auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      if (host) host->updates.push_back(reinterpret_cast<IApplet*>(wParam));
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HostWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = L"ArdenoTestHostWindow";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HostWindow() { DestroyWindow(window); }
  HWND window;
  std::vector<IApplet*> updates;
};

class PhotoContactAppletTest : public ::testing::Test {
 protected:
  PhotoContactAppletTest() : m_machine(L"photo_applet"), m_mode(true), m_store(true) {
    SetScreenDpi(96, 96);
    m_ann = m_store.Add(Person{L"Ann", L"", L"Lee"});
    m_bo = m_store.Add(Person{L"Bo", L"", L"Berg"});
    m_cy = m_store.Add(Person{L"Cy", L"", L"Dahl"});
    // Ann and Cy have a photo.
    m_store.WritePicture(m_ann.recordOid, std::vector<BYTE>(16, 7));
    m_store.WritePicture(m_cy.recordOid, std::vector<BYTE>(16, 7));
    m_list.SetNotifyWindow(m_window.Get());
  }
  ~PhotoContactAppletTest() override { Pump(); }

  std::unique_ptr<CPhotoContactApplet> Make(DWORD oid) {
    const std::vector<BYTE> data = OidBytes(oid);
    return std::unique_ptr<CPhotoContactApplet>(
        CPhotoContactApplet::CreateFromData(data.data(), static_cast<DWORD>(data.size()), &m_list));
  }

  // Hands the store's notices to the list as its window would (delivery is
  // asynchronous: waits for the first, within a bound, then takes what follows).
  void Deliver() {
    int heard = 0;
    for (int i = 0; i < 300 && (heard == 0 || i < 30); ++i) {
      MSG msg;
      while (PeekMessageW(&msg, m_window.Get(), WM_DBNOTIFICATION, WM_DBNOTIFICATION, PM_REMOVE)) {
        m_list.OnDBNotification(reinterpret_cast<CENOTIFICATION*>(msg.lParam), FALSE);
        ++heard;
      }
      Sleep(10);
    }
    EXPECT_GT(heard, 0) << "no notice reached the list's window";
  }

  CLocalMachineSandbox m_machine;
  CStoreMode m_mode;
  CResourceLibraryScope m_resources;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
  CContactsList m_list;
  contacttest::Written m_ann, m_bo, m_cy;
  HostWindow m_host;
};

TEST_F(PhotoContactAppletTest, OnlyFourBytesOfDataMakeAnApplet) {
  const BYTE bytes[5] = {0x78, 0x56, 0x34, 0x12, 0};
  const struct Case {
    DWORD size;
    bool made;
  } cases[] = {{0, false}, {3, false}, {4, true}, {5, false}};
  for (const Case& c : cases) {
    std::unique_ptr<CPhotoContactApplet> applet(CPhotoContactApplet::CreateFromData(bytes, c.size, &m_list));
    EXPECT_EQ(applet != nullptr, c.made) << c.size;
    if (applet) {
      EXPECT_EQ(applet->GetOid(), 0x12345678u);
    }
  }
  EXPECT_EQ(CPhotoContactApplet::CreateFromData(nullptr, 4, &m_list), nullptr);

  std::unique_ptr<CPhotoContactApplet> applet = Make(0x0A0B0C0D);
  BYTE out[4] = {};
  DWORD size = 2;
  EXPECT_FALSE(applet->GetData(out, &size));
  EXPECT_EQ(size, 4u);
  size = 4;
  EXPECT_TRUE(applet->GetData(out, &size));
  EXPECT_EQ(std::vector<BYTE>(out, out + 4), OidBytes(0x0A0B0C0D));
}

TEST_F(PhotoContactAppletTest, DescriptionsNameTheContactOrSayWhyNot) {
  std::unique_ptr<CPhotoContactApplet> empty(CPhotoContactApplet::CreateEmpty(&m_list));
  EXPECT_EQ(std::wstring(empty->GetDescription()), Text(326));
  EXPECT_FALSE(empty->DescriptionNamesContact());

  // A contact that has gone: said so until the first look-up clears the oid.
  std::unique_ptr<CPhotoContactApplet> gone = Make(0x7FFF0001);
  EXPECT_EQ(std::wstring(gone->GetDescription()), Text(327));
  gone->Init(m_host.window);
  EXPECT_EQ(gone->GetOid(), 0u);
  EXPECT_EQ(std::wstring(gone->GetDescription()), Text(326));

  std::unique_ptr<CPhotoContactApplet> ann = Make(m_ann.recordOid);
  ann->Init(m_host.window);
  ASSERT_TRUE(ann->HasContact());
  CString name;
  ann->GetContact()->GetDisplayName(name, FALSE, FALSE);
  CString expected;
  expected.Format(Text(325).c_str(), static_cast<LPCWSTR>(name + L" "));
  EXPECT_STREQ(ann->GetDescription(), expected);
  EXPECT_TRUE(ann->DescriptionNamesContact());
  SIZE size = {};
  EXPECT_TRUE(ann->GetSize(&size));
  EXPECT_EQ(size.cx, 36);
  EXPECT_EQ(size.cy, 36);
}

TEST_F(PhotoContactAppletTest, FollowsItsContactsChangeAndDeletion) {
  std::unique_ptr<CPhotoContactApplet> bo = Make(m_bo.recordOid);
  std::unique_ptr<CPhotoContactApplet> ann = Make(m_ann.recordOid);
  bo->Init(m_host.window);
  ann->Init(m_host.window);
  ASSERT_TRUE(bo->HasContact());

  // Bo's name changes in the store: Bo's applet shows the new record, Ann's hears nothing.
  ASSERT_TRUE(m_store.SetText(m_bo.recordOid, 0x0082001F, L"Bodil"));
  Deliver();
  ASSERT_TRUE(bo->HasContact());
  EXPECT_STREQ(bo->GetContact()->m_firstName, L"Bodil");
  EXPECT_EQ(bo->GetOid(), m_bo.recordOid);
  EXPECT_NE(std::wstring(bo->GetDescription()).find(L"Bodil"), std::wstring::npos);
  EXPECT_EQ(m_host.updates, std::vector<IApplet*>{bo.get()});

  // Bo is deleted: the applet is empty and paints a question mark.
  m_host.updates.clear();
  ASSERT_TRUE(m_store.Delete(m_bo.recordOid));
  Deliver();
  EXPECT_FALSE(bo->HasContact());
  EXPECT_EQ(bo->GetOid(), 0u);
  EXPECT_EQ(std::wstring(bo->GetDescription()), Text(326));
  EXPECT_EQ(m_host.updates, std::vector<IApplet*>{bo.get()});
  EXPECT_TRUE(ann->HasContact());

  CBitmapDC picture;
  ASSERT_TRUE(picture.Create(50, 50));
  RECT all = {0, 0, 50, 50};
  FillRect(picture.GetDC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_TRUE(bo->Paint(all, picture.GetDC()));
  // The 36-pixel square is centred: white inside, the black background outside.
  EXPECT_EQ(GetPixel(picture.GetDC(), 8, 8), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(picture.GetDC(), 42, 42), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(picture.GetDC(), 6, 6), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(picture.GetDC(), 43, 43), RGB(0, 0, 0));
  int dark = 0;
  for (int y = 7; y < 43; ++y)
    for (int x = 7; x < 43; ++x) dark += GetPixel(picture.GetDC(), x, y) != RGB(255, 255, 255);
  EXPECT_GT(dark, 0) << "the question mark";
}

TEST_F(PhotoContactAppletTest, ATapWithoutAContactExplainsAndOpensNoPopup) {
  CMessageBoxAnswer box(IDOK);
  std::unique_ptr<CPhotoContactApplet> empty(CPhotoContactApplet::CreateEmpty(&m_list));
  empty->Init(m_host.window);
  EXPECT_TRUE(empty->OnClick(5, 5));
  EXPECT_EQ(box.asked.size(), 1u);
  EXPECT_EQ(box.Last().caption, Text(17));
  EXPECT_NE(box.Last().text.find(Text(301)), std::wstring::npos);
  EXPECT_NE(box.Last().text.find(Text(32782)), std::wstring::npos);
  EXPECT_FALSE(CPhotoContactApplet::GetPopup().IsCreated());

  std::unique_ptr<CPhotoContactApplet> ann = Make(m_ann.recordOid);
  ann->Init(m_host.window);
  EXPECT_TRUE(ann->OnClick(5, 5));
  EXPECT_EQ(box.asked.size(), 1u);
  EXPECT_TRUE(CPhotoContactApplet::GetPopup().IsCreated());
  EXPECT_EQ(CPhotoContactApplet::GetPopup().GetContact()->m_recordOid, m_ann.recordOid);
  DestroyWindow(CPhotoContactApplet::GetPopup().m_hWnd);
}

// What the chooser's hook saw and did.
struct Chooser {
  std::vector<std::wstring> names;
  std::vector<DWORD> oids;
  int selected = -1;
  int select = -1;  // the row to choose, -1 none
  UINT button = IDOK;
  LRESULT query = 0;
};

void DriveChooser(HWND dialog, void* raw) {
  auto* c = static_cast<Chooser*>(raw);
  HWND list = GetDlgItem(dialog, IDC_CONTACT_CHOOSER_LIST);
  for (int i = 0; i < ListView_GetItemCount(list); ++i) {
    WCHAR text[64] = {};
    ListView_GetItemText(list, i, 0, text, 64);
    c->names.push_back(text);
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    ListView_GetItem(list, &item);
    c->oids.push_back(static_cast<DWORD>(item.lParam));
  }
  c->selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  NMHDR query = {list, IDC_CONTACT_CHOOSER_LIST, static_cast<UINT>(kChooserQueryNotification)};
  SendMessageW(dialog, WM_NOTIFY, IDC_CONTACT_CHOOSER_LIST, reinterpret_cast<LPARAM>(&query));
  c->query = GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
  for (int i = 0; i < ListView_GetItemCount(list); ++i) ListView_SetItemState(list, i, 0, LVIS_SELECTED);
  if (c->select >= 0) ListView_SetItemState(list, c->select, LVIS_SELECTED, LVIS_SELECTED);
  PostMessageW(dialog, WM_COMMAND, c->button, 0);
}

TEST_F(PhotoContactAppletTest, TheChooserListsContactsWithPhotosAndGivesTheChosenOid) {
  const struct Case {
    DWORD preselected;
    int select;
    UINT button;
    INT_PTR end;
    DWORD result;
  } cases[] = {
      {m_cy.recordOid, 0, IDOK, 1, m_ann.recordOid},
      {0, 1, IDOK, 1, m_cy.recordOid},
      {0, -1, IDOK, 2, 0},
      {m_ann.recordOid, 1, IDCANCEL, 2, 0},
  };
  for (const Case& c : cases) {
    Chooser seen;
    seen.select = c.select;
    seen.button = c.button;
    CDialogImplBase::SetModalHook(&DriveChooser, &seen);
    CContactChooserDlg dialog(c.preselected, &m_list);
    EXPECT_EQ(dialog.DoModal(m_host.window), c.end);
    CDialogImplBase::SetModalHook(nullptr, nullptr);
    EXPECT_EQ(dialog.GetResult(), c.result);
    // Bo has no photo and is not offered.
    ASSERT_EQ(seen.oids, (std::vector<DWORD>{m_ann.recordOid, m_cy.recordOid}));
    EXPECT_EQ(seen.names.size(), 2u);
    EXPECT_EQ(seen.selected, c.preselected == m_ann.recordOid ? 0 : c.preselected == m_cy.recordOid ? 1 : -1);
    EXPECT_EQ(seen.query, 1);
  }
  // The kind makes an applet of the choice, and none when nothing was chosen.
  CPhotoContactAppletKind kind(&m_list);
  Chooser choose;
  choose.select = 1;
  CDialogImplBase::SetModalHook(&DriveChooser, &choose);
  std::unique_ptr<IApplet> made(kind.CreateWithDialog(m_host.window));
  Chooser cancel;
  cancel.button = IDCANCEL;
  CDialogImplBase::SetModalHook(&DriveChooser, &cancel);
  std::unique_ptr<IApplet> none(kind.CreateWithDialog(m_host.window));
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  ASSERT_TRUE(made);
  EXPECT_EQ(static_cast<CPhotoContactApplet*>(made.get())->GetOid(), m_cy.recordOid);
  EXPECT_FALSE(none);
}

// --- the add-on's ini file ---------------------------------------------------------------

class PhotoContactsIniTest : public ::testing::Test {
 protected:
  PhotoContactsIniTest() {
    WCHAR folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + L"PhotoContactsTest.ini";
  }
  ~PhotoContactsIniTest() override { DeleteFileW(m_path.c_str()); }
  void Write(const std::string& bytes) {
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::wstring m_path;
};

TEST_F(PhotoContactsIniTest, TheFolderIsTheFirstValueOfPhotos) {
  const struct Case {
    const char* bytes;
    bool available;
    const wchar_t* text;
  } cases[] = {
      {"[Photos]\r\nFolder=\\My Documents\\Faces\r\n", true, L"\\My Documents\\Faces"},
      {"[other]\nx=1\n[PHOTOS]\npath=\\Storage Card\\Pics\nmore=2\n", true, L"\\Storage Card\\Pics"},
      {"\xEF\xBB\xBF[Photos]\nFolder=\xEF\xBB\xBF\\Bilder\\\xC3\x85sa\n", true, L"\\Bilder\\\x00C5sa"},
      {"[Photos]\n", true, L""},
      {"[Other]\nFolder=\\x\n", false, L""},
      {"", false, L""},
  };
  for (const Case& c : cases) {
    Write(c.bytes);
    CContactPhotos photos;
    EXPECT_EQ(photos.Load(m_path.c_str()) != FALSE, c.available) << c.bytes;
    EXPECT_EQ(photos.IsAvailable() != FALSE, c.available);
    EXPECT_STREQ(photos.GetText(), c.text) << c.bytes;
  }
  CContactPhotos missing;
  EXPECT_FALSE(missing.Load((m_path + L".none").c_str()));
  EXPECT_FALSE(missing.Load(nullptr));
}

TEST_F(PhotoContactsIniTest, AFileTheCommandInterpreterWroteReads) {
  DeleteFileW(m_path.c_str());
  for (const wchar_t* line : {L"echo [Photos]> \"", L"echo Folder=\\Faces>> \""}) {
    std::wstring command = L"cmd.exe /c " + std::wstring(line) + m_path + L"\"";
    STARTUPINFOW start = {};
    start.cb = sizeof(start);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &start, &process));
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CContactPhotos photos;
  ASSERT_TRUE(photos.Load(m_path.c_str()));
  CString text = photos.GetText();
  text.TrimRight();
  EXPECT_STREQ(text, L"\\Faces");
}

TEST_F(PhotoContactsIniTest, AnyBytesReadSoundly) {
  fixtures::ByteMutator mutator(4646);
  const std::string seed = "[Photos]\r\nFolder=\\My Documents\\Faces\r\n[x]\r\ny=2\r\n";
  for (int round = 0; round < 1500; ++round) {
    Write(mutator.Edit(seed, 8));
    CContactPhotos photos;
    photos.Load(m_path.c_str());
    if (!photos.IsAvailable()) {
      EXPECT_TRUE(photos.GetText().IsEmpty());
    }
  }
}

}  // namespace
