#include "tabs/notes/PhatNoteRecord.h"

#include <cstring>

#include "base/DbRecord.h"

namespace {

const CEPROPID kReadList[] = {
    CPhatNoteRecord::kPropNumber,    CPhatNoteRecord::kPropFirstTime, CPhatNoteRecord::kPropModified,
    CPhatNoteRecord::kPropThirdTime, CPhatNoteRecord::kPropTitle,     CPhatNoteRecord::kPropFolder,
    CPhatNoteRecord::kPropExtraText, CPhatNoteRecord::kPropFlags,     CPhatNoteRecord::kPropMarker,
    CPhatNoteRecord::kPropCategories, CPhatNoteRecord::kPropValues,
};
enum { kNumber, kFirst, kModified, kThird, kTitle, kFolder, kExtra, kFlags, kMarker, kCategories, kValues };

}  // namespace

CPhatNoteRecord* CPhatNoteRecord::Read(HANDLE db, CEOID databaseOid, CEOID recordOid) {
  if (db == INVALID_HANDLE_VALUE || !recordOid) return nullptr;
  CDbRecord record(db);
  for (CEPROPID id : kReadList) record.AddPropId(id);
  if (!record.Read(recordOid, TRUE)) return nullptr;
  CPhatNoteRecord* note = new CPhatNoteRecord();
  note->CRefObjectCounted();
  note->number = record.GetLong(kNumber, 0);
  note->firstTime = record.GetDateValue(kFirst, kNoDate, TRUE);
  note->modified = record.GetDateValue(kModified, kNoDate, TRUE);
  note->thirdTime = record.GetDateValue(kThird, kNoDate, TRUE);
  record.GetString(kTitle, note->title, L"");
  record.GetString(kFolder, note->folder, L"");
  record.GetString(kExtra, note->extraText, L"");
  record.GetString(kCategories, note->categories, L"");
  note->flags = static_cast<DWORD>(record.GetLong(kFlags, 0));
  note->marker = static_cast<DWORD>(record.GetLong(kMarker, 0));
  BYTE* data = nullptr;
  DWORD size = 0;
  if (record.GetBlob(kValues, &data, &size) && data) {
    note->values.resize(size / sizeof(DWORD));
    if (!note->values.empty()) memcpy(note->values.data(), data, note->values.size() * sizeof(DWORD));
  }
  note->databaseOid = databaseOid;
  note->recordOid = recordOid;
  return note;
}

BOOL CPhatNoteRecord::ReadText(HANDLE db, CEOID recordOid, CString& text) {
  text.Empty();
  if (db == INVALID_HANDLE_VALUE || !recordOid) return FALSE;
  CDbRecord record(db);
  record.AddPropId(kPropText);
  if (!record.Read(recordOid, TRUE)) return FALSE;
  return record.GetString(0, text, L"");
}

BOOL CPhatNoteRecord::WriteFlags(HANDLE db) const {
  if (db == INVALID_HANDLE_VALUE || !recordOid) return FALSE;
  CDbRecord record(db);
  record.AddPropId(kPropFlags);
  return record.SetLong(0, static_cast<LONG>(flags)) && record.WriteRecord(recordOid, TRUE) != 0;
}

int CPhatNoteRecord::ColourIcon() const {
  switch (flags & kColourMask) {
    case 0x10000: return 31;
    case 0x20000: return 32;
    case 0x40000: return 33;
    case 0x80000: return 34;
    default: return 30;
  }
}

int CPhatNoteRecord::PriorityIcon() const {
  switch (flags & kPriorityMask) {
    case kPriorityLow: return 1;
    case kPriorityHigh: return 2;
    default: return 0;
  }
}
