#include "graphics/Skin.h"

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "graphics/RasterOps.h"
#include "graphics/SkinArchive.h"
#include "graphics/SkinColors.h"
#include "platform/windowlib/Module.h"

namespace {

const LPCWSTR kIconNames[CSkin::kIconCount] = {
    L"NOTE",          L"LOW_PRIO",        L"HIGH_PRIO",      L"RECURR",       L"REMINDER",
    L"PRIVATE",       L"CATEGORY",        L"RECIPIENTS",     L"HOME",         L"MOBILE",
    L"WORK",          L"EMAIL",           L"INFO",           L"NOTE2",        L"VOICE",
    L"NOTE2_STORAGE", L"VOICE_STORAGE",   L"NOTE2_CRYPTED",  L"VOICE_CRYPTED", L"PELLAM_TRANS",
    L"ANNIVERSARY",   L"BIRTHDAY",        L"MAIL",           L"MAILRD",       L"MAIL_UND",
    L"MAILRD_UND",    L"MAIL_ATT",        L"MAILRD_ATT",     L"MAIL_UND_ATT", L"MAILRD_UND_ATT",
    L"PHATNOTE_Y",    L"PHATNOTE_B",      L"PHATNOTE_G",     L"PHATNOTE_P",   L"PHATNOTE_W",
    L"WORD",          L"WORD_STORAGE",    L"TEXT",           L"TEXT_STORAGE", L"RECURR_EXCEPT",
    L"PHATPAD",       L"PHATPAD_STORAGE", L"EXCEL",          L"EXCEL_STORAGE", L"GENERIC",
    L"GENERIC_STORAGE", L"WORLD",         L"WORLD_STORAGE",  L"ALLDAY",
};

const LPCWSTR kPartNames[CSkin::kScrollPartCount] = {
    L"scrollbar_up", L"scrollbar_down", L"scrollbar_mu", L"scrollbar_mm",
    L"scrollbar_md", L"header_btn",     L"scrollbar_vertical",
};

const UINT kSmallIconIds[] = {111, 112, 121, 122, 120};

// The screen's scale step: 1 up to 143 dpi, 2 from 144.
int ScaleStep() { return (GetScreenDpiX() + 48) / 96; }

SIZE CellOf(const CDib* piece) {
  if (!piece) return {0, 0};
  return {piece->GetWidth() / 2, piece->GetHeight()};
}

}  // namespace

CSkinBitmapNames& CSkinBitmapNames::Instance() {
  static CSkinBitmapNames names;
  return names;
}

CSkinBitmapNames::CSkinBitmapNames() {
  Add(128, L"icons.bmp");
  Add(129, L"scrollbar.bmp");
  Add(145, L"sovel.bmp");
  Add(144, L"sovel_vga.bmp");
  Add(221, L"iconchuser.bmp");
  Add(141, L"icons_vga.bmp");
  Add(142, L"scrollbar_vga.bmp");
}

CString CSkinBitmapNames::Lookup(UINT id) const {
  for (size_t i = 0; i < m_ids.size(); i++)
    if (m_ids[i] == id) return m_names[i];
  return CString();
}

void CSkinBitmapNames::Add(UINT id, LPCWSTR name) {
  for (size_t i = 0; i < m_ids.size(); i++) {
    if (m_ids[i] == id) {
      m_names[i] = name;
      return;
    }
  }
  m_ids.push_back(id);
  m_names.push_back(name);
}

CSkin::CSkin()
    : m_smallIcons{},
      m_tabIcons(nullptr),
      m_scrollBitmap(nullptr),
      m_scrollBitmapFromSkin(FALSE),
      m_categoryIcons(nullptr),
      m_openFailed(FALSE) {}

CSkin::~CSkin() {
  // Only what the skin holds itself: the archive, another process-wide object,
  // may already be gone at exit.
  for (HICON icon : m_smallIcons)
    if (icon) DestroyIcon(icon);
  for (CDib* icon : m_icons) delete icon;
  DeleteParts();
  delete m_scrollBitmap;
  delete m_tabIcons;
  delete m_categoryIcons;
}

CSkin& CSkin::Instance() {
  static CSkin skin;
  return skin;
}

