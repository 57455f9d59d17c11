// Where an item's picture is kept depends on the PIM the user works with and on the
// store generation: a named property of the item, a property of its record, or a
// picture link in a link database that Agenda Fusion reads too. CIconProvider is one
// such store; this base class is the empty store, which keeps no pictures and answers
// every query with nothing.
#pragma once
#include <windows.h>

#include "platform/coredll/cedb.h"
#include "platform/windowlib/String.h"

// Told when an item's picture may have changed: a DB_CEOID_CHANGED notification whose
// oid is the item's object id (DB_NOTIFY_DATABASE_CHANGED when the store lost track
// and every picture should be looked up again). byMessage: the change came from the
// store's own notifications rather than from a change made through the store.
class IIconProviderListener {
 public:
  virtual void OnIconChange(const CENOTIFICATION* notification, BOOL byMessage) = 0;

 protected:
  ~IIconProviderListener() = default;
};

// The PIM choices of "CurrentPIM".
const int kPimOwn = 0;
const int kPimAgendaFusion = 1;
const int kPimPocketInformant = 2;
// The kind of the empty store.
const int kNoIconStore = -1;

class CIconProvider {
 public:
  explicit CIconProvider(int kind = kNoIconStore) : m_kind(kind) {}
  virtual ~CIconProvider() = default;
  CIconProvider(const CIconProvider&) = delete;
  CIconProvider& operator=(const CIconProvider&) = delete;

  // A change notification of the store's own tables.
  virtual void HandleNotification(const CENOTIFICATION* notification, BOOL byMessage) {
    (void)notification;
    (void)byMessage;
  }
  // The path of the item's picture file; FALSE and empty when it has none.
  virtual BOOL GetIconFile(CString& path, CEOID objectId) {
    (void)objectId;
    path.Empty();
    return FALSE;
  }
  // Sets the item's picture to the file source, or removes it (source null or empty).
  // storedName receives what the store keeps (the copied name, or the linked path).
  // Link stores tell the one listener given, or every listener when none is.
  virtual BOOL SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                       IIconProviderListener* listener) {
    (void)objectId;
    (void)itemKind;
    (void)source;
    (void)listener;
    if (storedName) storedName->Empty();
    return FALSE;
  }
  // owner: the window that receives the store's database notifications (may be null).
  virtual BOOL Open(HWND owner) {
    (void)owner;
    return TRUE;
  }
  virtual void Close() {}
  // The PIM choice that made the store (kNoIconStore for the empty one).
  int GetKind() const { return m_kind; }
  virtual BOOL CanKeepPictures() const { return FALSE; }
  // Link stores: the database, and for the one on a volume the volume.
  virtual LPCWSTR GetDatabaseName() const { return L""; }
  virtual LPCWSTR GetVolumeName() const { return L""; }

 private:
  int m_kind;
};

// The store for a PIM choice and store generation, not yet open; null without memory.
CIconProvider* CreateIconProvider(int pimChoice, BOOL newerStore);
