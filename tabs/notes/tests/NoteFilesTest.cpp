// The note-file collection over a device of the test's own on drive C: (the drive
// whose root the device root is while C: is the current drive, as on the emulated
// device): main memory's documents and a storage card named by the device identity.
// Every folder and file name carries the process id, so what other programs leave in
// the shared "\My Documents" is told apart.
#include "tabs/notes/NoteFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "platform/aygshell/aygshell.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/note_prj/tests/FixtureFiles.h"

namespace {

const std::wstring kTag = std::to_wstring(GetCurrentProcessId());
const std::wstring kCard = L"\\NotesCard" + kTag;
const std::wstring kDocs = L"\\My Documents";
const std::wstring kWork = L"Work" + kTag;
const std::wstring kOld = L"Old" + kTag;

std::wstring Host(const std::wstring& devicePath) { return L"C:" + devicePath; }

std::vector<BYTE> Wave(DWORD size, DWORD rate) {
  std::vector<BYTE> bytes(size, 0);
  memcpy(bytes.data(), "RIFF", 4);
  memcpy(bytes.data() + 8, "WAVEfmt ", 8);
  for (int i = 0; i < 4; ++i) bytes[28 + i] = static_cast<BYTE>(rate >> (8 * i));
  return bytes;
}

bool Write(const std::wstring& devicePath, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(Host(devicePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool WriteText(const std::wstring& devicePath, const char* text) {
  return Write(devicePath, std::vector<BYTE>(text, text + strlen(text)));
}

BOOL IsTestCard(LPCWSTR top) { return _wcsicmp(top, kCard.c_str()) == 0; }

struct Event {
  std::wstring kind;  // changed, added, removed
  std::wstring oldPath;
  std::wstring newPath;
};

class Recorder : public INoteFilesListener {
 public:
  void OnNoteChanged(CNoteFile* oldNote, CNoteFile* newNote) override {
    events.push_back({L"changed", oldNote ? std::wstring(oldNote->fullPath) : L"",
                      newNote ? std::wstring(newNote->fullPath) : L""});
  }
  void OnNoteAdded(CNoteFile* note, BOOL) override {
    events.push_back({L"added", L"", note ? std::wstring(note->fullPath) : L"(all)"});
  }
  void OnNoteRemoved(CNoteFile* note, BOOL) override {
    events.push_back({L"removed", note ? std::wstring(note->fullPath) : L"", L""});
  }
  std::vector<Event> events;
};

class NoteFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine_.Redirected());
    GetCurrentDirectoryW(MAX_PATH, previousDirectory_);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    device_.Set(L"Root", L"C:\\");
    device_.Set(L"StorageCards", kCard.c_str());
    previousCardTest_ = SetStorageCardTest(IsTestCard);
    RemoveOurs();
    CreateDirectoryW(Host(kDocs).c_str(), nullptr);
    for (const std::wstring& folder :
         {kDocs + L"\\" + kWork, kDocs + L"\\" + kOld, kDocs + L"\\Empty" + kTag, kCard, kCard + kDocs,
          kCard + kDocs + L"\\" + kWork})
      ASSERT_TRUE(CreateDirectoryW(Host(folder).c_str(), nullptr)) << Host(folder).c_str();
    ASSERT_TRUE(WriteText(kDocs + L"\\Root" + kTag + L".txt", "in the documents folder"));
    ASSERT_TRUE(WriteText(kDocs + L"\\" + kWork + L"\\notes" + kTag + L".PWI", "ink"));
    ASSERT_TRUE(WriteText(kDocs + L"\\" + kWork + L"\\archive" + kTag + L".zip", "not a note"));
    ASSERT_TRUE(WriteText(kDocs + L"\\" + kWork + L"\\.pwi", "no name"));
    ASSERT_TRUE(WriteText(kDocs + L"\\" + kOld + L"\\hidden" + kTag + L".txt", "hidden by its folder"));
    ASSERT_TRUE(WriteText(kCard + kDocs + L"\\" + kWork + L"\\notes" + kTag + L".pwi", "ink on the card"));
    ASSERT_TRUE(Write(kCard + kDocs + L"\\" + kWork + L"\\memo" + kTag + L".wav", Wave(44100, 22050)));
    // Hidden twice over: a dot name (Wine's rule) and the attribute (the device's).
    const std::wstring hiddenFile = Host(kDocs + L"\\" + kWork + L"\\.secret" + kTag + L".txt");
    ASSERT_TRUE(fixture::WriteText(hiddenFile, "a hidden file"));
    SetFileAttributesW(hiddenFile.c_str(), FILE_ATTRIBUTE_HIDDEN);
    // Entries are compared exactly: the capitalised one hides nothing.
    machine_.Key(CFilterList::kKeyPath).WriteString(L"HiddenFolders", (L"old" + kTag + L"|" + kWork).c_str());
    files_.AddListener(&recorder_);
  }
  void TearDown() override {
    files_.RemoveListener(&recorder_);
    files_.Clear();
    RemoveOurs();
    SetStorageCardTest(previousCardTest_);
    SetCurrentDirectoryW(previousDirectory_);
  }
  static void RemoveOurs() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Host(kDocs + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name.find(kTag) == std::wstring::npos) continue;
        const std::wstring path = Host(kDocs + L"\\" + name);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          fixture::RemoveTree(path);
        else
          DeleteFileW(path.c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    fixture::RemoveTree(Host(kCard));
  }

  // Our notes as "folder name|path|size value|card".
  std::vector<std::wstring> Ours() {
    std::vector<std::wstring> out;
    CNoteFile* note = nullptr;
    for (BOOL more = files_.GetFirst(&note); more; more = files_.GetNext(&note)) {
      if (std::wstring(note->fullPath).find(kTag) == std::wstring::npos) continue;
      out.push_back(std::wstring(note->folder ? static_cast<LPCWSTR>(note->folder->name) : L"(none)") + L"|" +
                    static_cast<LPCWSTR>(note->fullPath) + L"|" + std::to_wstring(note->sizeValue) + L"|" +
                    (note->onStorageCard ? L"card" : L"memory"));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  CLocalMachineSandbox machine_{L"NoteFiles"};
  CDeviceSwitch device_;
  WCHAR previousDirectory_[MAX_PATH] = {};
  PFN_STORAGE_CARD_TEST previousCardTest_ = nullptr;
  CNoteFiles files_;
  Recorder recorder_;
};

// Every kind of note on main memory and the card, grouped by folder name; hidden
// files and folders, names without a note extension or without a name are left out.
TEST_F(NoteFilesTest, LoadsTheNotesOfMemoryAndCard) {
  const std::wstring work = kDocs + L"\\" + kWork;
  const std::wstring cardWork = kCard + kDocs + L"\\" + kWork;
  std::vector<std::wstring> expected = {
      L"|" + kDocs + L"\\Root" + kTag + L".txt|23|memory",
      kWork + L"|" + cardWork + L"\\memo" + kTag + L".wav|2000|card",
      kWork + L"|" + cardWork + L"\\notes" + kTag + L".pwi|15|card",
      kWork + L"|" + work + L"\\notes" + kTag + L".PWI|3|memory",
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Ours(), expected);
  EXPECT_TRUE(files_.IsLoaded());

  // One folder for both Work folders, counting the notes of both.
  const int index = files_.FindFolder(kWork.c_str());
  ASSERT_GE(index, 0);
  EXPECT_EQ(files_.GetFolderData(index), 3);
  EXPECT_EQ(std::wstring(files_.GetFolderName(index)), kWork);
  EXPECT_EQ(std::wstring(files_.GetFolderPath(kWork.c_str())), work);
  CString path;
  EXPECT_TRUE(files_.GetFolderOfPath(path, kWork.c_str()));
  EXPECT_GE(files_.FindFolder(L""), 0);
  // Hidden, emptied and unknown folders are none of the collection's.
  EXPECT_EQ(files_.FindFolder(kOld.c_str()), -1);
  EXPECT_EQ(files_.FindFolder((L"Empty" + kTag).c_str()), -1);
  EXPECT_EQ(std::wstring(files_.GetFolderPath((L"Empty" + kTag).c_str())), L"");
  EXPECT_EQ(std::wstring(files_.GetFolderName(-1)), L"");
  EXPECT_EQ(files_.GetFolderData(files_.GetFolderCount()), 0);

  // The folder list is in ordinal order, with insert positions for the absent.
  for (int i = 1; i < files_.GetFolderCount(); ++i)
    EXPECT_LT(wcscmp(files_.GetFolderName(i - 1), files_.GetFolderName(i)), 0);
  int insertAt = -1;
  EXPECT_EQ(files_.FindFolder(L"\xffff", &insertAt), -1);
  EXPECT_EQ(insertAt, files_.GetFolderCount());
}

TEST_F(NoteFilesTest, HiddenFoldersCompareLowerCasedNames) {
  struct Case {
    const wchar_t* path;
    BOOL isFile;
    BOOL shown;
  };
  files_.Load();
  const std::wstring old = kDocs + L"\\" + kOld;
  const std::wstring oldFile = old + L"\\a.txt";
  const std::wstring workFile = kDocs + L"\\" + kWork + L"\\a.txt";
  const Case cases[] = {
      {old.c_str(), FALSE, FALSE}, {oldFile.c_str(), TRUE, FALSE}, {oldFile.c_str(), FALSE, TRUE},
      {workFile.c_str(), TRUE, TRUE}, {L"\\My Documents", FALSE, TRUE},
  };
  for (const Case& c : cases) EXPECT_EQ(files_.IsFolderShown(c.path, c.isFile), c.shown) << c.path;
}

TEST_F(NoteFilesTest, VisibleNoteFilesAreTheLibrarysNotHidden) {
  struct Case {
    std::wstring path;
    BOOL visible;
  };
  const Case cases[] = {
      {kDocs + L"\\" + kWork + L"\\notes" + kTag + L".PWI", TRUE},
      {kDocs + L"\\" + kWork + L"\\archive" + kTag + L".zip", FALSE},
      {kDocs + L"\\" + kWork + L"\\.secret" + kTag + L".txt", FALSE},
      {kDocs + L"\\" + kWork + L"\\not-yet-there" + kTag + L".txt", TRUE},
      {L"\\Windows\\notes.pwi", FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(files_.IsVisibleNoteFile(c.path.c_str()), c.visible) << c.path;
  EXPECT_FALSE(files_.IsVisibleNoteFile(nullptr));
}

// Deleting, updating, creating; folder events reload only for known folders.
TEST_F(NoteFilesTest, FileChangesReachTheListeners) {
  ASSERT_EQ(Ours().size(), 4u);
  const int work = files_.FindFolder(kWork.c_str());
  const std::wstring ink = kDocs + L"\\" + kWork + L"\\notes" + kTag + L".PWI";
  const std::wstring fresh = kDocs + L"\\" + kWork + L"\\fresh" + kTag + L".txt";
  const std::wstring hidden = kDocs + L"\\" + kOld + L"\\late" + kTag + L".txt";

  // Updated: the new record takes the old one's place.
  ASSERT_TRUE(WriteText(ink, "more ink than before"));
  files_.OnFileChange(ink.c_str(), SHCNE_UPDATEITEM);
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].kind, L"changed");
  EXPECT_EQ(recorder_.events[0].oldPath, ink);
  EXPECT_EQ(recorder_.events[0].newPath, ink);
  EXPECT_EQ(files_.GetFolderData(work), 3);

  // Deleted: removed once, the folder counts one less.
  recorder_.events.clear();
  ASSERT_TRUE(DeleteFileW(Host(ink).c_str()));
  files_.OnFileChange(ink.c_str(), SHCNE_DELETE);
  files_.OnFileChange(ink.c_str(), SHCNE_DELETE);
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].kind, L"removed");
  EXPECT_EQ(files_.GetFolderData(work), 2);

  // Created; in a hidden folder: nothing.
  recorder_.events.clear();
  ASSERT_TRUE(WriteText(fresh, "new"));
  ASSERT_TRUE(WriteText(hidden, "hidden"));
  files_.OnFileChange(fresh.c_str(), SHCNE_CREATE);
  files_.OnFileChange(hidden.c_str(), SHCNE_CREATE);
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].kind, L"added");
  EXPECT_EQ(recorder_.events[0].newPath, fresh);
  EXPECT_EQ(files_.GetFolderData(work), 3);

  // Updated but gone meanwhile: removed.
  recorder_.events.clear();
  ASSERT_TRUE(DeleteFileW(Host(fresh).c_str()));
  files_.OnFileChange(fresh.c_str(), SHCNE_UPDATEITEM);
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].kind, L"removed");
  EXPECT_EQ(files_.GetFolderData(work), 2);

  // A folder that was never a notes folder goes: nothing changes.
  recorder_.events.clear();
  files_.OnFileChange((kDocs + L"\\Empty" + kTag).c_str(), SHCNE_RMDIR);
  files_.OnFileChange(L"\\Program Files\\Gone", SHCNE_RENAMEFOLDER);
  EXPECT_TRUE(recorder_.events.empty());
  EXPECT_TRUE(files_.IsLoaded());

  // A card comes: everything goes, and loads again on the next GetFirst.
  files_.OnFileChange(kCard.c_str(), SHCNE_MEDIAINSERTED);
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].newPath, L"(all)");
  EXPECT_FALSE(files_.IsLoaded());
  EXPECT_EQ(files_.GetFolderCount(), 0);
  EXPECT_EQ(Ours().size(), 3u);

  // A known folder removed reloads too; changes before a load are ignored.
  recorder_.events.clear();
  files_.OnFileChange((kCard + kDocs + L"\\" + kWork).c_str(), SHCNE_RMDIR);
  EXPECT_EQ(recorder_.events.size(), 1u);
  files_.OnFileChange(fresh.c_str(), SHCNE_CREATE);
  EXPECT_EQ(recorder_.events.size(), 1u);
}