LPCWSTR CSkin::GetIconName(int id) { return id >= 0 && id < kIconCount ? kIconNames[id] : nullptr; }

LPCWSTR CSkin::GetScrollPartName(int index) {
  return index >= 0 && index < kScrollPartCount ? kPartNames[index] : nullptr;
}

int CSkin::GetSizeSuffix() { return ScaleStep() > 1 ? 32 : 16; }

int CSkin::GetTabIconSize() { return (16 * GetScreenDpiX() + 48) / 96; }

CString CSkin::GetSkinName() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  CString name = key.GetString(L"SkinName", L"NewStyle");
  if (name.IsEmpty()) name = L"NewStyle";
  return name;
}

const CString& CSkin::GetSkinPath() {
  if (m_skinPath.IsEmpty() && !m_fixedPath.IsEmpty()) m_skinPath = m_fixedPath;
  if (m_skinPath.IsEmpty()) {
    CString relative = L"Skins\\";
    relative += GetSkinName();
    GetInstallPath(m_skinPath, relative);
  }
  return m_skinPath;
}

void CSkin::UseSkinPath(LPCWSTR path) {
  Release();
  m_fixedPath = path;
}

BOOL CSkin::Open() {
  CSkinArchive& archive = CSkinArchive::Instance();
  if (archive.IsOpen()) return TRUE;
  // Every row asks for its icons' sizes while a list of thousands is laid out: a skin
  // that is not there is looked for once, and again only after Release.
  if (m_openFailed) return FALSE;
  const CString path = GetSkinPath();
  CString zip = path;
  zip += L".zip";
  if (archive.Open(zip) || archive.Open(path)) return TRUE;
  m_openFailed = TRUE;
  return FALSE;
}

int CSkin::LoadPiece(std::vector<CDib*>& slots, int index, LPCWSTR name, BOOL* missing) {
  if (missing) *missing = FALSE;
  if (slots[index]) return kLoaded;
  CString member;
  member.Format(L"%s_%d.bmp", name, GetSizeSuffix());
  DWORD size = 0;
  BYTE* bytes = CSkinArchive::Instance().ReadMember(member, &size);
  if (!bytes || size == 0) {
    if (bytes) LocalFree(bytes);
    if (missing) *missing = TRUE;
    return kFailed;
  }
  CDib* piece = new CDib;
  const BOOL decoded = piece->LoadBmpFromMemory(bytes, size);
  LocalFree(bytes);
  if (!decoded || piece->GetWidth() % 2 != 0) {
    delete piece;
    return kFailed;
  }
  slots[index] = piece;
  return kLoaded;
}

int CSkin::LoadIcon(int id) {
  // Ids outside the table are refused before anything is touched.
  if (id < -1 || id >= kIconCount) return kFailed;
  if (m_icons.size() < static_cast<size_t>(kIconCount)) m_icons.resize(kIconCount, nullptr);
  if (m_iconFailed.size() < static_cast<size_t>(kIconCount)) m_iconFailed.resize(kIconCount, false);
  if (!Open()) return kFailed;
  if (id == -1) return kLoaded;
  // An icon the skin lacks (or holds broken) is not read again for every row that asks.
  if (m_iconFailed[id]) return kFailed;
  const int result = LoadPiece(m_icons, id, kIconNames[id], nullptr);
  if (result != kLoaded) m_iconFailed[id] = true;
  return result;
}

int CSkin::GetIconCount() { return Open() ? kIconCount : 0; }

SIZE CSkin::GetIconSize(int id) {
  if (id < 0 || LoadIcon(id) != kLoaded) return {0, 0};
  return CellOf(m_icons[id]);
}

