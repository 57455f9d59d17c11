#include "tabs/contacts/ContactFields.h"

#include "base/CeDbApi.h"

namespace {

const CEPROPID kLegacyFields[kContactFieldCount + 1] = {0x3A08001F, 0x4007001F, 0x3A09001F, 0x3A2F001F,
                                                        0x3A1C001F, 0x4009001F, 0x3A1E001F, 0x3A1D001F,
                                                        0x3A24001F, 0x4083001F, 0};
const CEPROPID kNewerFields[kContactFieldCount + 1] = {0x0097001F, 0x0098001F, 0x0099001F, 0x009A001F,
                                                       0x0096001F, 0x009D001F, 0x009E001F, 0x009F001F,
                                                       0x009B001F, 0x0090001F, 0};

}  // namespace

const CEPROPID* GetContactFieldTable(BOOL newer) { return newer ? kNewerFields : kLegacyFields; }

const CEPROPID* GetContactFieldTable() { return GetContactFieldTable(IsNewerStore()); }

int ContactFieldIndex(const CEPROPID* table, CEPROPID id) {
  if (!table) return -1;
  for (int i = 0; table[i]; ++i)
    if (table[i] == id) return i;
  return -1;
}

UINT ContactFieldLabelId(int field) {
  return field >= 0 && field < kContactFieldCount ? static_cast<UINT>(31 + field) : 0;
}

int ContactFieldIcon(int field) {
  if (field == 0 || field == 1) return 10;
  if (field == 2 || field == 3) return 8;
  if (field >= 4 && field <= 7) return 9;
  if (field == 9) return 11;
  return 12;
}
