// Contact photos: where each PIM keeps them and in which order the extensions are
// tried, IA Caller ID's folders, the tile a picture becomes, and the placeholder for a
// picture that cannot be decoded. Other programs' keys are read, never made.
#include "tabs/contacts/ContactPhotos.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/Dib.h"
#include "platform/imaging/ImagingRegistration.h"
#include "platform/imaging/tests/EncodedImage.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactFixtures.h"

namespace {

const CRegistryView kAgendaFusion(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion");
const CRegistryView kPocketInformant(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant");
const CRegistryView kCallerId(HKEY_CURRENT_USER, L"Software\\IA Style\\IA Caller ID\\Preferences");

int g_pim = 0;
int Pim() { return g_pim; }
std::wstring g_photosFolder;
BOOL PhotosFolder(CString* folder) {
  if (g_photosFolder.empty()) return FALSE;
  *folder = g_photosFolder.c_str();
  return TRUE;
}

void SaveFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << std::string(path.begin(), path.end());
  DWORD done = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
}

// Area weighting may leave a channel a step or two off.
bool Near(COLORREF a, COLORREF b) {
  return abs(GetRValue(a) - GetRValue(b)) <= 2 && abs(GetGValue(a) - GetGValue(b)) <= 2 &&
         abs(GetBValue(a) - GetBValue(b)) <= 2;
}

// 0x00BBGGRR of the thirds of a picture: red, green, blue from left to right.
DWORD Thirds(int x, int width) { return x < width / 3 ? RGB(255, 0, 0) : x < 2 * width / 3 ? RGB(0, 255, 0) : RGB(0, 0, 255); }

class ContactPhotosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_imaging = new CImagingRegistration;
    SetScreenDpi(96, 96);
    SetCurrentPimSource(Pim);
    SetContactPhotosFolderSource(PhotosFolder);
    g_pim = 0;
    g_photosFolder.clear();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"contactphotos-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_folder.c_str(), nullptr);
    kAgendaFusion.Delete();
    kPocketInformant.Delete();
  }
  void TearDown() override {
    kAgendaFusion.Delete();
    kPocketInformant.Delete();
    SetCurrentPimSource(nullptr);
    SetContactPhotosFolderSource(nullptr);
    SHFILEOPSTRUCTW op = {};
    std::wstring from = m_folder + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
    CDib::ReleaseImagingFactory();
    delete m_imaging;
    CoUninitialize();
  }
  std::wstring In(const std::wstring& name) const { return m_folder + L"\\" + name; }
  std::vector<BYTE> Picture(const GUID& format, int width, int height) {
    return fixtures::Encode(format, width, height, [width](int x, int) { return Thirds(x, width); });
  }

  CStoreMode m_mode{false};
  std::wstring m_folder;
  CImagingRegistration* m_imaging = nullptr;
};

