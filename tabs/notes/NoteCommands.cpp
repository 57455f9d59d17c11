#include "tabs/notes/NoteCommands.h"

#include <wchar.h>

#include "base/Translator.h"
#include "panel/PanelPrompt.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "pim/SystemUtils.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/NoteText.h"

namespace {

class COndrelNoteRequests : public INoteRequests {
 public:
  BOOL OpenDocument(LPCWSTR path, int type) override { return COndrelClient::Instance().OpenDocument(path, type); }
  BOOL OpenItemByPath(LPCWSTR path, int target, BOOL temporary) override {
    return COndrelClient::Instance().OpenItemByPath(path, target, temporary);
  }
  BOOL OnDocListCommand(UINT command, LPCWSTR path) override {
    return ::OnDocListCommand(command, reinterpret_cast<LPARAM>(path));
  }
};

COndrelNoteRequests g_ondrelRequests;
INoteRequests* g_requests = nullptr;
PFN_SAVE_DIALOG g_saveDialog = nullptr;

INoteRequests& Requests() { return g_requests ? *g_requests : g_ondrelRequests; }

const UINT kTextDeleteQuestion = 151;
const UINT kTextReadOnlyQuestion = 1057;
const UINT kTextCopyName = 154;
const UINT kTextCopyNameCounted = 155;
const int kMostCopies = 10000;
// Windows CE's flag for the save dialog (the desktop reads it as OFN_ENABLESIZING).
const DWORD kSaveDialogFlags = 0x800000;

const size_t kLengthOffset = 408;
const size_t kVoiceBlock = 1046;
const BYTE kTrailer[18] = {0x82, 0x00, 0x09, 0x00, 0x03, 0x00, 0x82, 0x00};

BOOL Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

// folder\base.extension, with no dot when the extension is empty.
CString JoinPath(const CString& folder, const CString& base, const CString& extension) {
  CString path = folder;
  path += L'\\';
  path += base;
  if (!extension.IsEmpty()) {
    path += L'.';
    path += extension;
  }
  return path;
}

// Writes the bytes to a file made here; never over another file unless replace.
BOOL WriteNew(const CString& path, const std::vector<BYTE>& bytes, BOOL replace) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                    written == bytes.size());
  CloseHandle(file);
  if (!ok) DeleteFileW(path);
  return ok;
}

}  // namespace

INoteRequests* SetNoteRequests(INoteRequests* requests) {
  INoteRequests* previous = g_requests;
  g_requests = requests;
  return previous;
}

PFN_SAVE_DIALOG SetNoteSaveDialog(PFN_SAVE_DIALOG dialog) {
  PFN_SAVE_DIALOG previous = g_saveDialog;
  g_saveDialog = dialog;
  return previous;
}

CString MakeCopyTarget(const CNoteFile& note) {
  const CString extension = note.GetExtension();
  const CString first = ExpandNameTemplate(Text(kTextCopyName), note.name, 1);
  const CString counted = Text(kTextCopyNameCounted);
  // Without the texts there is no name to give a copy.
  if (first.IsEmpty() || counted.IsEmpty()) return CString();
  CString target = JoinPath(note.folderPath, first, extension);
  for (int counter = 2; Exists(target); ++counter) {
    if (counter > kMostCopies) return CString();
    target = JoinPath(note.folderPath, ExpandNameTemplate(counted, note.name, counter), extension);
  }
  return target;
}

CString CopyNote(const CNoteFile& note) {
  const CString target = MakeCopyTarget(note);
  // A file that appeared meanwhile is left alone: CopyFile refuses to overwrite.
  return !target.IsEmpty() && CopyFileW(note.fullPath, target, TRUE) ? target : CString();
}

CString SaveNoteAs(const CNoteFile& note, HWND owner) {
  WCHAR file[MAX_PATH] = {};
  const int length = note.fullPath.GetLength();
  if (length >= MAX_PATH) return CString();
  wmemcpy(file, note.fullPath, length + 1);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  // The user confirms replacing a file in the dialog itself.
  dialog.Flags = kSaveDialogFlags | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  const BOOL chosen = g_saveDialog ? g_saveDialog(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) return CString();
  file[MAX_PATH - 1] = 0;
  const CString target(file);
  if (target.IsEmpty()) return CString();
  // The note itself needs no copy.
  if (_wcsicmp(target, note.fullPath) == 0) return target;
  return CopyFileW(note.fullPath, target, FALSE) ? target : CString();
}