// What a find record gives: hidden files, unknown extensions and names that are only
// an extension are refused; the folder, name and type come from the path.
TEST(NoteFileRead, FindRecordsIntoNotes) {
  struct Case {
    const wchar_t* path;
    DWORD attributes;
    BOOL read;
    const wchar_t* folder;
    const wchar_t* name;
    int type;
  };
  const Case cases[] = {
      {L"\\My Documents\\Work\\plan.pwi", 0, TRUE, L"\\My Documents\\Work", L"plan", NOTE_TYPE_INK},
      {L"\\My Documents\\a.b.Txt", 0, TRUE, L"\\My Documents", L"a.b", NOTE_TYPE_TEXT},
      {L"\\My Documents\\Work\\.pwi", 0, FALSE, L"", L"", 0},
      {L"\\My Documents\\Work\\plan.", 0, FALSE, L"", L"", 0},
      {L"\\My Documents\\archive.zip", 0, FALSE, L"", L"", 0},
      {L"\\My Documents\\plan.pwi", FILE_ATTRIBUTE_HIDDEN, FALSE, L"", L"", 0},
      {L"plan.pwi", 0, TRUE, L"", L"plan", NOTE_TYPE_INK},
  };
  CNoteFiles files;
  for (const Case& c : cases) {
    NOTE_FIND_DATA data;
    wcscpy(data.fileName, c.path);
    data.attributes = c.attributes;
    data.sizeLow = 1234;
    data.objectId = 77;
    CNoteFile* note = CNoteFile::New();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Read(data, nullptr, FALSE, &files), c.read) << c.path;
    if (c.read) {
      EXPECT_EQ(std::wstring(note->folderPath), c.folder) << c.path;
      EXPECT_EQ(std::wstring(note->name), c.name) << c.path;
      EXPECT_EQ(note->type, c.type) << c.path;
      EXPECT_EQ(note->size, 1234u);
      EXPECT_EQ(note->sizeValue, 1234u);
      EXPECT_EQ(note->objectId, 77u);
      EXPECT_EQ(note->folder, nullptr) << "no path of the collection names the folder";
    }
    note->Release();
  }
  // The folder given apart from the name.
  NOTE_FIND_DATA data;
  wcscpy(data.fileName, L"memo.txt");
  CNoteFile* note = CNoteFile::New();
  ASSERT_TRUE(note->Read(data, L"\\My Documents\\", FALSE, &files));
  EXPECT_EQ(std::wstring(note->fullPath), L"\\My Documents\\memo.txt");
  note->Release();
}

