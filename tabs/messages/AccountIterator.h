// The accounts one account filter shows, as (folder name, account index) pairs sorted
// by folder name; the accounts are added to the e-mail list on first use.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"
#include "tabs/messages/EmailAccount.h"

class CEmailsList;

class CAccountIterator {
 public:
  explicit CAccountIterator(CEmailsList& list);
  void SetFilter(const EMAIL_ACCOUNT& filter);
  // Builds the pairs on first use; FALSE when there are none.
  BOOL GetFirst(CString& folderName, int& accountIndex);
  BOOL GetNext(CString& folderName, int& accountIndex);

 private:
  struct Pair {
    CString folderName;
    int account = -1;
  };
  void Build();

  CEmailsList& m_list;
  EMAIL_ACCOUNT m_filter;
  std::vector<Pair> m_pairs;
  bool m_built = false;
  size_t m_next = 0;
};