BOOL DeleteNote(const CNoteFile& note, HWND owner) {
  const UINT question = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
  if (ShowPanelMessage(owner, Text(kTextDeleteQuestion), note.name, question) != IDYES) return FALSE;
  const DWORD attributes = GetFileAttributesW(note.fullPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    if (ShowPanelMessage(owner, Text(kTextReadOnlyQuestion), note.name, question) != IDYES) return FALSE;
    SetFileAttributesW(note.fullPath, attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  return DeleteFileW(note.fullPath);
}

std::vector<BYTE> BuildInkFromVoice(const BYTE* inkTemplate, size_t templateSize, const BYTE* voice,
                                    size_t voiceSize) {
  std::vector<BYTE> out;
  if (!inkTemplate || templateSize < kLengthOffset + 4 || (!voice && voiceSize) || voiceSize > 0xFFFFFFFFu) return out;
  const DWORD n = static_cast<DWORD>(voiceSize);
  out.reserve(templateSize + kVoiceBlock + voiceSize + sizeof kTrailer);
  out.assign(inkTemplate, inkTemplate + templateSize);
  for (int i = 0; i < 4; ++i) out[kLengthOffset + i] = static_cast<BYTE>(n >> (8 * i));
  std::vector<BYTE> block(kVoiceBlock, 0);
  static const wchar_t kName[] = L"VoiceNote.wav";
  for (size_t i = 0; i < sizeof kName / sizeof kName[0]; ++i) {
    block[520 + 2 * i] = static_cast<BYTE>(kName[i] & 0xFF);
    block[520 + 2 * i + 1] = static_cast<BYTE>(kName[i] >> 8);
  }
  block[1040] = 0x55;
  block[1041] = static_cast<BYTE>((n >> 16) & 0xFF);
  block[1044] = static_cast<BYTE>(n & 0xFF);
  block[1045] = static_cast<BYTE>((n >> 8) & 0xFF);
  out.insert(out.end(), block.begin(), block.end());
  if (voiceSize) out.insert(out.end(), voice, voice + voiceSize);
  out.insert(out.end(), kTrailer, kTrailer + sizeof kTrailer);
  return out;
}

CString ConvertVoiceToInk(const CNoteFile& note, BOOL temporary) {
  DWORD templateSize = 0, voiceSize = 0;
  BYTE* inkTemplate = static_cast<BYTE*>(LoadResourceData(L"BINARY", MAKEINTRESOURCEW(130), &templateSize));
  BYTE* voice = inkTemplate ? static_cast<BYTE*>(ReadWholeFile(note.fullPath, &voiceSize)) : nullptr;
  std::vector<BYTE> ink;
  if (inkTemplate && voice) ink = BuildInkFromVoice(inkTemplate, templateSize, voice, voiceSize);
  if (inkTemplate) LocalFree(inkTemplate);
  if (voice) LocalFree(voice);
  if (ink.empty()) return CString();
  if (temporary) {
    WCHAR path[MAX_PATH] = {};
    if (!GetTempFileNameW(L"\\TEMP", L"DSN", 0, path)) return CString();
    // The empty file made for the name is ours to fill.
    if (WriteNew(path, ink, TRUE)) return CString(path);
    DeleteFileW(path);
    return CString();
  }
  CString target = JoinPath(note.folderPath, note.name, L"pwi");
  for (int counter = 1; counter <= kMostCopies; ++counter) {
    if (!Exists(target) && WriteNew(target, ink, FALSE)) return target;
    WCHAR suffix[24];
    swprintf(suffix, 24, L"(%d)", counter);
    target = JoinPath(note.folderPath, note.name + suffix, L"pwi");
  }
  return CString();
}

BOOL RunNoteCommand(CNoteFile* note, UINT command, HWND owner) {
  if (!note) return FALSE;
  switch (command) {
    case NOTE_CMD_OPEN:
    case NOTE_CMD_EDIT:
      Requests().OpenDocument(note->fullPath, note->type);
      return TRUE;
    case NOTE_CMD_DELETE:
      DeleteNote(*note, owner);
      return TRUE;
    case NOTE_CMD_COPY:
      CopyNote(*note);
      return TRUE;
    case NOTE_CMD_SAVE_AS:
      SaveNoteAs(*note, owner);
      return TRUE;
    case NOTE_CMD_TO_INK:
      if (note->type == NOTE_TYPE_VOICE) {
        const CString ink = ConvertVoiceToInk(*note, FALSE);
        if (!ink.IsEmpty()) Requests().OpenDocument(ink, NOTE_TYPE_INK);
      }
      return TRUE;
    default:
      break;
  }
  if (command >= NOTE_CMD_SEND_FIRST && command <= NOTE_CMD_SEND_LAST) {
    const int target = static_cast<int>(command - NOTE_CMD_SEND_FIRST);
    if (note->type != NOTE_TYPE_VOICE) {
      Requests().OpenItemByPath(note->fullPath, target, FALSE);
    } else {
      const CString ink = ConvertVoiceToInk(*note, TRUE);
      if (!ink.IsEmpty()) Requests().OpenItemByPath(ink, target, TRUE);
    }
    return TRUE;
  }
  Requests().OnDocListCommand(command, note->fullPath);
  return FALSE;
}