// Find records of any content, names filling the record without an end among them.
TEST(NoteFileRead, AnyRecordIsReadOrRefused) {
  std::mt19937 random(58102);
  const wchar_t alphabet[] = {L'\\', L'.', L'p', L'w', L'i', L'%', L'a', L'\0', L'/', L'T', L'X', L'W', L'v'};
  CNoteFiles files;
  for (int round = 0; round < 4000; ++round) {
    NOTE_FIND_DATA data;
    const size_t length = random() % 3 == 0 ? MAX_PATH : random() % 40;
    for (size_t i = 0; i < length; ++i) data.fileName[i] = alphabet[random() % (sizeof alphabet / sizeof alphabet[0])];
    data.attributes = random() % 4 == 0 ? FILE_ATTRIBUTE_HIDDEN : 0;
    data.sizeLow = random();
    CNoteFile* note = CNoteFile::New();
    ASSERT_NE(note, nullptr);
    if (note->Read(data, random() % 2 ? L"\\My Documents" : nullptr, random() % 2, &files)) {
      ASSERT_NE(note->type, NOTE_TYPE_NONE) << round;
      ASSERT_FALSE(note->name.IsEmpty()) << round;
      ASSERT_LT(note->fullPath.GetLength(), MAX_PATH + 16) << round;
    }
    note->Release();
  }
}

