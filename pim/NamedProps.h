// The system's own per-item values kept in Pocket Outlook's named-property tables on
// the PIM volume: "PIMNamedPropTags" maps a property name to its tag (a number unique
// in the table in the high word, the CE type of the values in the low word) and
// "PIMNamedPropVals" holds one record per item and tag with the value as a blob.
// Other programs (Pocket Outlook, Pocket Informant) write these tables too, so every
// record read here is taken as outside input.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"

// The properties of the two tables.
const CEPROPID kNamedTagName = MAKELONG(CEVT_LPWSTR, 1);
const CEPROPID kNamedTagTag = MAKELONG(CEVT_UI4, 2);
const CEPROPID kNamedTagFlags = MAKELONG(CEVT_UI4, 3);
const CEPROPID kNamedValObject = MAKELONG(CEVT_UI4, 1);
const CEPROPID kNamedValTag = MAKELONG(CEVT_UI4, 2);
const CEPROPID kNamedValData = MAKELONG(CEVT_BLOB, 3);

// A named property as the system knows it.
struct NAMED_PROPERTY {
  LONG tag;       // -1 until looked up
  WORD type;      // CE type of the values; 0: look up only, never create
  DWORD flags;    // written with a new tag
  LPCWSTR name;
};

// The names of item pictures: ours, and Pocket Informant's.
extern NAMED_PROPERTY g_iconNameProp;    // "QELTARVO_IconName", CEVT_LPWSTR
extern NAMED_PROPERTY g_piIconNameProp;  // "PI_IconName", type code 256

class INamedPropsListener {
 public:
  // tag -1 and objectId 0 when the value record named by the notification could not
  // be read (it was deleted by another program).
  virtual void OnNamedPropChange(const CENOTIFICATION* notification, LONG tag, CEOID objectId) = 0;

 protected:
  ~INamedPropsListener() = default;
};

class CNamedProps : public ICeDatabaseSink {
 public:
  static CNamedProps& Instance();

  CNamedProps();
  virtual ~CNamedProps();
  CNamedProps(const CNamedProps&) = delete;
  CNamedProps& operator=(const CNamedProps&) = delete;

  // Opens the value table for one more user: with a window, its changes are posted
  // there as database notifications (reopened with the window when it was open
  // without one). FALSE when the table cannot be opened.
  BOOL Open(HWND window);
  // One user less; the last closes the table.
  void Release();
  BOOL IsOpen() const { return m_values && m_values->IsOpen(); }
  int GetOpenCount() const { return m_openCount; }
  // The value table, for the owner window to hand its notifications back.
  CCeDatabase* GetDatabase() const { return m_values.get(); }

  void Subscribe(INamedPropsListener* listener);
  void Unsubscribe(INamedPropsListener* listener);

  // The property's tag, looked up (or, with a type, created) in the tag table once;
  // -1 when it is not there and cannot be made.
  LONG GetTag(NAMED_PROPERTY& property);
  // The value record's OID and the value as text, or 0 (text emptied).
  CEOID GetValue(CEOID objectId, NAMED_PROPERTY& property, CString& text);
  // Writes the value (a new record or over the existing one) and tells every listener
  // but skip. The record's OID, or 0.
  CEOID SetValue(CEOID objectId, NAMED_PROPERTY& property, LPCWSTR text, INamedPropsListener* skip);
  // Deletes the value and tells every listener but skip. FALSE when there was none.
  BOOL DeleteValue(CEOID objectId, NAMED_PROPERTY& property, INamedPropsListener* skip);

  // A change of the value table: every listener hears which item and tag it was.
  void OnNotification(const CENOTIFICATION* notification);
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;

  // For tests: the pseudo-random draw of new tag numbers (null: the C runtime's).
  typedef unsigned (*RandomSource)();
  static void SetRandomSource(RandomSource source);
  // Forgets every looked-up tag (a new device or store in tests).
  static void ForgetTags();

 private:
  CEOID FindValue(CEOID objectId, LONG tag, CString* text);
  void Notify(UINT type, CEOID record, CEOID objectId, LONG tag, INamedPropsListener* skip);

  std::unique_ptr<CCeDatabase> m_values;
  HWND m_window;
  int m_openCount;
  std::vector<INamedPropsListener*> m_listeners;
};

// The text of a stored value: UTF-16 up to its first terminator or its end; an odd
// last byte is dropped.
CString NamedValueText(const BYTE* data, DWORD size);
