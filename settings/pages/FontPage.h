// The General sheet's font page: face, size, whether the size follows the shell's
// text size, and the rendering mode of the Today lists, with a three-line sample
// over the Today background. Applying writes the settings and reloads the font cache.
#pragma once
#include <windows.h>

#include "graphics/Dib.h"
#include "settings/pages/PageTable.h"

const int kFontFaceCombo = 1005;
const int kFontSizeCombo = 1006;
const int kUseSystemBox = 1007;
const int kClearTypeCombo = 1008;

// The sizes the size box offers, in its order.
constexpr int kFontPageSizes[] = {8, 9, 10, 11, 12, 13, 14, 16, 18};

// The LOGFONT quality and pitch-and-family byte of a sample for a "ClearType"
// mode: 0 standard (the system's ClearType when it is on), 1 ClearType, any
// other value no anti-aliasing.
struct SampleQuality {
  BYTE quality;
  BYTE pitchAndFamily;
};
SampleQuality SampleQualityFor(int clearTypeMode, BOOL systemClearTypeOn);

// True when HKLM "System\GDI" has a sub-key "CLEARTYPE".
BOOL IsSystemClearTypeOn();

class CFontPage : public COptionsPage<CFontPage> {
 public:
  enum { IDD = FindPage(0, 1).templateId };

  CFontPage();
  ~CFontPage() override;

  BOOL OnInitPage();
  BOOL OnApply();
  void DrawPreview(HDC dc);
  LPCWSTR GetHelpTopic() { return FindPage(0, 1).helpTopic; }

  // The page's current choice (what applying would write).
  const CString& GetFace() const { return m_face; }
  int GetHeight() const { return m_height; }
  int GetClearTypeMode() const { return m_clearType; }
  // The sample's rectangle in client coordinates.
  RECT GetSampleRect() const;
  HFONT GetSampleFont(int index) const { return index >= 0 && index < 3 ? m_sampleFonts[index] : nullptr; }

  BEGIN_MSG_MAP(CFontPage)
    COMMAND_HANDLER(kUseSystemBox, BN_CLICKED, OnUseSystemCommand)
    COMMAND_HANDLER(kClearTypeCombo, CBN_SELCHANGE, OnSelectionChange)
    COMMAND_HANDLER(kFontFaceCombo, CBN_SELCHANGE, OnSelectionChange)
    COMMAND_HANDLER(kFontSizeCombo, CBN_SELCHANGE, OnSelectionChange)
    MESSAGE_HANDLER(m_metricChange, OnMetricChange)
    CHAIN_MSG_MAP(COptionsPage<CFontPage>)
  END_MSG_MAP()

 private:
  LRESULT OnUseSystemCommand(WORD, WORD, HWND, BOOL&);
  LRESULT OnSelectionChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnMetricChange(UINT, WPARAM, LPARAM, BOOL&);

  void LoadFontSettings(BOOL system);
  void SyncControls(BOOL toData);
  void BuildSampleFonts();
  void FreeSampleFonts();
  BOOL IsUseSystemTicked() const;

  CString m_savedFace;
  int m_savedHeight = 12;
  UINT m_metricChange = 0;
  CString m_face;
  int m_height = 12;
  int m_clearType = 1;
  CString m_samples[3];
  CDib m_background;
  BOOL m_hasBackground = FALSE;
  // Regular, italic, bold.
  HFONT m_sampleFonts[3] = {};
};