CDib* CSkin::DrawPiece(CDib* piece, CDib* target, int x, int y, HDC hdc, const COLORREF* recolour) {
  const SIZE cell = CellOf(piece);
  auto lay = [&](CDib& into, int at, int top) {
    if (recolour)
      BlitByMaskRecolor(into, at, top, cell.cx, cell.cy, *piece, 0, 0, *piece, cell.cx, 0, 255, *recolour);
    else
      DrawSkinPiece(into, at, top, cell.cx, cell.cy, *piece, 0, 0, *piece, cell.cx, 0, 255);
  };
  if (target) {
    lay(*target, x, y);
  } else if (hdc) {
    const RECT rect = {x, y, x + cell.cx, y + cell.cy};
    CDib* scratch = CSkinColors::Instance().CopyToScratch(rect, hdc);
    if (!scratch || !scratch->GetDC()) return nullptr;
    lay(*scratch, 0, 0);
    BitBlt(hdc, x, y, cell.cx, cell.cy, scratch->GetDC(), 0, 0, SRCCOPY);
  }
  return piece;
}

namespace {
thread_local std::vector<int>* g_drawnIcons = nullptr;
}  // namespace

void CSkin::RecordIconsInto(std::vector<int>* ids) { g_drawnIcons = ids; }

CDib* CSkin::DrawIcon(int id, CDib* target, int x, int y, HDC hdc) {
  if (g_drawnIcons && id >= 0) g_drawnIcons->push_back(id);
  if (id < 0 || LoadIcon(id) != kLoaded) return nullptr;
  return DrawPiece(m_icons[id], target, x, y, hdc, nullptr);
}

CDib* CSkin::DrawIconRecoloured(int id, CDib* target, int x, int y, HDC hdc, COLORREF colour) {
  if (g_drawnIcons && id >= 0) g_drawnIcons->push_back(id);
  if (id < 0 || LoadIcon(id) != kLoaded) return nullptr;
  return DrawPiece(m_icons[id], target, x, y, hdc, &colour);
}

void CSkin::DeleteParts() {
  for (CDib* part : m_parts) delete part;
  m_parts.clear();
}

int CSkin::LoadScrollBar() {
  const BOOL open = Open();
  if (m_scrollBitmap) return open ? kLoaded : kFromResources;
  if (open) {
    if (m_parts.size() == static_cast<size_t>(kScrollPartCount)) return kLoaded;
    m_parts.assign(kScrollPartCount, nullptr);
    BOOL loaded = TRUE;
    for (int i = 0; i < kScrollPartCount && loaded; i++) {
      BOOL missing = FALSE;
      if (LoadPiece(m_parts, i, kPartNames[i], &missing) != kLoaded)
        loaded = i == kPartVertical && missing;
    }
    if (loaded) {
      const SIZE up = CellOf(m_parts[kPartUp]), down = CellOf(m_parts[kPartDown]);
      BOOL agree = up.cy == down.cy;
      for (int i = kPartDown; i <= kPartThumbBottom; i++) agree = agree && CellOf(m_parts[i]).cx == up.cx;
      if (m_parts[kPartVertical])
        agree = agree && CellOf(m_parts[kPartVertical]).cx == CellOf(m_parts[kPartThumbMiddle]).cx;
      if (agree) return kLoaded;
    }
  }
  DeleteParts();
  const BOOL large = ScaleStep() > 1;
  m_scrollBitmap = new CBitmap;
  m_scrollBitmapFromSkin = open && m_scrollBitmap->LoadSkinFile(large ? L"scrollbar_vga.bmp" : L"scrollbar.bmp");
  if (!m_scrollBitmapFromSkin && !m_scrollBitmap->LoadResource(large ? kScrollBarBitmapLarge : kScrollBarBitmap)) {
    delete m_scrollBitmap;
    m_scrollBitmap = nullptr;
    return kFailed;
  }
  return open ? kLoaded : kFromResources;
}

BOOL CSkin::HasScrollBar() {
  return LoadScrollBar() == kLoaded && !m_scrollBitmap && m_parts.size() == static_cast<size_t>(kScrollPartCount);
}

SIZE CSkin::GetScrollPartSize(int index) {
  if (index < 0 || index >= kScrollPartCount) return {0, 0};
  if (HasScrollBar()) return CellOf(m_parts[index]);
  // The single strip stands in for the parts: its own part sizes.
  return m_scrollBitmap ? m_scrollBitmap->GetPartSize(index) : SIZE{0, 0};
}

