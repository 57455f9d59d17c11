#include "tabs/contacts/ContactPhotos.h"

#include <shlobj.h>

#include <memory>
#include <new>
#include <string>

#include "base/BitmapDC.h"
#include "base/CeDbApi.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "graphics/BitmapResampler.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"
#include "graphics/IniFile.h"
#include "platform/coredll/DeviceIdentity.h"
#include "pim/OndrelClient.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"

namespace {

const UINT kPlaceholderTextId = 251;
const int kMaxResampleSide = 8192;
const wchar_t* const kExtensions[] = {L".jpg", L".gif", L".bmp"};

ContactPhotosFolderFn g_photosFolder = nullptr;
CurrentPimFn g_currentPim = nullptr;

struct CallerIdFolders {
  BOOL known = FALSE;
  CString a, b;
};
CallerIdFolders g_callerId;

int CurrentPim() { return g_currentPim ? g_currentPim() : COndrelClient::Instance().GetCurrentPIM(); }

// A value of another program's key; the default when the key or value is missing.
// Never creates the key, never writes.
CString ReadOtherProgramString(HKEY root, LPCWSTR path, LPCWSTR name, LPCWSTR defaultText) {
  CRegKey key(root, path, FALSE);
  if (key.IsOpen() && key.ValueExists(name)) return key.QueryString(name);
  return CString(defaultText);
}

void EnsureCallerIdFolders() {
  if (g_callerId.known) return;
  wchar_t documents[MAX_PATH] = {};
  BOOL haveDocuments = SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE);
  BYTE values[256] = {};
  DWORD size = sizeof values;
  BOOL haveValues = FALSE;
  {
    CRegKey key(HKEY_CURRENT_USER, L"\\Software\\IA Style\\IA Caller ID\\Preferences", FALSE);
    haveValues = key.IsOpen() && key.QueryValue(L"Values", values, &size);
  }
  MakeCallerIdFolders(haveDocuments ? documents : nullptr, haveValues ? values : nullptr, haveValues ? size : 0,
                      &g_callerId.a, &g_callerId.b);
  g_callerId.known = TRUE;
}

// The contact's file-as text under a folder, with the extensions tried.
BOOL ProbeUnder(const CString& folder, const CString& name, CString& found) {
  CString base = WithBackslash(folder);
  base += name;
  return ProbePhotoFile(base, found);
}

}  // namespace

void SetContactPhotosFolderSource(ContactPhotosFolderFn source) { g_photosFolder = source; }
void SetCurrentPimSource(CurrentPimFn source) { g_currentPim = source; }

CString WithBackslash(const CString& folder) {
  CString result = folder;
  if (!result.IsEmpty() && result[result.GetLength() - 1] != L'\\') result += L'\\';
  return result;
}

BOOL ProbePhotoFile(const CString& basePath, CString& found) {
  for (LPCWSTR extension : kExtensions) {
    CString candidate;
    candidate.Format(L"%s%s", static_cast<LPCWSTR>(basePath), extension);
    if (GetFileAttributesW(candidate) != INVALID_FILE_ATTRIBUTES) {
      found = candidate;
      return TRUE;
    }
  }
  return FALSE;
}

void MakeCallerIdFolders(LPCWSTR documents, const BYTE* values, DWORD size, CString* folderA, CString* folderB) {
  CString a(L"\\Storage\\Caller ID Photos\\");
  CString b;
  if (documents && *documents) b.Format(L"%s\\Caller ID Photos\\", documents);
  if (values && size == 28) {
    DWORD flags = static_cast<DWORD>(values[24]) | (static_cast<DWORD>(values[25]) << 8) |
                  (static_cast<DWORD>(values[26]) << 16) | (static_cast<DWORD>(values[27]) << 24);
    if (flags & 2) {
      CString swap = a;
      a = b;
      b = swap;
    }
  }
  if (folderA) *folderA = a;
  if (folderB) *folderB = b;
}

