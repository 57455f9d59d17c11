// One account of the e-mail list: a messaging folder, a WebIS Mail account's folder
// or the Palm message store, with the messages read from it.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BlobObj.h"
#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/String.h"

struct EMAIL_ITEM;

enum EmailStoreKind { kStoreMapiFolder = 1, kStoreWebIS = 2, kStorePalm = 3 };

struct EMAIL_STORE {
  // The display name falls back to the inbox transport's friendly name of name.
  EMAIL_STORE(LPCWSTR name, LPCWSTR displayName, LPCWSTR service);
  // Releases the messages still held, the folder and the store.
  ~EMAIL_STORE();
  EMAIL_STORE(const EMAIL_STORE&) = delete;
  EMAIL_STORE& operator=(const EMAIL_STORE&) = delete;

  // Releases every message (the account keeps its folder and identifiers).
  void ReleaseMessages();

  CString name;
  CString displayName;
  CString service;
  int cursor = 0;
  IMsgStore* store = nullptr;
  IMAPIFolder* folder = nullptr;
  std::vector<EMAIL_ITEM*> messages;  // one reference each
  CBlobObj folderId;  // a WebIS Mail account: the folder identifier as the filter stores it
  CBlobObj storeId;
  CBlobObj deletedId;
  int unreadCount = 0;
  DWORD kind = kStoreMapiFolder;
  int webisFolder = 0;
  DWORD palmFolder = 0;  // 0: not looked up yet
};