// Rows keep notes beyond a reload: their folder pointer is dropped with the folders.
TEST_F(NoteFilesTest, NotesKeptBeyondAReloadLoseTheirFolder) {
  CNoteFile* note = nullptr;
  ASSERT_TRUE(files_.GetFirst(&note));
  note->AddRef();
  files_.Clear();
  EXPECT_EQ(note->folder, nullptr);
  EXPECT_EQ(note->GetRefCount(), 1);
  note->Release();
}

TEST_F(NoteFilesTest, ListenersAreKeptOnceAndRemovedEverywhere) {
  Recorder second;
  files_.AddListener(&second);
  files_.AddListener(&second);
  files_.Load();
  files_.OnFileChange(kCard.c_str(), SHCNE_MEDIAREMOVED);
  EXPECT_EQ(second.events.size(), 1u);
  files_.RemoveListener(&second);
  files_.Load();
  files_.OnFileChange(kCard.c_str(), SHCNE_MEDIAREMOVED);
  EXPECT_EQ(second.events.size(), 1u);
  EXPECT_EQ(recorder_.events.size(), 2u);
}

// Any sequence of changes, of any paths and event bits, with files coming and going
// meanwhile: every folder's count stays the number of its notes.
TEST_F(NoteFilesTest, ChangeSequencesKeepFolderCounts) {
  std::mt19937 random(58101);
  const std::wstring work = kDocs + L"\\" + kWork;
  const std::vector<std::wstring> paths = {
      work + L"\\notes" + kTag + L".PWI",
      work + L"\\NOTES" + kTag + L".pwi",
      work + L"\\coming" + kTag + L".txt",
      kCard + kDocs + L"\\" + kWork + L"\\memo" + kTag + L".wav",
      kDocs + L"\\Root" + kTag + L".txt",
      kDocs + L"\\" + kOld + L"\\hidden" + kTag + L".txt",
      work,
      kCard,
      L"",
      L"\\",
      L"relative%s%d.txt",
      L"\\" + std::wstring(300, L'x') + L".pwi",
  };
  const DWORD bits[] = {SHCNE_CREATE, SHCNE_DELETE, SHCNE_UPDATEITEM, SHCNE_ATTRIBUTES, SHCNE_RENAMEITEM,
                        SHCNE_RMDIR, SHCNE_RENAMEFOLDER, SHCNE_MEDIAINSERTED, SHCNE_DRIVEADD, SHCNE_MKDIR};
  CNoteFile* first = nullptr;
  files_.GetFirst(&first);
  for (int round = 0; round < 1500; ++round) {
    if (random() % 4 == 0) {
      const std::wstring& path = paths[random() % 3];
      if (random() % 2)
        WriteText(path, "changing");
      else
        DeleteFileW(Host(path).c_str());
    }
    DWORD events = 0;
    for (int i = 0, n = 1 + random() % 2; i < n; ++i) events |= bits[random() % (sizeof bits / sizeof bits[0])];
    if (random() % 8 == 0) events = static_cast<DWORD>(random());
    files_.OnFileChange(paths[random() % paths.size()].c_str(), events);
    if (!files_.IsLoaded() && random() % 4 == 0) files_.GetFirst(&first);
    std::map<std::wstring, int> counted;
    for (int i = 0; i < files_.GetNoteCount(); ++i)
      if (NOTE_FOLDER* folder = files_.GetNote(i)->folder) ++counted[static_cast<LPCWSTR>(folder->name)];
    for (int i = 0; i < files_.GetFolderCount(); ++i)
      ASSERT_EQ(files_.GetFolderData(i), counted[static_cast<LPCWSTR>(files_.GetFolderName(i))]) << round;
    for (const auto& entry : counted) ASSERT_GE(files_.FindFolder(entry.first.c_str()), 0) << round;
  }
  files_.OnFileChange(nullptr, SHCNE_CREATE);
}