TEST_F(ContactPhotosTest, EachPimsFolderAndTheExtensionOrder) {
  const std::vector<BYTE> bytes = {1, 2, 3};
  g_pim = 1;
  kAgendaFusion.Write(L"ContactPhotoFolder", REG_SZ, m_folder.c_str(), static_cast<DWORD>((m_folder.size() + 1) * 2));
  SaveFile(In(L"Lee, Ann.bmp"), bytes);
  SaveFile(In(L"Lee, Ann.jpg"), bytes);
  SaveFile(In(L"Lee, Ann.gif"), bytes);
  SaveFile(In(L"Roe, Bo.bmp"), bytes);
  SaveFile(In(L"Roe, Bo.gif"), bytes);
  struct Case {
    const wchar_t* fileAs;
    const wchar_t* found;  // null: none
  } const cases[] = {{L"Lee, Ann", L"Lee, Ann.jpg"}, {L"Roe, Bo", L"Roe, Bo.gif"}, {L"Nobody", nullptr}};
  for (const Case& c : cases) {
    CONTACT_ITEM contact;
    contact.m_fileAs = c.fileAs;
    EXPECT_EQ(FindContactPhoto(&contact), c.found ? 1 : 0);
    EXPECT_EQ(std::wstring(contact.m_photoPath), c.found ? In(c.found) : L"");
    // Looked up once: a file added later is not seen by the same record.
    EXPECT_EQ(FindContactPhoto(&contact), c.found ? 1 : 0);
  }

  // Pocket Informant: its folder, then "WebIS\ContactPics\".
  g_pim = 2;
  std::wstring folder = m_folder + L"\\";
  kPocketInformant.Write(L"WebIS_Folder", REG_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * 2));
  CreateDirectoryW(In(L"WebIS").c_str(), nullptr);
  CreateDirectoryW(In(L"WebIS\\ContactPics").c_str(), nullptr);
  SaveFile(In(L"WebIS\\ContactPics\\Lee, Ann.gif"), bytes);
  CONTACT_ITEM pi;
  pi.m_fileAs = L"Lee, Ann";
  EXPECT_EQ(FindContactPhoto(&pi), 1);
  EXPECT_EQ(std::wstring(pi.m_photoPath), In(L"WebIS\\ContactPics\\Lee, Ann.gif"));

  // The photo-contact folder: first name, a space, last name.
  g_pim = 0;
  g_photosFolder = m_folder;
  SaveFile(In(L"Ann Lee.bmp"), bytes);
  SaveFile(In(L"Cy.jpg"), bytes);
  CONTACT_ITEM both, firstOnly;
  both.m_firstName = L"Ann";
  both.m_lastName = L"Lee";
  firstOnly.m_firstName = L"Cy";
  EXPECT_EQ(FindContactPhoto(&both), 1);
  EXPECT_EQ(std::wstring(both.m_photoPath), In(L"Ann Lee.bmp"));
  EXPECT_EQ(FindContactPhoto(&firstOnly), 1);
  EXPECT_EQ(std::wstring(firstOnly.m_photoPath), In(L"Cy.jpg"));
}

TEST_F(ContactPhotosTest, OtherProgramsKeysAreOnlyRead) {
  for (int pim : {1, 2}) {
    g_pim = pim;
    CONTACT_ITEM contact;
    contact.m_fileAs = L"Lee, Ann";
    EXPECT_EQ(FindContactPhoto(&contact), 0);
  }
  EXPECT_FALSE(kAgendaFusion.Exists());
  EXPECT_FALSE(kPocketInformant.Exists());
  // An existing key without the value gains nothing either.
  kAgendaFusion.WriteDWORD(L"Other", 1);
  g_pim = 1;
  CONTACT_ITEM contact;
  contact.m_fileAs = L"x";
  FindContactPhoto(&contact);
  EXPECT_FALSE(kAgendaFusion.Has(L"ContactPhotoFolder"));
}

