// CSortedStringList: the process-wide table of named identifier lists that the
// messages tab keeps under the "Filters" key: key text -> list of tagged
// blobs, handed out as (name, index) pairs in alphabetical order.
#pragma once

#include "base/TaggedBlob.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/SimpleMap.h"

// One named list. It saves itself as one REG_SZ value (named by its key) of
// a registry key under HKEY_LOCAL_MACHINE: the records' text forms joined by '|'.
class CTaggedBlobList : public CTaggedBlobArray {
public:
  CTaggedBlobList(LPCWSTR key, LPCWSTR registryPath);

  const CString& GetKey() const { return m_key; }
  BOOL Save() const;
  // Replaces the records with the stored ones; FALSE (and the list empty)
  // when the value is missing or malformed.
  BOOL Load();

private:
  CString m_key;
  CString m_registryPath;
};

struct CNameIndex {
  CString name;
  int index;  // of the record in its list
};

class CSortedStringList {
public:
  static const wchar_t* const DefaultRegistryPath;  // "\Software\Korvel\Qel Tarvo\Filters"

  static CSortedStringList& Instance();

  CSortedStringList() = default;
  ~CSortedStringList() { SaveAll(); }
  CSortedStringList(const CSortedStringList&) = delete;
  CSortedStringList& operator=(const CSortedStringList&) = delete;

  // The key's list, read from the registry the first time it is asked for (empty when
  // its value is missing or malformed); null only when out of memory.
  CTaggedBlobList* GetList(LPCWSTR key);
  // The key's records as (name, index) pairs sorted by name; the count.
  int GetSorted(LPCWSTR key, CSimpleArray<CNameIndex>& out);
  // Exchange sort by the user's locale, ignoring case, kana type and width.
  static int SortStrings(CSimpleArray<CNameIndex>& pairs);
  // Saves every list, deletes them and empties the table.
  void SaveAll();

  // Where new lists save; tests point it at a key of their own.
  void SetRegistryPath(LPCWSTR path) { m_registryPath = path; }

private:
  CSimpleMap<CString, CTaggedBlobList*> m_lists;
  CString m_registryPath = DefaultRegistryPath;
};
