#include "tabs/messages/WebISMailCommands.h"

namespace {

class CNullWebISMailCommands : public IWebISMailCommands {
 public:
  BOOL IsInstalled() override { return FALSE; }
  BOOL HasTakenOverMailProgram() override { return FALSE; }
  BOOL IsEmailIntegration() override { return FALSE; }
  BOOL IsSmsIntegration() override { return FALSE; }
  BOOL OpenMessage(const EMAIL_ITEM&, int) override { return FALSE; }
  BOOL SetRead(const EMAIL_ITEM&, BOOL, BOOL) override { return FALSE; }
  BOOL MarkForDownload(const EMAIL_ITEM&, BOOL) override { return FALSE; }
  BOOL DeleteMessage(const EMAIL_ITEM&) override { return FALSE; }
  BOOL MoveMessage(const EMAIL_ITEM&, DWORD) override { return FALSE; }
  BOOL OpenService(LPCWSTR) override { return FALSE; }
  BOOL Synchronize(LPCWSTR) override { return FALSE; }
  BOOL Compose(LPCWSTR, LPCWSTR) override { return FALSE; }
};

}  // namespace

IWebISMailCommands* GetNullWebISMailCommands() {
  static CNullWebISMailCommands commands;
  return &commands;
}