TEST_F(ContactPhotosTest, CallerIdFoldersSwapOnlyForTheirExactSettings) {
  struct Case {
    DWORD size;
    DWORD word;
    bool swapped;
  } const cases[] = {{28, 2, true}, {28, 3, true}, {28, 1, false}, {27, 2, false}, {29, 2, false}, {28, 0x200, false}};
  for (const Case& c : cases) {
    BYTE values[32] = {};
    memcpy(values + 24, &c.word, 4);
    CString a, b;
    MakeCallerIdFolders(L"C:\\Docs", values, c.size, &a, &b);
    const std::wstring storage = L"\\Storage\\Caller ID Photos\\", docs = L"C:\\Docs\\Caller ID Photos\\";
    EXPECT_EQ(std::wstring(a), c.swapped ? docs : storage) << c.size << " " << c.word;
    EXPECT_EQ(std::wstring(b), c.swapped ? storage : docs) << c.size << " " << c.word;
  }
  CString a, b;
  MakeCallerIdFolders(nullptr, nullptr, 0, &a, &b);
  EXPECT_TRUE(b.IsEmpty());

  // The photo file by id, in the documents folder's "Caller ID Photos".
  kCallerId.Delete();
  ResetCallerIdFolders();
  std::wstring folder(GetCallerIdFolder(0));
  ASSERT_FALSE(folder.empty());
  bool made = CreateDirectoryW(folder.c_str(), nullptr) != 0;
  SaveFile(folder + L"00001234.cnt", {1});
  CONTACT_ITEM contact, none;
  contact.m_callerIdPhoto = 0x1234;
  EXPECT_EQ(FindContactPhoto(&contact), 1);
  EXPECT_EQ(std::wstring(contact.m_photoPath), folder + L"00001234.cnt");
  // Id 0 never looks, even with a "00000000.cnt" there.
  SaveFile(folder + L"00000000.cnt", {1});
  EXPECT_EQ(FindContactPhoto(&none), 0);
  DeleteFileW((folder + L"00001234.cnt").c_str());
  DeleteFileW((folder + L"00000000.cnt").c_str());
  if (made) RemoveDirectoryW(folder.c_str());
  ResetCallerIdFolders();
}

TEST_F(ContactPhotosTest, ResamplingSizes) {
  struct Case {
    int w, h, cx, cy;
  } const cases[] = {{72, 48, 54, 34}, {48, 72, 34, 54}, {100, 100, 34, 36}, {1000, 10, 3600, 34}, {0, 5, 0, 0}};
  for (const Case& c : cases) {
    SIZE s = PhotoResampleSize(c.w, c.h);
    EXPECT_EQ(s.cx, c.cx) << c.w << "x" << c.h;
    EXPECT_EQ(s.cy, c.cy) << c.w << "x" << c.h;
  }
}

