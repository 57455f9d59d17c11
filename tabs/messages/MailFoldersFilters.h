// The mail folder filters: named sets of mail folders (MAPI folders, WebIS Mail
// folders, and a third kind kept as it is) that the Messages tab shows, one
// binary value per filter under the product key's "MailFilters", and the filter
// the tab shows in "EmailFilter". One object per process.
//
// Value format, entries back to back: kind byte ('M' MAPI, 'F' WebIS, 'P' other),
// blob length L (0-255), L blob bytes, name length N in characters, N UTF-16LE
// characters. A folder name longer than 255 characters is cut to 255 when
// written, so a long nested path never loses the filter it belongs to.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"
#include "tabs/messages/EmailAccount.h"

class CStringList;
class CWebISMailSettings;
struct IMAPISession;

#define TARVO_MAIL_FILTERS_KEY L"\\Software\\Korvel\\Qel Tarvo\\MailFilters"

enum FOLDER_KIND : BYTE { FOLDER_KIND_MAPI = 0, FOLDER_KIND_WEBIS = 1, FOLDER_KIND_OTHER = 2 };

class CMailFoldersFilters {
 public:
  // The longest folder name a value holds.
  static constexpr int kMaxFolderName = 255;

  // Reads the filters unless read before (force reads again). FALSE when the key
  // does not open; the list is then empty.
  BOOL Load(BOOL force);
  // Rewrites the key: every value deleted, then each filter with entries written.
  BOOL Save();
  // "EmailFilter" = the filter's name; -1 deletes it.
  BOOL SetActiveFilter(int index);
  // The filter "EmailFilter" names exactly; -1 when it is missing, empty or names none.
  int GetActiveFilter() const;

  int GetCount() const { return static_cast<int>(m_filters.size()); }
  EMAIL_ACCOUNT& GetAt(int index) { return m_filters[size_t(index)]; }
  const EMAIL_ACCOUNT& GetAt(int index) const { return m_filters[size_t(index)]; }
  // The filter of exactly that name (case counts); -1 when absent.
  int Find(LPCWSTR name) const;
  // The new filter's index.
  int Add(const EMAIL_ACCOUNT& filter);
  void RemoveAt(int index);
  // Indexes of the named filters, by name without regard to case, kana type or
  // width.
  void GetSortedIndexes(std::vector<int>& indexes) const;

  // The five standard filters (deleted items, drafts, inbox, outbox, sent items,
  // named by their texts) get the special folders of every account not seen
  // before, and each new account's inbox gets a filter of the account's own;
  // "KnownEmailAccounts" then names the accounts there are, each once. With the
  // inbox filter empty every account counts as new. Done once unless forced;
  // the result of the final Save.
  // webIS: WebIS Mail with its accounts loaded (null: the process's).
  BOOL UpdateKnownAccounts(IMAPISession* session, BOOL force, CWebISMailSettings* webIS = nullptr);
  // The message stores not in known get their special folders and own inbox filter;
  // a store found in known is taken out of it, a new one added to seen. FALSE without
  // a session or when the stores' table or a store does not open (the walk stops).
  BOOL AddMAPIFolders(IMAPISession* session, CStringList& known, CStringList& seen);
  // The same for WebIS Mail's accounts (by display name), their folders by type.
  BOOL AddWebISFolders(CStringList& known, CStringList& seen, CWebISMailSettings* webIS = nullptr);
  static const UINT kStandardFilterTexts[5];
  // The protected filter: the standard inbox filter.
  static CString GetProtectedFilterName();

  // The value's bytes as a filter. FALSE for a kind byte other than 'M', 'F' or
  // 'P', a truncated entry or an empty name; equal entries after the first are
  // dropped.
  static BOOL Decode(const BYTE* data, size_t size, EMAIL_ACCOUNT& filter);
  // FALSE for a blob longer than 255 bytes or an empty name.
  static BOOL Encode(const EMAIL_ACCOUNT& filter, std::vector<BYTE>& data);

 private:
  // The index of a standard filter by its slot (0-4), -1 when it has none.
  int FindStandard(int slot) const;
  // Adds the folder to that standard filter; an inbox also makes the account's own
  // filter (named as the folder) when none has the name.
  void AddSpecialFolder(int slot, const CTaggedBlob& folder);

  std::vector<EMAIL_ACCOUNT> m_filters;
  BOOL m_loaded = FALSE;
  BOOL m_accountsUpdated = FALSE;
};

// The process's filters.
CMailFoldersFilters& GetMailFoldersFilters();
