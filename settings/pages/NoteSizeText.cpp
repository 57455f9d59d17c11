#include "settings/pages/NoteSizeText.h"

#include "base/SizeText.h"

CString FormatNoteSize(int kind, DWORD bytes, DWORD milliseconds, LPCWSTR separator) {
  if (kind == kVoiceNoteKind) return FormatSizeText(milliseconds, SIZE_TEXT_MILLISECONDS, separator);
  return FormatSizeText(bytes, SIZE_TEXT_BYTES, separator);
}
