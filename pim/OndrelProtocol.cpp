#include "pim/OndrelProtocol.h"

#include <cstring>

namespace {

bool Terminated(const wchar_t* text, int chars) {
  for (int i = 0; i < chars; ++i)
    if (!text[i]) return true;
  return false;
}

bool IsRequestCode(ULONG_PTR data) {
  if (data > 0xFFFFFFFFu) return false;
  const uint32_t kind = static_cast<uint32_t>(data) >> 16;
  return kind <= ONDREL_KIND_NOTE || kind == ONDREL_KIND_MAIL2;
}

}  // namespace

BOOL ReadOndrelRequest(const COPYDATASTRUCT* copy, ONDREL_REQUEST* out) {
  if (!out) return FALSE;
  memset(out, 0, sizeof *out);
  if (!copy || !copy->lpData || copy->cbData != sizeof(ONDREL_REQUEST) || !IsRequestCode(copy->dwData))
    return FALSE;
  ONDREL_REQUEST request;
  memcpy(&request, copy->lpData, sizeof request);
  if (!Terminated(request.text1, ONDREL_TEXT_CHARS)) return FALSE;
  if (copy->dwData >> 16 == ONDREL_KIND_MESSAGE) {
    if (request.message.entryIdLength < 1 || request.message.entryIdLength > ONDREL_MAX_ENTRY_ID) return FALSE;
  } else if (!Terminated(request.text2, ONDREL_TEXT_CHARS)) {
    return FALSE;
  }
  *out = request;
  return TRUE;
}

BOOL ReadOndrelChange(const COPYDATASTRUCT* copy, ONDREL_CHANGE_MESSAGE* out) {
  if (!out) return FALSE;
  memset(out, 0, sizeof *out);
  if (!copy || !copy->lpData || copy->dwData != ONDREL_CHANGE_DATA || copy->cbData != sizeof(ONDREL_CHANGE_MESSAGE))
    return FALSE;
  ONDREL_CHANGE_MESSAGE change;
  memcpy(&change, copy->lpData, sizeof change);
  if (!Terminated(change.categories, ONDREL_CATEGORIES_CHARS)) return FALSE;
  *out = change;
  return TRUE;
}

BOOL ReadOndrelBeam(WPARAM wParam, LPARAM lParam, uint32_t* kind, uint32_t* objectId) {
  if ((wParam & ~static_cast<WPARAM>(0xFFFF)) != ONDREL_BEAM_ITEM) return FALSE;
  const uint32_t beamKind = static_cast<uint32_t>(wParam & 0xFFFF);
  if (beamKind < 1 || beamKind > 3 || static_cast<ULONG_PTR>(lParam) > 0xFFFFFFFFu) return FALSE;
  if (kind) *kind = beamKind;
  if (objectId) *objectId = static_cast<uint32_t>(lParam);
  return TRUE;
}
