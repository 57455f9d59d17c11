#include "tabs/messages/EmailAccount.h"

#include <string.h>

BOOL EMAIL_ACCOUNT::SameFolder(const CTaggedBlob& a, const CTaggedBlob& b) {
  return a.GetKind() == b.GetKind() && a.GetSize() == b.GetSize() &&
         (a.GetSize() == 0 || memcmp(a.GetData(), b.GetData(), a.GetSize()) == 0);
}

int EMAIL_ACCOUNT::FindFolder(const CTaggedBlob& folder) const {
  for (int i = 0; i < folders.GetCount(); ++i)
    if (SameFolder(folders[i], folder)) return i;
  return -1;
}

int EMAIL_ACCOUNT::AddFolder(const CTaggedBlob& folder) {
  const int found = FindFolder(folder);
  if (found >= 0) {
    folders[found].SetName(folder.GetName());
    return found;
  }
  if (!folders.Add(folder)) return -1;
  return folders.GetCount() - 1;
}

BOOL MakeMailFolder(int kind, const BYTE* id, DWORD size, LPCWSTR name, CTaggedBlob& folder) {
  CTaggedBlob made;
  if (!made.SetKind(kind) || !made.SetData(id, size) || !made.SetName(name ? name : L"")) return FALSE;
  folder = made;
  return TRUE;
}

BOOL MakeWebISFolder(DWORD folderId, LPCWSTR accountKey, LPCWSTR name, CTaggedBlob& folder) {
  CBlobObj packed;
  if (!PackKindText(folderId, accountKey ? accountKey : L"", packed)) return FALSE;
  return MakeMailFolder(CTaggedBlob::KindF, packed.GetData(), packed.GetSize(), name, folder);
}
