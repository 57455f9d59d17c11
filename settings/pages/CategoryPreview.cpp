#include "settings/pages/CategoryPreview.h"

#include <new>

#include "base/AppointmentRecord.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/PreviewSamples.h"

CCategoryPreview::~CCategoryPreview() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

BOOL CCategoryPreview::Attach(HWND control) {
  if (!control || !SubclassWindow(control)) return FALSE;
  m_preview.TakeBackground();
  return TRUE;
}

CCalendarPreview* CCategoryPreview::GetRow() const { return static_cast<CCalendarPreview*>(m_preview.GetRow(0)); }

void CCategoryPreview::SetCategory(int category) {
  if (!m_hWnd) return;
  CAppointmentRecord* record = NewSampleAppointment(FALSE);
  if (!record) return;
  LoadTranslatedString(record->m_subject, IDS_CATEGORY_PREVIEW_SUBJECT);
  if (category >= 0) record->m_categories.Set(category);
  CCalendarPreview* row = new (std::nothrow) CCalendarPreview(record, FALSE, nullptr);
  record->Release();
  if (!row) return;
  row->SetCategoryIcons(TRUE);
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  m_preview.PlaceAt(client);
  m_preview.SetRows(row);
  // The control is as high as the row, however high the template made it.
  const int height = row->GetHeight(-1);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, client.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT placed = {0, 0, client.right, height};
  m_preview.PlaceAt(placed);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CCategoryPreview::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (dc) m_preview.Draw(m_hWnd, dc);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}
