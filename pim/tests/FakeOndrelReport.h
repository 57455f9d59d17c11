// What the fake item-operations program tells the client's tests.
#pragma once
#include <windows.h>

#include "pim/OndrelProtocol.h"

#define FAKE_ONDREL_RECORDER L"TarvoFakeOndrelRecorder"
constexpr ULONG_PTR FAKE_ONDREL_REPORT_DATA = 0x7E570000;

enum { FAKE_ONDREL_REQUEST = 1, FAKE_ONDREL_CHANGE, FAKE_ONDREL_REFUSED, FAKE_ONDREL_MESSAGE };

enum {
  FAKE_ONDREL_UPDATE_SETTINGS,
  FAKE_ONDREL_OPEN_APP,
  FAKE_ONDREL_CLOSE,
  FAKE_ONDREL_GET_MONTH,
  FAKE_ONDREL_UPDATE_CALENDAR,
  FAKE_ONDREL_CANCEL_LOAD,
  FAKE_ONDREL_GET_PI_STATUS,
  FAKE_ONDREL_CHANGE_ITEM,
  FAKE_ONDREL_MESSAGE_COUNT
};
static const wchar_t* const kFakeOndrelMessages[FAKE_ONDREL_MESSAGE_COUNT] = {
    L"QelTarvo_UpdateSettings", L"QelTarvo_OpenApp",    L"QelTarvo_CloseWindow", L"QelTarvo_GetMonth",
    L"QelTarvo_UpdateCalendar", L"QelTarvo_CancelLoad", L"QelTarvo_GetPIStatus", L"QelTarvo_ChangeItem"};

struct FAKE_ONDREL_REPORT {
  uint32_t what;
  uint32_t message;
  uint64_t dwData;
  uint64_t cbData;
  uint64_t wParam;
  int64_t lParam;
  ONDREL_REQUEST request;
  ONDREL_CHANGE_MESSAGE change;
};

// A result that depends on what arrived, so a test sees the answer came back.
inline LRESULT FakeOndrelChangeResult(const ONDREL_CHANGE_RECORD& record) {
  return 0x100 + (record.operation >> 16) + (record.objectId & 0xFF) * 0x1000;
}
