// Stands in for the item-operations program behind the contacts list: keeps every
// request in the order asked and answers deletes and copies with a set result.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tabs/contacts/ContactRequests.h"

namespace contacttest {

struct CContactRequestsRecorder : IContactRequests {
  explicit CContactRequestsRecorder(LRESULT result = 0) : answer(result) {}

  LRESULT DeleteContact(DWORD oid) override {
    seen.push_back(L"delete " + std::to_wstring(oid));
    return answer;
  }
  BOOL DisplayContact(DWORD oid, BOOL edit) override {
    seen.push_back((edit ? L"edit " : L"show ") + std::to_wstring(oid));
    shown.push_back({oid, edit});
    return TRUE;
  }
  LRESULT CopyContact(DWORD oid) override {
    seen.push_back(L"copy " + std::to_wstring(oid));
    return answer;
  }

  LRESULT answer;
  std::vector<std::wstring> seen;            // "delete N", "show N", "edit N", "copy N"
  std::vector<std::pair<DWORD, BOOL>> shown;  // each contact shown or edited, and whether edited
};

}  // namespace contacttest
