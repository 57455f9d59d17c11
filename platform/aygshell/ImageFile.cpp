#include "platform/aygshell/aygshell.h"

#include <cstring>
#include <vector>

#include "platform/imaging/WicDecoder.h"
#include "platform/windowlib/ComPtr.h"

namespace {

// The whole file, at most what the decoder takes; FALSE for a file that cannot be read
// or is larger.
BOOL ReadFileBytes(LPCWSTR path, std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  LARGE_INTEGER size = {};
  BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
            static_cast<ULONGLONG>(size.QuadPart) <= CWicDecoder::kMaxInput;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
  }
  CloseHandle(file);
  return ok;
}

// Through the same checked decoder as the imaging factory and the decompression
// library, so a picture gives the same pixels whichever loader reads it: a header
// that declares an absurd size is refused before Wine's codecs see it, and
// semi-transparent pixels are drawn over black.
HBITMAP Decode(const std::vector<BYTE>& bytes) {
  CWicDecoder decoder;
  if (FAILED(decoder.Decode(bytes))) return nullptr;
  const UINT width = decoder.Width(), height = decoder.Height();
  std::vector<BYTE> pixels;
  if (FAILED(decoder.CopyOverBlack(width, height, pixels))) return nullptr;

  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = static_cast<LONG>(width);
  bmi.bmiHeader.biHeight = -static_cast<LONG>(height);
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  memcpy(bits, pixels.data(), pixels.size());
  return bitmap;
}

}  // namespace

AYG_API HBITMAP WINAPI SHLoadImageFile(LPCWSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;  // keeps the system's error
  std::vector<BYTE> bytes;
  HBITMAP bitmap = nullptr;
  if (ReadFileBytes(path, bytes)) {
    CComInitScope com;
    bitmap = Decode(bytes);
  }
  if (!bitmap) SetLastError(ERROR_BAD_FORMAT);
  return bitmap;
}
