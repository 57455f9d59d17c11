// Places no call: records the number it was asked to dial, for tests.
#include "platform/phone/phone.h"

#include <string>
#include <vector>

namespace {

struct Call {
  std::wstring number;
  DWORD flags;
};

std::vector<Call>& Calls() {
  static std::vector<Call> calls;
  return calls;
}

// The longest number the device's dialer takes.
const size_t kMaxNumber = 256;

}  // namespace

PHONE_API LONG WINAPI PhoneMakeCall(PHONEMAKECALLINFO* info) {
  if (!info || info->cbSize != sizeof(PHONEMAKECALLINFO) || !info->pszDestAddress) return ERROR_INVALID_PARAMETER;
  const size_t length = wcsnlen(info->pszDestAddress, kMaxNumber + 1);
  if (length == 0 || length > kMaxNumber) return ERROR_INVALID_PARAMETER;
  try {
    Calls().push_back(Call{std::wstring(info->pszDestAddress, length), info->dwFlags});
  } catch (...) {
    return ERROR_OUTOFMEMORY;
  }
  return 0;
}

PHONE_API int WINAPI PhoneTestGetCallCount() { return static_cast<int>(Calls().size()); }

PHONE_API BOOL WINAPI PhoneTestGetCall(int index, LPWSTR number, int size, DWORD* flags) {
  if (index < 0 || index >= PhoneTestGetCallCount()) return FALSE;
  const Call& call = Calls()[index];
  if (number && size > 0) lstrcpynW(number, call.number.c_str(), size);
  if (flags) *flags = call.flags;
  return TRUE;
}

PHONE_API void WINAPI PhoneTestReset() { Calls().clear(); }
