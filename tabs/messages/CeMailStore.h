// One WebIS Mail account's storage: a database volume of its own holding the
// databases "Folders", "Messages" and "Bodies". Both programs only read
// the folder list (identifier, parent, type, name); it never writes the volume.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include <objidl.h>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"

// WebIS Mail's folder types.
enum WEBIS_FOLDER_TYPE : DWORD {
  WEBIS_FOLDER_INBOX = 1,
  WEBIS_FOLDER_OUTBOX = 2,
  WEBIS_FOLDER_SENT = 3,
  WEBIS_FOLDER_DELETED = 4,
  WEBIS_FOLDER_DRAFTS = 5,
};

struct EMAIL_ITEM;

// The name part of an address text ("Ann" of "\"Ann\" <ann@example.com>"); the whole
// text when it has no "<...>".
CString WebISDisplayPart(LPCWSTR address);

struct WEBIS_FOLDER {
  DWORD id = 0;
  DWORD parent = 0;  // 0 at the top, 0xFFFFFFFF when missing
  DWORD type = 0;    // 0xFFFFFFFF when missing
  CString name;
};

class CCeMailStore {
 public:
  // The folder record's properties.
  static const CEPROPID kParentProp = (0 << 16) | CEVT_UI4;
  static const CEPROPID kTypeProp = (1 << 16) | CEVT_UI4;
  static const CEPROPID kNameProp = (2 << 16) | CEVT_LPWSTR;

  // Takes over a mounted volume; the destructor closes the databases, then
  // unmounts it.
  CCeMailStore(LPCWSTR key, LPCWSTR displayName, LPCWSTR shortName, const CEGUID& volume);
  ~CCeMailStore();
  CCeMailStore(const CCeMailStore&) = delete;
  CCeMailStore& operator=(const CCeMailStore&) = delete;

  // Opens the three databases and reads the folders; FALSE when a database does
  // not open or there are no folders. With an owner window the databases' changes go
  // there, and those of "Messages" on to sink.
  BOOL Open(HWND owner = nullptr, ICeDatabaseSink* sink = nullptr);
  CCeDatabase* GetMessageDb() const { return m_messageDb.get(); }

  // Message records. ReadMessage reads the record given (0: the next one from
  // SeekFirstMessage on) into item; its identifier, 0 at the end or when unreadable.
  // The record's status bits go to status.
  BOOL SeekFirstMessage();
  CEOID ReadMessage(CEOID record, EMAIL_ITEM* item, DWORD* status);
  // The message's MIME source: its "Bodies" chunks in index order, each place from 0 to
  // the last filled exactly once; none for a gap, a repeated or out-of-range index, or
  // no bytes at all.
  IStream* GetMessageSource(CEOID message);
  BOOL HasFolder(CEOID folder) const;
  // Status bits set and cleared, and the folder changed when given.
  BOOL ChangeMessage(CEOID message, DWORD setStatus, DWORD clearStatus, const CEOID* folder);
  // Deleted for good: status 0x8001, its texts emptied, its chunks deleted.
  BOOL EraseMessage(CEOID message);

  const CString& GetKey() const { return m_key; }
  const CString& GetDisplayName() const { return m_displayName; }
  const CString& GetShortName() const { return m_shortName; }
  std::vector<CString>& GetServices() { return m_services; }
  const std::vector<WEBIS_FOLDER>& GetFolders() const { return m_folders; }
  // The first folder of type 4 (deleted items); 0 when none.
  CEOID GetDeletedFolderId() const { return m_deletedFolder; }

 private:
  CString m_key;
  CString m_displayName;
  CString m_shortName;
  std::vector<CString> m_services;
  std::unique_ptr<CCeDatabase> m_folderDb;
  std::unique_ptr<CCeDatabase> m_messageDb;
  std::unique_ptr<CCeDatabase> m_bodyDb;
  CEGUID m_volume;
  CEOID m_deletedFolder = 0;
  std::vector<WEBIS_FOLDER> m_folders;
};
