#include "tabs/notes/NoteFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/note_prj/tests/FixtureFiles.h"
#include "platform/tests/ByteMutator.h"

namespace {

TEST(NoteFile, TypesByExtensionInAnyCase) {
  struct Case {
    const wchar_t* extension;
    int type;
  };
  const Case cases[] = {
      {L"txt", NOTE_TYPE_TEXT}, {L"WAV", NOTE_TYPE_VOICE},     {L"psw", NOTE_TYPE_WORD},  {L"Doc", NOTE_TYPE_WORD},
      {L"pwi", NOTE_TYPE_INK},  {L"PWI", NOTE_TYPE_INK},       {L"rtf", NOTE_TYPE_RICH_TEXT},
      {L"pmi", NOTE_TYPE_PICTURE}, {L"xls", NOTE_TYPE_SHEET}, {L"pxl", NOTE_TYPE_SHEET},
      {L"zip", NOTE_TYPE_NONE}, {L"", NOTE_TYPE_NONE},         {nullptr, NOTE_TYPE_NONE}, {L"pwix", NOTE_TYPE_NONE},
  };
  for (const Case& c : cases) EXPECT_EQ(NoteTypeFromExtension(c.extension), c.type) << (c.extension ? c.extension : L"null");

  struct PathCase {
    const wchar_t* path;
    BOOL note;
  };
  const PathCase paths[] = {
      {L"\\My Documents\\notes.PWI", TRUE}, {L"\\My Documents\\archive.zip", FALSE},
      {L"\\My.Documents\\plain", FALSE},    {L"\\a\\b.c\\memo.wav", TRUE},
      {L"memo", FALSE},                     {nullptr, FALSE},
      // File names as the options program's folder filter passes them.
      {L"c.d.txt", TRUE},                   {L"k.txt.bak", FALSE},
      {L"txt", FALSE},                      {L"l.", FALSE},
      {L".txt", TRUE},                      {L"m.docx", FALSE},
      {L"", FALSE},                         {L"f.Doc", TRUE},
  };
  for (const PathCase& c : paths) EXPECT_EQ(HasNoteExtension(c.path), c.note) << (c.path ? c.path : L"null");
}

std::vector<BYTE> WaveHeader(DWORD averageBytesPerSecond, const char* tag = "WAVEfmt ") {
  std::vector<BYTE> bytes(44, 0);
  memcpy(bytes.data(), "RIFF", 4);
  memcpy(bytes.data() + 8, tag, 8);
  for (int i = 0; i < 4; ++i) bytes[28 + i] = static_cast<BYTE>(averageBytesPerSecond >> (8 * i));
  return bytes;
}

// Size x 100 / rate x 10 ms, in 64 bits: long recordings keep their length.
TEST(NoteFile, VoiceDurationFromTheHeader) {
  struct Case {
    DWORD rate;
    DWORD size;
    const char* tag;
    DWORD duration;
  };
  const Case cases[] = {
      {22050, 44100, "WAVEfmt ", 2000},
      {22050, 44101, "WAVEfmt ", 2000},
      {8000, 2044, "WAVEfmt ", 250},
      // 100 MB at 22,050 bytes a second: past 42.9 MB the 32-bit product wraps.
      {22050, 100000000, "WAVEfmt ", 4535140},
      {1, 0xFFFFFFFFu, "WAVEfmt ", 0xFFFFFFFFu},
      {0, 44100, "WAVEfmt ", 0},
      {22050, 44100, "WAVEFMT ", 0},
      {22050, 44100, "AVI LIST", 0},
      {22050, 37, "WAVEfmt ", 0},
  };
  for (const Case& c : cases) {
    const std::vector<BYTE> header = WaveHeader(c.rate, c.tag);
    EXPECT_EQ(VoiceDurationFromHeader(header.data(), header.size(), c.size), c.duration) << c.size << " " << c.tag;
  }
  const std::vector<BYTE> header = WaveHeader(22050);
  EXPECT_EQ(VoiceDurationFromHeader(header.data(), 37, 44100), 0u) << "fewer bytes than a header";
  EXPECT_EQ(VoiceDurationFromHeader(nullptr, 44, 44100), 0u);
}

// Recordings written by another program (sox), the extensible format block among them.
TEST(NoteFile, VoiceDurationOfFilesOtherProgramsWrote) {
  struct Case {
    const wchar_t* name;
    DWORD duration;
  };
  const Case cases[] = {{L"tone-8k.wav", 250}, {L"tone-22k.wav", 500}, {L"tone-48k-24bit.wav", 100}};
  for (const Case& c : cases) {
    const std::wstring path = std::wstring(NOTES_TEST_DATA) + L"/" + c.name;
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << c.name;
    EXPECT_EQ(ReadVoiceDuration(path.c_str(), data.nFileSizeLow), c.duration) << c.name;
  }
  EXPECT_EQ(ReadVoiceDuration(L"Z:\\no\\such\\memo.wav", 44100), 0u);
}

// The file is read while another program holds it open for writing (a recording
// still going), and closed again after.
TEST(NoteFile, VoiceFileOpenForWritingIsStillRead) {
  fixture::Scratch scratch(L"notes_voice");
  const std::wstring path = scratch / L"memo.wav";
  std::vector<BYTE> bytes = WaveHeader(22050);
  bytes.resize(44100);
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  EXPECT_EQ(ReadVoiceDuration(path.c_str(), 44100), 2000u);
  CloseHandle(writer);
  EXPECT_TRUE(DeleteFileW(path.c_str())) << "the reader left the file open";
}

// Any bytes: a length no greater than the file could give at one byte a second.
TEST(NoteFile, VoiceHeaderFuzz) {
  fixtures::ByteMutator mutator(5801);
  std::vector<BYTE> seed = WaveHeader(22050);
  for (int round = 0; round < 5000; ++round) {
    const std::vector<BYTE> bytes = mutator.Edit(seed, 6);
    const size_t count = mutator.Below(3) == 0 ? mutator.Below(bytes.size()) : bytes.size();
    const DWORD size = mutator.Below(2) ? mutator.Any() : static_cast<DWORD>(mutator.Below(100));
    const DWORD duration = VoiceDurationFromHeader(bytes.data(), count, size);
    const unsigned long long bound = static_cast<unsigned long long>(size) * 1000;
    ASSERT_LE(duration, bound > 0xFFFFFFFFull ? 0xFFFFFFFFull : bound) << round;
    if (count < 38 || memcmp(bytes.data() + 8, "WAVEfmt", 7) != 0) {
      ASSERT_EQ(duration, 0u) << round;
    }
  }
}

// The card is the top folder; a seam names cards where the attribute is not kept.
TEST(NoteFile, StorageCardIsTheTopFolder) {
  static std::wstring asked;
  PFN_STORAGE_CARD_TEST previous = SetStorageCardTest([](LPCWSTR top) -> BOOL {
    asked = top;
    return _wcsicmp(top, L"\\Storage Card") == 0;
  });
  struct Case {
    const wchar_t* path;
    BOOL card;
    const wchar_t* top;
  };
  const Case cases[] = {
      {L"\\Storage Card\\My Documents\\a.pwi", TRUE, L"\\Storage Card"},
      {L"\\storage card\\x.txt", TRUE, L"\\storage card"},
      {L"\\My Documents\\a.pwi", FALSE, L"\\My Documents"},
      {L"\\Storage Card", TRUE, L"\\Storage Card"},
      {L"relative\\a.pwi", FALSE, L""},
      {L"\\", FALSE, L""},
  };
  for (const Case& c : cases) {
    asked.clear();
    EXPECT_EQ(IsOnStorageCard(c.path), c.card) << c.path;
    EXPECT_EQ(asked, c.top) << c.path;
  }
  SetStorageCardTest(previous);
}

}  // namespace
