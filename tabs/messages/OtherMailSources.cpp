#include "tabs/messages/OtherMailSources.h"

namespace {

class CNullPalmMsgSource : public IPalmMsgSource {
 public:
  BOOL IsAvailable() override { return FALSE; }
  void Start(HWND, IPalmStoreListener*) override {}
  void Stop() override {}
  DWORD OpenFolder(IMsgStore*, int) override { return 0; }
  BOOL GetFirst(DWORD, EMAIL_ITEM*) override { return FALSE; }
  BOOL GetNext(EMAIL_ITEM*) override { return FALSE; }
};

class CNullWebISMailSource : public IWebISMailSource {
 public:
  BOOL LoadAccounts(HWND, IWebISMailListener*) override { return FALSE; }
  void CloseAccounts() override {}
  BOOL GetFirstMessage(LPCWSTR, int, EMAIL_ITEM*) override { return FALSE; }
  BOOL GetNextMessage(EMAIL_ITEM*) override { return FALSE; }
  IStream* GetMessageSource(LPCWSTR, DWORD) override { return nullptr; }
  DWORD GetBuild() const override { return 0; }
  BOOL HasTakenOverMailProgram() override { return FALSE; }
};

}  // namespace

IPalmMsgSource* GetNullPalmMsgSource() {
  static CNullPalmMsgSource source;
  return &source;
}

IWebISMailSource* GetNullWebISMailSource() {
  static CNullWebISMailSource source;
  return &source;
}
