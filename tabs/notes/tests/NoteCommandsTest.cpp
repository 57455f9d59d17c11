// The note commands over a folder of the test's own (host paths): copies and their
// names, Save As, deletion and its questions, voice notes turned into ink notes, and
// the requests the commands send.
#include "tabs/notes/NoteCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/tests/ResourceLibraryScope.h"
#include "panel/PanelPrompt.h"
#include "platform/note_prj/tests/FixtureFiles.h"
#include "tabs/notes/NoteFile.h"

namespace {

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A note record of a file in folder, as the collection reads it.
struct NoteHolder {
  NoteHolder(const std::wstring& folder, const std::wstring& fileName) {
    note = CNoteFile::New();
    NOTE_FIND_DATA data;
    wcscpy(data.fileName, fileName.c_str());
    note->Read(data, folder.c_str(), FALSE);
  }
  ~NoteHolder() { note->Release(); }
  CNoteFile* note;
};

class Requests : public INoteRequests {
 public:
  BOOL OpenDocument(LPCWSTR path, int type) override {
    calls.push_back(L"open " + std::wstring(path) + L" " + std::to_wstring(type));
    return TRUE;
  }
  BOOL OpenItemByPath(LPCWSTR path, int target, BOOL temporary) override {
    calls.push_back(L"send " + std::wstring(path) + L" " + std::to_wstring(target) + (temporary ? L" temporary" : L""));
    sent = path;
    return TRUE;
  }
  BOOL OnDocListCommand(UINT command, LPCWSTR path) override {
    calls.push_back(L"doclist " + std::to_wstring(command) + L" " + path);
    return TRUE;
  }
  std::vector<std::wstring> calls;
  std::wstring sent;
};

class NoteCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.Loaded());
    previousRequests_ = SetNoteRequests(&requests_);
  }
  void TearDown() override {
    SetNoteRequests(previousRequests_);
    SetNoteSaveDialog(nullptr);
    SetPanelMessageHook(nullptr);
  }
  CResourceLibraryScope resources_;
  fixture::Scratch scratch_{L"notes_commands"};
  Requests requests_;
  INoteRequests* previousRequests_ = nullptr;
};

// Names with '%', quotes (a name cannot hold a double quote) and long folders are copied as named: first the text-154
// name, then text-155 names counting from 2; nothing is ever overwritten.
TEST_F(NoteCommandsTest, CopiesBesideTheNoteAsNamed) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* file;
    const wchar_t* first;
    const wchar_t* second;
    const wchar_t* third;
  };
  const std::wstring longFolder = std::wstring(L"deep ") + std::wstring(120, L'x');
  const Case cases[] = {
      {L"plain", L"Memo.pwi", L"Copy of Memo.pwi", L"Copy (2) of Memo.pwi", L"Copy (3) of Memo.pwi"},
      {L"100%s %d %n", L"50%s of %x.txt", L"Copy of 50%s of %x.txt", L"Copy (2) of 50%s of %x.txt",
       L"Copy (3) of 50%s of %x.txt"},
      {L"it's 'here'", L"don't.wav", L"Copy of don't.wav", L"Copy (2) of don't.wav", L"Copy (3) of don't.wav"},
      {longFolder.c_str(), L"a.b.psw", L"Copy of a.b.psw", L"Copy (2) of a.b.psw", L"Copy (3) of a.b.psw"},
  };
  for (const Case& c : cases) {
    const std::wstring folder = scratch_ / c.folder;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << c.folder;
    ASSERT_TRUE(fixture::WriteText(folder + L"\\" + c.file, "the note"));
    NoteHolder holder(folder, c.file);
    for (const wchar_t* expected : {c.first, c.second, c.third}) {
      EXPECT_EQ(std::wstring(MakeCopyTarget(*holder.note)), folder + L"\\" + expected);
      ASSERT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_COPY, nullptr)) << c.file;
      EXPECT_EQ(ReadAll(folder + L"\\" + expected), "the note") << expected;
    }
    EXPECT_EQ(ReadAll(folder + L"\\" + c.file), "the note");
  }
}

