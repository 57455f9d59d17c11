// CPhatNoteRecord: one note of PhatNotes, another vendor's notes program, read from a
// record of one of its databases; the database and record identifiers it came from.
#pragma once
#include <windows.h>

#include <vector>

#include "base/RefObject.h"
#include "platform/coredll/cedb.h"
#include "platform/windowlib/String.h"

class CPhatNoteRecord : public CRefObject {
 public:
  enum : CEPROPID {
    kPropNumber = 0x00000003,
    kPropFirstTime = 0x00010040,
    kPropModified = 0x00020040,
    kPropThirdTime = 0x00090040,
    kPropTitle = 0x0002001F,
    kPropFolder = 0x0003001F,
    kPropText = 0x0004001F,
    kPropExtraText = 0x0007001F,
    kPropFlags = 0x00060013,
    kPropMarker = 0x00080013,
    kPropCategories = 0x000A001F,
    kPropValues = 0x000B0041,
  };
  enum : DWORD {
    kColourMask = 0x000F0000,
    kPriorityMask = 0x03000000,
    kPriorityLow = 0x01000000,
    kPriorityHigh = 0x02000000,
    kChangedBit = 0x00000001,
  };
  // A missing time.
  static constexpr double kNoDate = 949998.0;

  // The record read from the open database, counted (one reference for the caller);
  // null when it cannot be read.
  static CPhatNoteRecord* Read(HANDLE db, CEOID databaseOid, CEOID recordOid);
  // The note text of the record (read only for the preview).
  static BOOL ReadText(HANDLE db, CEOID recordOid, CString& text);

  // Writes the flags back to the record; TRUE when written.
  BOOL WriteFlags(HANDLE db) const;

  // Skin item icons: the colour marker's (30-34), the priority's (1, 2; 0 none).
  int ColourIcon() const;
  int PriorityIcon() const;

  LONG number = 0;
  double firstTime = kNoDate;
  double modified = kNoDate;
  double thirdTime = kNoDate;
  CString title;
  CString folder;
  CString extraText;
  CString categories;
  DWORD flags = 0;
  DWORD marker = 0;
  std::vector<DWORD> values;
  CEOID databaseOid = 0;
  CEOID recordOid = 0;
};
