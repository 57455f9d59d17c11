// cemapitool: message stores of the emulated device as readable text.
//   cemapitool load NAME.mst TEXTFILE   makes (or replaces) the store file NAME.mst
//                                       from the text form
//   cemapitool dump NAME.mst            writes the store's text form to the output
//   cemapitool deliver NAME.mst TEXTFILE  adds the messages of the text ("message"
//                                       items of the store's folders) as new mail:
//                                       openers hear new mail and a created message
// NAME.mst without a folder is a file of "<device root>\MessageStores".
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/NotifyCenter.h"
#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"

namespace {

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(f, &size) && size.QuadPart < (1LL << 28);
  if (ok) {
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                           got == bytes.size());
  }
  CloseHandle(f);
  return ok;
}

int Fail(const std::string& why) {
  fprintf(stderr, "cemapitool: %s\n", why.c_str());
  return 2;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
  return s;
}

int Load(const std::wstring& name, const std::wstring& textPath) {
  if (name.find_first_of(L"\\/:") != std::wstring::npos) return Fail("the store is named without a folder");
  std::string text;
  if (!ReadFileBytes(textPath, text)) return Fail("cannot read " + Narrow(textPath));
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  StoreRecord record;
  std::string error;
  if (!CStoreText::Parse(text, record, error)) return Fail(Narrow(textPath) + ": " + error);
  CStoreSet& set = CStoreSet::Instance();
  std::vector<NotifyEvent> events;
  {
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return Fail("cannot reach the device's stores");
    if (FAILED(set.Install(name, record, error))) return Fail(error);
    // Openers read the store again, as after any change of a whole store.
    NotifyEvent e;
    e.event = fnevObjectModified;
    e.objType = MAPI_STORE;
    e.id = CEntryId::Make(MAPI_STORE, record.id);
    events.push_back(e);
    CNotifyCenter::Instance().Publish(set, events);
  }
  return 0;
}

int Deliver(const std::wstring& name, const std::wstring& textPath) {
  std::string text;
  if (!ReadFileBytes(textPath, text)) return Fail("cannot read " + Narrow(textPath));
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  CStoreSet& set = CStoreSet::Instance();
  std::vector<NotifyEvent> events;
  {
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return Fail("cannot reach the device's stores");
    StoreEntry* store = nullptr;
    for (StoreEntry& s : set.Stores())
      if (_wcsicmp(s.path.c_str(), (set.Folder() + L"\\" + name).c_str()) == 0) store = &s;
    if (!store) return Fail("no store " + Narrow(name));
    if (store->damaged) return Fail(Narrow(name) + ": " + store->error);
    // The messages are read as the end of the store's own text, so that they name its
    // folders; their ids must be new to the whole device.
    StoreRecord shell = store->record;
    shell.messages.clear();
    StoreRecord parsed;
    std::string error;
    if (!CStoreText::Parse(CStoreText::Format(shell) + text, parsed, error)) return Fail(Narrow(textPath) + ": " + error);
    if (parsed.folders.size() != shell.folders.size()) return Fail("only messages are delivered");
    for (const MessageRecord& m : parsed.messages) {
      StoreEntry* other;
      MessageRecord* taken;
      if (set.FindMessage(m.id, other, taken)) return Fail("a message id is taken");
    }
    for (const MessageRecord& m : parsed.messages) {
      store->record.messages.push_back(m);
      NotifyEvent e;
      e.objType = MAPI_MESSAGE;
      e.id = CEntryId::Make(MAPI_MESSAGE, m.id);
      e.parent = CEntryId::Make(MAPI_FOLDER, m.folder);
      e.event = fnevNewMail;
      events.push_back(e);
      e.event = fnevObjectCreated;
      events.push_back(e);
    }
    if (FAILED(set.Commit(*store))) return Fail(Narrow(name) + ": cannot write the store");
    CNotifyCenter::Instance().Publish(set, events);
  }
  return 0;
}

int Dump(const std::wstring& name) {
  std::wstring path = name;
  if (name.find_first_of(L"\\/:") == std::wstring::npos) {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    path = set.Folder() + L"\\" + name;
  }
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return Fail("cannot read " + Narrow(path));
  StoreRecord record;
  std::string error;
  if (!CStoreText::ParseFile(bytes, record, error)) return Fail(Narrow(path) + ": " + error);
  std::string text = CStoreText::Format(record);
  _setmode(_fileno(stdout), _O_BINARY);  // the text's own line ends, on every system
  fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"load" && argc == 4) return Load(argv[2], argv[3]);
  if (command == L"dump" && argc == 3) return Dump(argv[2]);
  if (command == L"deliver" && argc == 4) return Deliver(argv[2], argv[3]);
  fprintf(stderr, "usage: cemapitool load NAME.mst TEXTFILE | dump NAME.mst | deliver NAME.mst TEXTFILE\n");
  return 1;
}