void ResetCallerIdFolders() {
  g_callerId.known = FALSE;
  g_callerId.a.Empty();
  g_callerId.b.Empty();
}

CString GetCallerIdFolder(int selector) {
  EnsureCallerIdFolders();
  return selector == 1 ? g_callerId.a : g_callerId.b;
}

BOOL FindCallerIdPhoto(DWORD photoId, CString& path, int selector) {
  CString folder = GetCallerIdFolder(selector);
  if (folder.IsEmpty()) return FALSE;
  CString candidate;
  candidate.Format(L"%s%08X.cnt", static_cast<LPCWSTR>(folder), photoId);
  if (GetFileAttributesW(candidate) == INVALID_FILE_ATTRIBUTES) return FALSE;
  path = candidate;
  return TRUE;
}

int FindContactPhoto(CONTACT_ITEM* contact) {
  if (!contact) return CONTACT_ITEM::kPhotoNone;
  if (contact->m_photoState != CONTACT_ITEM::kPhotoUnknown) return contact->m_photoState;
  contact->m_photoState = CONTACT_ITEM::kPhotoNone;
  contact->m_photoPath.Empty();
  // The newer store's state came from the picture stream when the record was read.
  if (IsNewerStore()) return contact->m_photoState;
  CString found;
  BOOL have = FALSE;
  CString folder;
  switch (CurrentPim()) {
    case 1:
      folder = ReadOtherProgramString(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Developer One, Inc.\\Agenda Fusion",
                                      L"ContactPhotoFolder", L"\\My Documents\\FusionContactPhotos");
      have = ProbeUnder(folder, contact->m_fileAs.ToString(), found);
      break;
    case 2: {
      folder = ReadOtherProgramString(HKEY_CURRENT_USER, L"\\Software\\WebIS\\PocketInformant", L"WebIS_Folder", L"");
      CString pictures = WithBackslash(folder);
      pictures += L"WebIS\\ContactPics\\";
      have = ProbeUnder(pictures, contact->m_fileAs.ToString(), found);
      break;
    }
    default:
      if (g_photosFolder && g_photosFolder(&folder)) {
        CString name = contact->m_firstName.ToString();
        if (!name.IsEmpty() && !contact->m_lastName.IsEmpty()) name += L' ';
        name += static_cast<LPCWSTR>(contact->m_lastName);
        have = ProbeUnder(folder, name, found);
      } else if (contact->m_callerIdPhoto != 0) {
        have = FindCallerIdPhoto(contact->m_callerIdPhoto, found, 0) ||
               FindCallerIdPhoto(contact->m_callerIdPhoto, found, 1);
      }
      break;
  }
  if (have) {
    contact->m_photoState = CONTACT_ITEM::kPhotoPresent;
    contact->m_photoPath = found;
  }
  return contact->m_photoState;
}

SIZE PhotoResampleSize(int width, int height) {
  SIZE size = {0, 0};
  if (width <= 0 || height <= 0) return size;
  if (width > height) {
    size.cy = kPhotoInnerSize;
    size.cx = static_cast<LONG>(static_cast<LONGLONG>(width) * kPhotoTileSize / height);
  } else {
    size.cx = kPhotoInnerSize;
    size.cy = static_cast<LONG>(static_cast<LONGLONG>(height) * kPhotoTileSize / width);
  }
  return size;
}

CBitmapDC* MakePhotoPlaceholder() {
  const int side = ScaleX(kPhotoTileSize);
  std::unique_ptr<CBitmapDC> tile(new (std::nothrow) CBitmapDC());
  if (!tile || !tile->CreateFilledWithBrush(side, ScaleY(kPhotoTileSize), GetSysColorBrush(COLOR_GRAYTEXT)))
    return nullptr;
  HDC dc = tile->GetDC();
  HFONT font = nullptr;
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(0, FALSE)) font = info->GetFont();
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  CString text;
  LoadTranslatedString(text, kPlaceholderTextId);
  RECT all = {0, 0, side, ScaleY(kPhotoTileSize)};
  DrawTextW(dc, text, text.GetLength(), &all, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
  if (old) SelectObject(dc, old);
  return tile.release();
}

