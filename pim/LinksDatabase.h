// A link database that Agenda Fusion also reads: one record per link from an item to
// another item or to a file; a link of type 6 is the item's picture. "FusionLinks"
// (in the object store, or in the volume "FusionLinks.vol") belongs to Agenda Fusion
// and is never made here; "QelTarvoLinks" is our own and is made when it does not
// exist. A database that exists but cannot be opened is left as it is: its links
// outlive any failed open.
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "base/CeDatabase.h"
#include "pim/IconProvider.h"

// The properties of a link record.
const CEPROPID kLinkItem = MAKELONG(CEVT_I4, 1);
const CEPROPID kLinkNumber = MAKELONG(CEVT_I2, 2);
const CEPROPID kLinkType = MAKELONG(CEVT_I2, 3);
const CEPROPID kLinkObject = MAKELONG(CEVT_I4, 4);
const CEPROPID kLinkPath = MAKELONG(CEVT_LPWSTR, 5);
const CEPROPID kLinkDate = MAKELONG(CEVT_R8, 6);

// Link types: 1-3 to another item, 4-6 to a file.
const short kLinkToFileFirst = 4;
const short kPictureLink = 6;
const DWORD kLinksDatabaseType = 0x20010002;
// CeMountDBVol: open an existing volume only (the high bit: the newer volume format).
const DWORD kLinksVolumeFlags = 0x80000003;

struct LINK_RECORD {
  CEOID recordId;  // (CEOID)-1: none; 0: a new record
  LONG itemId;
  short number;
  short type;
  LONG objectId;   // types 1-3
  CString path;    // types 4-6
  double date;
};

class CLinksDatabase : public CIconProvider, public ICeDatabaseSink {
 public:
  // volume: the volume file to mount (null: the object store). createWhenMissing: make
  // the database when it does not exist.
  CLinksDatabase(int kind, LPCWSTR name, LPCWSTR volume, BOOL createWhenMissing);
  ~CLinksDatabase() override;

  BOOL Open(HWND owner) override;
  void Close() override;
  BOOL IsOpen() const { return m_byItem && m_byItem->IsOpen() && m_byNumber && m_byNumber->IsOpen(); }
  BOOL CanKeepPictures() const override { return TRUE; }
  LPCWSTR GetDatabaseName() const override { return m_name; }
  LPCWSTR GetVolumeName() const override { return m_volumeName; }
  // The database that names this store's notifications (sorted on the item).
  CCeDatabase* GetDatabase() const { return m_byItem.get(); }

  BOOL GetIconFile(CString& path, CEOID objectId) override;
  BOOL SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
               IIconProviderListener* listener) override;
  void HandleNotification(const CENOTIFICATION* notification, BOOL byMessage) override;
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;

  BOOL FindPictureLink(CEOID objectId, LINK_RECORD* link);
  BOOL SetPictureLink(CEOID objectId, LPCWSTR path, IIconProviderListener* listener);
  // Writes a link of type 1 to 6 (nothing for any other type); a new record's id is
  // stored into the link.
  BOOL WriteRecord(LINK_RECORD& link);
  // Reads the record by its id; FALSE when it is gone.
  BOOL ReadRecord(CEOID recordId, LINK_RECORD* link);

 private:
  BOOL CreateWhenAbsent();
  short NextLinkNumber();
  void Tell(UINT type, CEOID objectId, IIconProviderListener* listener, BOOL byMessage);

  CString m_name;
  CString m_volumeName;
  BOOL m_createWhenMissing;
  CEGUID m_volume;
  BOOL m_mounted;
  std::unique_ptr<CCeDatabase> m_byItem;
  std::unique_ptr<CCeDatabase> m_byNumber;
  // Picture links seen, record id -> item: a deleted record can no longer be read.
  std::map<CEOID, CEOID> m_pictures;
};