CDib* CSkin::DrawScrollPart(int index, CDib* target, int x, int y, HDC hdc) {
  if (index < 0 || index >= kScrollPartCount) return nullptr;
  if (HasScrollBar()) return m_parts[index] ? DrawPiece(m_parts[index], target, x, y, hdc, nullptr) : nullptr;
  if (!m_scrollBitmap || index >= m_scrollBitmap->GetPartCount()) return nullptr;
  if (target) {
    m_scrollBitmap->DrawPart(index, *target, x, y);
  } else if (hdc && !m_scrollBitmap->DrawTransparent(hdc, index, x, y)) {
    return nullptr;
  }
  return m_scrollBitmap;
}

CBitmap* CSkin::GetScrollBitmap() {
  // Asking loads the scroll bar, so the strip is there whenever the parts are not.
  LoadScrollBar();
  return m_scrollBitmap;
}

int CSkin::LoadTabIcons() {
  if (!Open()) return kFailed;
  if (m_tabIcons) return kLoaded;
  const int n = GetTabIconSize();
  CString member;
  member.Format(L"tab_icons_%d.bmp", n);
  m_tabIcons = new CSkinImage;
  if (!m_tabIcons->Load(CSkinArchive::Instance(), member, n, n)) {
    delete m_tabIcons;
    m_tabIcons = nullptr;
    return kFailed;
  }
  return kLoaded;
}

BOOL CSkin::DrawTabIcon(int row, HDC hdc, int x, int y, BOOL selected) {
  if (LoadTabIcons() != kLoaded) return FALSE;
  return m_tabIcons->Draw(hdc, row, x, y, selected ? 1 : 0);
}

void CSkin::SetCategoryIcons(ISkinCategoryIcons* icons) {
  if (icons == m_categoryIcons) return;
  delete m_categoryIcons;
  m_categoryIcons = icons;
}

ISkinCategoryIcons* CSkin::GetCategoryIcons() {
  if (m_categoryIcons && !m_categoryIcons->IsLoaded()) m_categoryIcons->LoadIcons();
  return m_categoryIcons;
}

HICON CSkin::LoadSmallIcon(int slot, UINT id, int width, int height) {
  if (!m_smallIcons[slot])
    m_smallIcons[slot] = static_cast<HICON>(LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id),
                                                        IMAGE_ICON, ScaleX(width), ScaleY(height), 0));
  return m_smallIcons[slot];
}

HICON CSkin::GetSmallIcon(int which) {
  const int slot = which == 1 ? kSmallIcon1 : kSmallIcon0;
  return LoadSmallIcon(slot, kSmallIconIds[slot], 8, 8);
}

HICON CSkin::GetSignIcon(BOOL collapsed) {
  const int slot = collapsed ? kSignCollapsed : kSignOpen;
  return LoadSmallIcon(slot, kSmallIconIds[slot], 9, 9);
}

HICON CSkin::GetDropDownIcon() { return LoadSmallIcon(kDropDown, kSmallIconIds[kDropDown], 13, 9); }

void CSkin::Release() {
  for (HICON& icon : m_smallIcons) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  if (m_categoryIcons) m_categoryIcons->Clear();
  m_skinPath.Empty();
  m_openFailed = FALSE;
  for (CDib* icon : m_icons) delete icon;
  m_icons.clear();
  m_iconFailed.clear();
  DeleteParts();
  delete m_scrollBitmap;
  m_scrollBitmap = nullptr;
  m_scrollBitmapFromSkin = FALSE;
  delete m_tabIcons;
  m_tabIcons = nullptr;
  CSkinArchive::Instance().ClearCache();
  CSkinArchive::Instance().Close();
}

BOOL CSkin::IsComplete() {
  Release();
  if (LoadIcon(-1) != kLoaded || GetIconCount() < kIconCount) return FALSE;
  for (int id = 0; id < kIconCount; id++)
    if (LoadIcon(id) != kLoaded) return FALSE;
  if (LoadScrollBar() != kLoaded) return FALSE;
  if (m_scrollBitmap && (!m_scrollBitmapFromSkin || m_scrollBitmap->GetPartCount() < 4)) return FALSE;
  return LoadTabIcons() == kLoaded && m_tabIcons->GetRowCount() >= 6;
}