// A window that keeps the shell's file-change records it receives.
class ChangeWindow {
 public:
  ChangeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NotesTestChanges";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ChangeWindow() { DestroyWindow(hwnd); }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ChangeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_FILECHANGEINFO && self && lParam) {
      auto* record = reinterpret_cast<FILECHANGENOTIFY*>(lParam);
      if (record->fci.dwItem1) self->changes.push_back({reinterpret_cast<LPCWSTR>(record->fci.dwItem1),
                                                        static_cast<DWORD>(record->fci.wEventId)});
      SHChangeNotifyFree(record);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND hwnd = nullptr;
  std::vector<std::pair<std::wstring, DWORD>> changes;
};

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// Another program writes a note: the shell's watcher tells the registered window,
// and the change (as the panel hands it on) adds the note.
TEST_F(NoteFilesTest, ANoteAnotherProgramWritesArrivesThroughTheWatcher) {
  ChangeWindow window;
  files_.SetNotifyWindow(window.hwnd);
  ASSERT_TRUE(files_.StartNotifications());
  EXPECT_FALSE(files_.IsLoaded());
  ASSERT_EQ(Ours().size(), 4u);

  const std::wstring note = kDocs + L"\\" + kWork + L"\\other" + kTag + L".txt";
  ASSERT_TRUE(fixture::RunOther(L"echo from another program> \"" + Host(note) + L"\""));
  size_t handed = 0;
  auto arrived = [&] {
    for (; handed < window.changes.size(); ++handed)
      files_.OnFileChange(window.changes[handed].first.c_str(), window.changes[handed].second);
    for (const Event& e : recorder_.events)
      if (e.kind == L"added" && _wcsicmp(e.newPath.c_str(), note.c_str()) == 0) return true;
    return false;
  };
  EXPECT_TRUE(PumpUntil(arrived, 10000));
  EXPECT_EQ(Ours().size(), 5u);

  // Records posted before the registration went may still come; none after it.
  files_.StopNotifications();
  EXPECT_FALSE(files_.IsLoaded());
  PumpUntil([] { return false; }, 200);
  window.changes.clear();
  const std::wstring after = kDocs + L"\\" + kWork + L"\\after" + kTag + L".txt";
  ASSERT_TRUE(fixture::RunOther(L"echo after> \"" + Host(after) + L"\""));
  PumpUntil([] { return false; }, 300);
  for (const auto& change : window.changes) EXPECT_NE(_wcsicmp(change.first.c_str(), after.c_str()), 0);
  files_.SetNotifyWindow(nullptr);
}

}  // namespace