CBitmapDC* MakePhotoTile(CDib* source) {
  if (!source || source->IsEmpty() || source->GetWidth() <= 0 || source->GetHeight() <= 0)
    return MakePhotoPlaceholder();
  CDib resampled;
  CDib* picture = source;
  const int tile = ScaleX(kPhotoTileSize);
  const int tileHeight = ScaleY(kPhotoTileSize);
  if (source->GetWidth() != tile || source->GetHeight() != tileHeight) {
    SIZE logical = PhotoResampleSize(source->GetWidth(), source->GetHeight());
    int width = ScaleX(logical.cx), height = ScaleY(logical.cy);
    CBitmapResampler resampler;
    // Only the centre is kept: a picture of an absurd shape would need a huge
    // intermediate for nothing, and is taken as it is instead.
    BOOL ok = width > 0 && height > 0 && width <= kMaxResampleSide && height <= kMaxResampleSide && CBitmapResampler::CreateTarget(width, height, 0, resampled) &&
              resampler.Prepare(source->GetWidth(), source->GetHeight(), width, height, 0, resampled);
    for (int y = 0; ok && y < source->GetHeight(); ++y) ok = resampler.Resample(source->Row(y));
    // A picture that cannot be resampled is used as it is.
    if (ok) picture = &resampled;
  }
  std::unique_ptr<CBitmapDC> result(new (std::nothrow) CBitmapDC());
  if (!result || !result->CreateFilledWithBrush(tile, tileHeight, GetSysColorBrush(COLOR_WINDOW))) return nullptr;
  const int inner = ScaleX(kPhotoInnerSize), innerHeight = ScaleY(kPhotoInnerSize);
  HDC from = picture->GetDC();
  BOOL copied = from && BitBlt(result->GetDC(), ScaleX(1), ScaleY(1), inner, innerHeight, from,
                               (picture->GetWidth() - inner) / 2, (picture->GetHeight() - innerHeight) / 2, SRCCOPY);
  picture->ReleaseDC();
  if (!copied) return nullptr;
  return result.release();
}

CBitmapDC* BuildContactPhoto(CONTACT_ITEM* contact) {
  if (!contact) return nullptr;
  std::unique_ptr<CDib> source;
  if (IsNewerStore()) {
    source.reset(CContactsList::OpenPictureStream(contact->m_recordOid));
  } else if (!contact->m_photoPath.IsEmpty()) {
    source.reset(new (std::nothrow) CDib());
    if (source && !source->LoadWithImgDecmp(contact->m_photoPath)) source.reset();
  }
  return MakePhotoTile(source.get());
}

// --- the photo-contact add-on's folder -----------------------------------------------

CContactPhotos& CContactPhotos::Instance() {
  static CContactPhotos photos;
  if (!photos.m_loaded) photos.Load(GetDefaultPath());
  return photos;
}

CString CContactPhotos::GetDefaultPath() {
  // A device path starts at the device's root, which under Wine is a host folder.
  std::wstring root = CDeviceIdentity::Root();
  while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
  return CString((root + L"\\Windows\\PhotoContacts.ini").c_str());
}

BOOL CContactPhotos::Load(LPCWSTR path) {
  m_loaded = TRUE;
  m_available = FALSE;
  m_text.Empty();
  CIniFile file;
  if (!path || !file.Load(path)) return FALSE;
  const CIniFile* section = file.FindSection(L"Photos");
  if (!section) return FALSE;
  if (const CString* value = section->GetValueAt(0)) m_text = *value;
  m_available = TRUE;
  return TRUE;
}

BOOL CContactPhotos::GetFolder(CString* folder) {
  CContactPhotos& photos = Instance();
  if (!photos.IsAvailable() || photos.GetText().IsEmpty()) return FALSE;
  if (folder) *folder = photos.GetText();
  return TRUE;
}