TEST_F(ContactPhotosTest, APictureBecomesItsCentreInsideAFrame) {
  // 72 x 48: resampled to 54 x 34, its centre 34 x 34 taken - the middle third and a
  // little of the thirds beside it.
  CDib wide;
  ASSERT_TRUE(wide.Create(72, 48));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 72; ++x) {
      DWORD c = Thirds(x, 72);
      BYTE* p = wide.Pixel(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  std::unique_ptr<CBitmapDC> tile(MakePhotoTile(&wide));
  ASSERT_TRUE(tile);
  EXPECT_EQ(tile->GetSize().cx, 36);
  EXPECT_EQ(tile->GetSize().cy, 36);
  EXPECT_EQ(GetPixel(tile->GetDC(), 0, 0), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(tile->GetDC(), 35, 35), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(Near(GetPixel(tile->GetDC(), 18, 18), RGB(0, 255, 0)));
  EXPECT_TRUE(Near(GetPixel(tile->GetDC(), 1, 18), RGB(255, 0, 0)));
  EXPECT_TRUE(Near(GetPixel(tile->GetDC(), 34, 18), RGB(0, 0, 255)));

  // 36 x 36 is taken as it is: source (1, 1) lands at (1, 1).
  CDib square;
  ASSERT_TRUE(square.Create(36, 36));
  square.Pixel(1, 1)[2] = 255;
  square.Pixel(2, 1)[1] = 255;
  tile.reset(MakePhotoTile(&square));
  ASSERT_TRUE(tile);
  EXPECT_EQ(GetPixel(tile->GetDC(), 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(tile->GetDC(), 2, 1), RGB(0, 255, 0));
}

TEST_F(ContactPhotosTest, FilesDecodeAndACorruptOneGivesThePlaceholder) {
  g_pim = 1;
  kAgendaFusion.Write(L"ContactPhotoFolder", REG_SZ, m_folder.c_str(), static_cast<DWORD>((m_folder.size() + 1) * 2));
  std::vector<BYTE> jpeg = Picture(GUID_ContainerFormatJpeg, 72, 48);
  ASSERT_FALSE(jpeg.empty());
  SaveFile(In(L"Good.jpg"), jpeg);
  std::vector<BYTE> broken(jpeg.begin(), jpeg.begin() + jpeg.size() / 3);
  SaveFile(In(L"Cut.jpg"), broken);
  SaveFile(In(L"Noise.bmp"), {'B', 'M', 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0x36, 0, 0, 0});
  SaveFile(In(L"Empty.gif"), {});

  CONTACT_ITEM good;
  good.m_fileAs = L"Good";
  CBitmapDC* photo = good.GetPhoto();
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(photo->GetSize().cx, 36);
  COLORREF centre = GetPixel(photo->GetDC(), 18, 18);
  EXPECT_GT(GetGValue(centre), 160) << std::hex << centre;
  EXPECT_LT(GetRValue(centre), 90) << std::hex << centre;
  EXPECT_EQ(good.GetPhoto(), photo);  // built once

  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  for (const wchar_t* name : {L"Cut", L"Noise", L"Empty"}) {
    CONTACT_ITEM bad;
    bad.m_fileAs = name;
    CBitmapDC* placeholder = bad.GetPhoto();
    ASSERT_NE(placeholder, nullptr) << std::string(name, name + wcslen(name));
    EXPECT_EQ(placeholder->GetSize().cx, 36);
    EXPECT_EQ(GetPixel(placeholder->GetDC(), 0, 35), grey);
    EXPECT_EQ(GetPixel(placeholder->GetDC(), 35, 0), grey);
  }
  CONTACT_ITEM missing;
  missing.m_fileAs = L"Nobody";
  EXPECT_EQ(missing.GetPhoto(), nullptr);
}

TEST_F(ContactPhotosTest, TheNewerStoresPictureStream) {
  CStoreMode newer(true);
  contacttest::Store store(true);
  contacttest::Written a = store.Add({L"Ann"});
  contacttest::Written b = store.Add({L"Bob"});
  contacttest::Written c = store.Add({L"Cy"});
  contacttest::Written d = store.Add({L"Di"});
  ASSERT_TRUE(store.WritePicture(a.recordOid, Picture(GUID_ContainerFormatBmp, 48, 72)));
  ASSERT_TRUE(store.WritePicture(b.recordOid, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ASSERT_TRUE(store.WritePicture(c.recordOid, {1, 2, 3, 4, 5, 6, 7}));  // too short to count
  contacttest::NotifyWindow window;
  CContactsList list;
  list.SetNotifyWindow(window.Get());
  ASSERT_TRUE(list.Open());
  CONTACT_ITEM* ann = list.FindByOid(a.itemOid);
  CONTACT_ITEM* bob = list.FindByOid(b.itemOid);
  CONTACT_ITEM* cy = list.FindByOid(c.itemOid);
  CONTACT_ITEM* di = list.FindByOid(d.itemOid);
  ASSERT_TRUE(ann && bob && cy && di);
  EXPECT_EQ(ann->m_photoState, 1);
  EXPECT_EQ(bob->m_photoState, 1);
  EXPECT_EQ(cy->m_photoState, 0);
  EXPECT_EQ(di->m_photoState, 0);
  CBitmapDC* photo = ann->GetPhoto();
  ASSERT_NE(photo, nullptr);
  // 48 x 72 is 34 wide: the thirds stay side by side.
  EXPECT_TRUE(Near(GetPixel(photo->GetDC(), 18, 18), RGB(0, 255, 0)));
  EXPECT_TRUE(Near(GetPixel(photo->GetDC(), 2, 18), RGB(255, 0, 0)));
  CBitmapDC* placeholder = bob->GetPhoto();
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(GetPixel(placeholder->GetDC(), 0, 35), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(cy->GetPhoto(), nullptr);
  EXPECT_EQ(di->GetPhoto(), nullptr);
  EXPECT_EQ(CContactsList::OpenPictureStream(0), nullptr);
  list.Close();
}

}  // namespace