// A name taken between choosing it and copying keeps its own content.
TEST_F(NoteCommandsTest, ACopyNeverReplacesAFile) {
  const std::wstring folder = scratch_.path();
  ASSERT_TRUE(fixture::WriteText(folder + L"\\Memo.txt", "the note"));
  NoteHolder holder(folder, L"Memo.txt");
  const std::wstring target = static_cast<LPCWSTR>(MakeCopyTarget(*holder.note));
  ASSERT_TRUE(fixture::WriteText(target, "someone else's"));
  EXPECT_TRUE(CopyFileW(holder.note->fullPath, target.c_str(), TRUE) == FALSE);
  EXPECT_EQ(ReadAll(target), "someone else's");
  // The next copy takes the next free name.
  EXPECT_EQ(std::wstring(CopyNote(*holder.note)), folder + L"\\Copy (2) of Memo.txt");
  EXPECT_EQ(ReadAll(target), "someone else's");
}

// Without the resource library's texts no copy is made (rather than one named ".txt").
TEST(NoteCopy, NoTextsNoCopy) {
  fixture::Scratch scratch(L"notes_copy_texts");
  ASSERT_TRUE(fixture::WriteText(scratch / L"Memo.txt", "the note"));
  NoteHolder holder(scratch.path(), L"Memo.txt");
  EXPECT_EQ(std::wstring(MakeCopyTarget(*holder.note)), L"");
  EXPECT_EQ(std::wstring(CopyNote(*holder.note)), L"");
}

std::wstring g_choice;
DWORD g_flags = 0;
std::wstring g_offered;

// Save As writes the file the dialog chose; cancel and the note's own path write none.
TEST_F(NoteCommandsTest, SaveAsWritesTheChosenFile) {
  const std::wstring folder = scratch_.path();
  ASSERT_TRUE(fixture::WriteText(folder + L"\\Memo 100%.txt", "the note"));
  NoteHolder holder(folder, L"Memo 100%.txt");
  SetNoteSaveDialog([](OPENFILENAMEW* dialog) -> BOOL {
    g_offered = dialog->lpstrFile;
    g_flags = dialog->Flags;
    if (g_choice.empty()) return FALSE;
    wcscpy(dialog->lpstrFile, g_choice.c_str());
    return TRUE;
  });
  struct Case {
    std::wstring choice;
    std::wstring written;
  };
  const Case cases[] = {
      {folder + L"\\Saved %s.txt", folder + L"\\Saved %s.txt"},
      {L"", L""},
      {folder + L"\\MEMO 100%.TXT", folder + L"\\MEMO 100%.TXT"},
  };
  for (const Case& c : cases) {
    g_choice = c.choice;
    EXPECT_EQ(std::wstring(SaveNoteAs(*holder.note, nullptr)), c.written) << c.choice;
    EXPECT_EQ(g_offered, folder + L"\\Memo 100%.txt");
    EXPECT_EQ(g_flags & 0x800000, 0x800000u);
    if (!c.written.empty()) {
      EXPECT_EQ(ReadAll(c.written), "the note");
    }
  }
  // Through the row's command too.
  g_choice = folder + L"\\Second.txt";
  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_SAVE_AS, nullptr));
  EXPECT_EQ(ReadAll(g_choice), "the note");
  EXPECT_EQ(ReadAll(folder + L"\\Memo 100%.txt"), "the note");
}

std::vector<std::wstring> g_asked;
std::vector<int> g_answers;

