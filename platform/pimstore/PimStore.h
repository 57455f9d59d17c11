// Where and how items are stored: the PIM databases of the device's layout (the
// object store on older devices, "pim.vol" on a Pocket PC of version 5 or later), the
// property identifier of every field in each layout, and the record reader and writer.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/coredll/cedb.h"

enum class PimKind { Appointment = 1, Contact = 2, Task = 3 };

// Fields of an item, the same in both layouts.
enum PimField {
  kSubject, kLocation, kStart, kDuration, kAllDay, kBusyStatus, kSensitivity, kReminderSet,
  kReminderMinutes, kRecurring, kRecurrence, kNotes, kTaskStart, kTaskDue, kImportance, kComplete,
  kReminderTime, kFirstName, kMiddleName, kLastName, kSuffix, kTitle, kCompany, kFileAs, kBirthday,
  kAnniversary, kMobile, kReminderReference, kFieldCount
};

struct PimValue {
  bool present = false;
  double number = 0;  // numbers, flags and dates (variant dates, local)
  std::wstring text;
  std::vector<BYTE> blob;
};

struct PimRecord {
  CEOID recordOid = 0;  // the CE record
  DWORD itemId = 0;     // newer layout: the record-identifier property; older: 0
  PimValue fields[kFieldCount];
  std::vector<DWORD> categoryIds;
};

class CPimStore {
 public:
  // Layout by the device identity at construction.
  CPimStore();
  explicit CPimStore(bool newer) : m_newer(newer) {}

  bool IsNewer() const { return m_newer; }
  static int FolderOf(PimKind kind);
  static bool KindOfFolder(int folder, PimKind* kind);
  static const wchar_t* DatabaseName(PimKind kind);

  // The item's oid as the object model gives it: older layout the CE record, newer the
  // item identifier with the kind's top bits.
  DWORD ItemOid(PimKind kind, const PimRecord& record) const;
  // The kind and the CE record of an item oid; false when no such item is stored.
  bool Locate(DWORD oid, PimKind* kind, CEOID* recordOid);

  // Every record of the kind (newer layout: those with an item identifier).
  bool ReadAll(PimKind kind, std::vector<PimRecord>* records);
  // false for a record that is missing or cannot be read.
  bool Read(PimKind kind, CEOID recordOid, PimRecord* record);
  // Writes (a new record when recordOid is 0, which gets its item identifier).
  bool Write(PimKind kind, PimRecord* record);
  bool Delete(PimKind kind, CEOID recordOid);

  // Categories by name: the identifier, made when missing and make is set; -1 when none.
  long CategoryId(const std::wstring& name, bool make);
  std::wstring CategoryName(DWORD id);
  std::vector<std::pair<DWORD, std::wstring>> Categories();

  // Newer layout: the tables where programs keep named properties of items
  // ("PIMNamedPropTags" sorted by name, "PIMNamedPropVals" by item oid), made when missing.
  bool EnsureNamedPropertyTables();

  // Decodes the record read into the buffer; false when a value lies outside it.
  bool Parse(PimKind kind, const BYTE* buffer, DWORD size, WORD count, PimRecord* record) const;

 private:
  HANDLE Open(const wchar_t* name, bool create);
  bool Volume(CEGUID* guid);
  void ReadCategories(PimKind kind, PimRecord* record);
  // Newer layout: item oid to category identifiers, from "CategoryAssocDB".
  std::multimap<DWORD, DWORD> Associations();
  void WriteCategories(PimKind kind, const PimRecord& record);
  DWORD NextItemId(HANDLE db);

  bool m_newer;
};

// Variant dates and the store's local file times.
bool DateToFileTime(double date, FILETIME* time);
double FileTimeToDate(const FILETIME& time);
