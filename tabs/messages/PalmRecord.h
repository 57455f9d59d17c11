// One record of the Palm messaging component's database: a run of properties, each a
// 16-bit identifier (high byte first) and a value whose form the identifier's top four
// bits give. Lengths come from the device's files: every value is checked against the
// bytes that remain, and a value that does not fit ends the record there.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/windowlib/String.h"

class CPalmRecord {
 public:
  // Any bytes; the properties that lie whole inside them are kept.
  void Parse(const BYTE* data, size_t size);
  size_t GetCount() const { return m_props.size(); }
  BOOL Has(WORD id) const { return Find(id) != nullptr; }
  // The first property with the identifier, each getter checking its form.
  BOOL GetNumber(WORD id, DWORD* value) const;
  // UTF-8 for identifiers 0x22xx, the ANSI code page otherwise.
  BOOL GetText(WORD id, CString& text) const;
  BOOL GetBinary(WORD id, const BYTE** data, DWORD* size) const;
  BOOL GetTime(WORD id, FILETIME* time) const;

 private:
  struct Prop {
    WORD id;
    size_t offset;
    DWORD size;
  };
  const Prop* Find(WORD id) const;
  std::string m_bytes;
  std::vector<Prop> m_props;
};