// Delete asks first; a read-only file asks again; "no" at either keeps the file.
TEST_F(NoteCommandsTest, DeleteAsksTwiceForReadOnlyNotes) {
  SetPanelMessageHook([](HWND, LPCWSTR text, LPCWSTR caption, UINT type) -> int {
    g_asked.push_back(std::wstring(caption) + L": " + text);
    EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    if (g_answers.empty()) return IDNO;
    const int answer = g_answers.front();
    g_answers.erase(g_answers.begin());
    return answer;
  });
  struct Case {
    BOOL readOnly;
    std::vector<int> answers;
    size_t questions;
    bool deleted;
  };
  const Case cases[] = {
      {FALSE, {IDNO}, 1, false},           {FALSE, {IDYES}, 1, true},
      {TRUE, {IDNO}, 1, false},            {TRUE, {IDYES, IDNO}, 2, false},
      {TRUE, {IDYES, IDYES}, 2, true},
  };
  const std::wstring folder = scratch_.path();
  for (const Case& c : cases) {
    const std::wstring path = folder + L"\\Memo.pwi";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(fixture::WriteText(path, "ink"));
    if (c.readOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    NoteHolder holder(folder, L"Memo.pwi");
    g_asked.clear();
    g_answers = c.answers;
    EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_DELETE, nullptr));
    EXPECT_EQ(g_asked.size(), c.questions);
    EXPECT_EQ(!Exists(path), c.deleted);
    ASSERT_FALSE(g_asked.empty());
    EXPECT_EQ(g_asked[0].rfind(L"Memo: ", 0), 0u) << g_asked[0];
  }
  SetFileAttributesW((folder + L"\\Memo.pwi").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The ink note's layout: template (length at 408), voice block, recording, trailer.
TEST(NoteInk, BuildsTheFourPieces) {
  std::vector<BYTE> inkTemplate(416, 0xAA);
  std::vector<BYTE> voice(70000);
  for (size_t i = 0; i < voice.size(); ++i) voice[i] = static_cast<BYTE>(i * 7);
  const std::vector<BYTE> ink = BuildInkFromVoice(inkTemplate.data(), inkTemplate.size(), voice.data(), voice.size());
  ASSERT_EQ(ink.size(), 416u + 1046 + 70000 + 18);
  const DWORD n = 70000;
  EXPECT_EQ(ink[408] | ink[409] << 8 | ink[410] << 16 | static_cast<DWORD>(ink[411]) << 24, n);
  EXPECT_EQ(ink[407], 0xAA);
  EXPECT_EQ(ink[412], 0xAA);
  const BYTE* block = ink.data() + 416;
  const wchar_t name[] = L"VoiceNote.wav";
  for (size_t i = 0; i < 14; ++i) {
    EXPECT_EQ(block[520 + 2 * i], static_cast<BYTE>(name[i])) << i;
    EXPECT_EQ(block[521 + 2 * i], 0) << i;
  }
  std::vector<BYTE> expected(1046, 0);
  for (size_t i = 0; i < 14; ++i) expected[520 + 2 * i] = static_cast<BYTE>(name[i]);
  expected[1040] = 0x55;
  expected[1041] = static_cast<BYTE>(n >> 16);
  expected[1044] = static_cast<BYTE>(n);
  expected[1045] = static_cast<BYTE>(n >> 8);
  EXPECT_EQ(std::vector<BYTE>(block, block + 1046), expected);
  EXPECT_EQ(std::vector<BYTE>(ink.begin() + 416 + 1046, ink.end() - 18), voice);
  const BYTE trailer[18] = {0x82, 0, 9, 0, 3, 0, 0x82, 0};
  EXPECT_EQ(std::vector<BYTE>(ink.end() - 18, ink.end()), std::vector<BYTE>(trailer, trailer + 18));

  EXPECT_TRUE(BuildInkFromVoice(inkTemplate.data(), 411, voice.data(), voice.size()).empty());
  EXPECT_TRUE(BuildInkFromVoice(nullptr, 0, voice.data(), voice.size()).empty());
  EXPECT_EQ(BuildInkFromVoice(inkTemplate.data(), 412, nullptr, 0).size(), 412u + 1046 + 18);
}

// Save as ink beside the note takes the first free name and opens it; sending makes a
// temporary ink note of template + 1,046 + n + 18 bytes and sends it as temporary.
TEST_F(NoteCommandsTest, VoiceNotesBecomeInkNotes) {
  const std::wstring folder = scratch_.path();
  ASSERT_TRUE(fixture::WriteText(folder + L"\\Memo.wav", "RIFF....WAVEfmt recorded sound"));
  ASSERT_TRUE(fixture::WriteText(folder + L"\\Memo.pwi", "an ink note already there"));
  NoteHolder holder(folder, L"Memo.wav");
  ASSERT_EQ(holder.note->type, NOTE_TYPE_VOICE);
  DWORD templateSize = 0;
  ASSERT_TRUE(FindResourceW(resources_.Module(), MAKEINTRESOURCEW(130), L"BINARY"));
  templateSize = SizeofResource(resources_.Module(), FindResourceW(resources_.Module(), MAKEINTRESOURCEW(130), L"BINARY"));
  ASSERT_GE(templateSize, 412u);

  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_TO_INK, nullptr));
  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_TO_INK, nullptr));
  EXPECT_EQ(ReadAll(folder + L"\\Memo.pwi"), "an ink note already there");
  const size_t n = strlen("RIFF....WAVEfmt recorded sound");
  EXPECT_EQ(ReadAll(folder + L"\\Memo(1).pwi").size(), templateSize + 1046 + n + 18);
  EXPECT_EQ(ReadAll(folder + L"\\Memo(2).pwi").size(), templateSize + 1046 + n + 18);
  ASSERT_EQ(requests_.calls.size(), 2u);
  EXPECT_EQ(requests_.calls[0], L"open " + folder + L"\\Memo(1).pwi 0");

  // Sending writes into "\TEMP" of the current drive, as the device has it.
  WCHAR previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
  CreateDirectoryW(L"\\TEMP", nullptr);
  requests_.calls.clear();
  EXPECT_TRUE(RunNoteCommand(holder.note, 1405, nullptr));
  ASSERT_EQ(requests_.calls.size(), 1u);
  EXPECT_NE(requests_.calls[0].find(L" 1 temporary"), std::wstring::npos) << requests_.calls[0];
  EXPECT_NE(requests_.sent.find(L"DSN"), std::wstring::npos) << requests_.sent;
  EXPECT_EQ(ReadAll(requests_.sent).size(), templateSize + 1046 + n + 18);
  DeleteFileW(requests_.sent.c_str());
  SetCurrentDirectoryW(previous);
}

// Other notes are opened and sent as they are; unknown commands go to the document list.
TEST_F(NoteCommandsTest, OpenSendAndOtherCommands) {
  const std::wstring folder = scratch_.path();
  ASSERT_TRUE(fixture::WriteText(folder + L"\\Plan.pwi", "ink"));
  NoteHolder holder(folder, L"Plan.pwi");
  const std::wstring path = folder + L"\\Plan.pwi";
  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_OPEN, nullptr));
  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_EDIT, nullptr));
  EXPECT_TRUE(RunNoteCommand(holder.note, 1404, nullptr));
  EXPECT_TRUE(RunNoteCommand(holder.note, 1406, nullptr));
  EXPECT_TRUE(RunNoteCommand(holder.note, NOTE_CMD_TO_INK, nullptr));
  EXPECT_FALSE(RunNoteCommand(holder.note, 1641, nullptr));
  EXPECT_FALSE(RunNoteCommand(nullptr, NOTE_CMD_OPEN, nullptr));
  EXPECT_EQ(requests_.calls, (std::vector<std::wstring>{L"open " + path + L" 0", L"open " + path + L" 0",
                                                        L"send " + path + L" 0", L"send " + path + L" 2",
                                                        L"doclist 1641 " + path}));
}

}  // namespace
