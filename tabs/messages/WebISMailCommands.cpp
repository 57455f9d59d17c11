#include "tabs/messages/WebISMailCommands.h"

#include "tabs/messages/WebISMailSettings.h"

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

BOOL CWebISMailCommands::IsInstalled() { return m_settings.IsInstalled(); }
BOOL CWebISMailCommands::HasTakenOverMailProgram() { return m_settings.HasTakenOverMailProgram(); }
BOOL CWebISMailCommands::IsEmailIntegration() { return m_settings.IsInstalled() && m_settings.IsEmailIntegration(); }
BOOL CWebISMailCommands::IsSmsIntegration() { return m_settings.IsInstalled() && m_settings.IsSmsIntegration(); }
BOOL CWebISMailCommands::OpenMessage(const EMAIL_ITEM& item, int action) { return m_settings.OpenMessage(&item, action); }
BOOL CWebISMailCommands::SetRead(const EMAIL_ITEM& item, BOOL read, BOOL) { return m_settings.SetRead(&item, read); }
BOOL CWebISMailCommands::MarkForDownload(const EMAIL_ITEM& item, BOOL mark) {
  return m_settings.MarkForDownload(&item, mark);
}
BOOL CWebISMailCommands::DeleteMessage(const EMAIL_ITEM& item) { return m_settings.DeleteMessage(&item); }
BOOL CWebISMailCommands::MoveMessage(const EMAIL_ITEM& item, DWORD folderNumber) {
  return m_settings.MoveMessage(&item, folderNumber);
}
BOOL CWebISMailCommands::OpenService(LPCWSTR storage) { return m_settings.OpenService(storage); }
BOOL CWebISMailCommands::Synchronize(LPCWSTR storage) { return m_settings.Synchronize(storage); }
BOOL CWebISMailCommands::Compose(LPCWSTR storageOrService, LPCWSTR recipient) {
  return m_settings.Compose(storageOrService, recipient);
}

IWebISMailCommands* GetWebISMailCommands() {
  static CWebISMailCommands commands(GetWebISMailSettings());
  return &commands;
}
