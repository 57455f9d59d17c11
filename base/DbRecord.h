// A cursor over one record of an open database: every read and write of properties
// goes through it. Properties are named once in a read list (AddPropId gives their
// index); reads fill one value per listed property, getters and setters take the index.
//
// Writing sends only the entries that hold a value or a deletion: an entry never read
// and never set is left out, so nothing unset reaches the store. A record identified
// by the newer store's record-identifier value must still exist to be written.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BlobObj.h"
#include "base/CeDbApi.h"
#include "platform/windowlib/String.h"

class CDbRecord {
 public:
  explicit CDbRecord(HANDLE db = INVALID_HANDLE_VALUE);
  virtual ~CDbRecord();
  CDbRecord(const CDbRecord&) = delete;
  CDbRecord& operator=(const CDbRecord&) = delete;

  void SetDatabase(HANDLE db) { m_db = db; }
  HANDLE GetDatabase() const { return m_db; }
  // The property that identifies a record in the newer store (kRecordIdPropId).
  void SetSeekPropId(CEPROPID id) { m_seekPropId = id; }
  CEPROPID GetSeekPropId() const { return m_seekPropId; }

  // Its read-list index.
  int AddPropId(CEPROPID id);
  int GetPropCount() const { return static_cast<int>(m_ids.size()); }

  // Positions the database on a record. With the newer-store flag and byOid clear the
  // identifier is an item identifier: the record whose seek property equals its low 28
  // bits. Otherwise the record OID itself. The record's OID, or 0.
  CEOID Seek(CEOID oid, BOOL byOid, DWORD* index = nullptr);
  // Reads the listed properties of the record oid (0: where the database stands).
  // The record's OID, or 0.
  CEOID Read(CEOID oid = 0, BOOL byOid = FALSE);
  // Seeks (seekType, value) and reads the found record; the OID read, or 0.
  CEOID SeekAndReadByValue(DWORD_PTR value, CEOID* found, DWORD seekType);
  // The same, but an empty read list succeeds at the seek without reading.
  BOOL SeekAndRead(DWORD seekType, DWORD_PTR value, CEOID* found);

  // Getters: TRUE when the record had the value, FALSE when the default was used (the
  // property missing, deleted, or not read).
  BOOL GetLong(int index, LONG* out, LONG defaultValue) const;
  LONG GetLong(int index, LONG defaultValue) const {
    LONG value;
    GetLong(index, &value, defaultValue);
    return value;
  }
  BOOL GetShort(int index, short* out, short defaultValue) const;
  // A present text whose pointer is null is the empty text.
  BOOL GetString(int index, CString& out, LPCWSTR defaultText) const;
  BOOL GetString(CString& out, int index, LPCWSTR defaultText) const { return GetString(index, out, defaultText); }
  CString GetStringCopy(int index, LPCWSTR defaultText) const;
  BOOL GetFileTime(int index, FILETIME* out, DWORD defaultLow, DWORD defaultHigh) const;
  // The stored FILETIME as a variant date; toLocal takes it as UTC and converts it to
  // local time in the zone given (null: the device's).
  BOOL GetDate(int index, double* out, double defaultValue, BOOL toLocal,
               const TIME_ZONE_INFORMATION* zone = nullptr) const;
  double GetDateValue(int index, double defaultValue, BOOL toLocal,
                      const TIME_ZONE_INFORMATION* zone = nullptr) const;
  // A copy of the blob; a missing blob empties the buffer.
  BOOL GetBuffer(int index, CBlobObj& out) const;
  // Points into the record's buffer; valid until the next read or write call. A missing
  // blob gives null data and leaves size alone.
  BOOL GetBlob(int index, BYTE** data, DWORD* size) const;
  // The entry's flags in the high 32 bits, its 32-bit value (or the default) in the low.
  ULONG64 GetValue(int index, DWORD defaultValue) const;
  const CEPROPVAL* GetPropVal(int index) const;
  BOOL HasValue(int index) const;

  // Setters: FALSE for an index outside the read list, a value of the wrong type for
  // the listed property, or no memory. Texts and blobs are copied at once.
  BOOL SetLong(int index, LONG value);
  BOOL SetFileTime(int index, DWORD low, DWORD high);
  // toUtc takes the date as local time in the zone given (null: the device's).
  BOOL SetDate(int index, double date, BOOL toUtc, const TIME_ZONE_INFORMATION* zone = nullptr);
  BOOL SetString(int index, LPCWSTR text);
  BOOL SetBlob(int index, const CBlobObj& blob);
  BOOL DeleteProp(int index);

  // Writes the record (OID 0 makes a new one); the OID written, or 0. A record given by
  // item identifier that no longer exists is not written (0).
  CEOID WriteRecord(CEOID oid, BOOL byOid = FALSE);
  BOOL DeleteRecord(CEOID oid, BOOL byOid = FALSE);

  void FreeBuffers();

 private:
  CEPROPVAL* Entries() const { return reinterpret_cast<CEPROPVAL*>(m_buffer); }
  const CEPROPVAL* Present(int index) const;
  BOOL PrepareWrite();
  CEPROPVAL* EntryForWrite(int index);
  BYTE* KeepCopy(const void* data, DWORD size);
  void ReleaseBuffer();

  CCeDbApi* m_api;
  HANDLE m_db;
  std::vector<CEPROPID> m_ids;
  BYTE* m_buffer;
  DWORD m_bufferSize;
  // Entries in the buffer that belong to the read list.
  int m_entryCount;
  // Where the buffer lives: null for LocalAlloc, else the heap the store read into.
  HANDLE m_bufferHeap;
  CEPROPID m_seekPropId;
  std::vector<CBlobObj*> m_writeBuffers;
};

// Whether a note property (a blob or a stream read as one) holds a note: present, not
// empty, and not just a byte-order mark with its terminator.
BOOL HasNoteValue(const CDbRecord& record, int index);

// Finds the first record of the record's database whose property equals the value.
CEOID SeekRecordIdValue(CDbRecord& record, CEPROPID propId, DWORD value);
