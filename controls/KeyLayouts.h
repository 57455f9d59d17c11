// CKeyLayouts: the letter layouts of the phone-keypad letter bar. A layout says
// which letters each key group stands for ("abc", "def", ... in the built-in
// "Latin"); the layouts ship as text files in "layouts.zip" of the install folder
// (else its folder "layouts"), one file per layout named after it with ".txt".
// Each tab keeps its own list of chosen layouts and the active one under the
// product key. The library and the options program read the same files and the
// same values through this one class; the few reading rules in which the options
// program differs are switched on at its start (SetOptionsProgramRules).
//
// Layout file: UTF-16LE text beginning with the byte-order mark, then one
// direction character ('r' sets the flag), then groups "label(letters)" with
// nothing between them but blanks and nothing after the last ')'. The library
// trims blanks off both ends of label and letters; the options program removes
// every blank. A group with no label at all ("(abc)"), with no letters ("abc()"),
// a ")" before its "(" or a "(" inside its letters makes the whole file invalid.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "graphics/SkinArchive.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

struct CKeyGroup {
  // The options program calls it the keys text.
  CString label;
  CString letters;
};

class CKeyLayout {
 public:
  CKeyLayout() : m_direction(FALSE) {}
  CKeyLayout(const CKeyLayout&) = delete;
  CKeyLayout& operator=(const CKeyLayout&) = delete;

  // Set by a leading 'r': the letters run right to left.
  BOOL GetDirection() const { return m_direction; }
  int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
  const CKeyGroup& GetGroup(int index) const { return m_groups[size_t(index)]; }
  const CString& GetLabel(int index) const { return m_groups[size_t(index)].label; }
  const CString& GetLetters(int index) const { return m_groups[size_t(index)].letters; }

  // Parses the text after the byte-order mark (length characters; a NUL ends it
  // early) by the process's rules into layout, or only checks it when layout is
  // null. FALSE, with the reason when asked, leaves layout as it was.
  static BOOL Parse(LPCWSTR text, int length, CKeyLayout* layout, CString* reason = nullptr);

 private:
  BOOL m_direction;
  std::vector<CKeyGroup> m_groups;
};

typedef CSimpleValArray<CKeyLayout*> CKeyLayoutList;

class CKeyLayouts {
 public:
  // Layout files larger than this are refused unread.
  static constexpr DWORD kMaxFileSize = 64 * 1024;

  // The layouts of the install folder.
  CKeyLayouts();
  // The layouts of another folder's "layouts.zip", else of its folder "layouts".
  explicit CKeyLayouts(LPCWSTR folder);
  ~CKeyLayouts();
  CKeyLayouts(const CKeyLayouts&) = delete;
  CKeyLayouts& operator=(const CKeyLayouts&) = delete;

  // The process's one set: built on first use from the install folder, destroyed
  // at exit. Its layouts live as long as it does: bars hold them by address.
  static CKeyLayouts& Instance();

  // The options program's reading rules: group texts lose every blank (the
  // library trims them only at the ends), and a name asked for with loading that
  // was not listed at start is looked for in the source (the library refuses
  // it). Set once at program start.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL IsOptionsProgramRules();

  // The listed names, in the order the source gave them, "Latin" last when no
  // file gave it.
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  LPCWSTR GetName(int index) const;
  // The layout listed under exactly that name; with load, read from its file on
  // first use. Null for a name not listed or a file that no longer reads.
  CKeyLayout* GetLayout(LPCWSTR name, BOOL load);
  CKeyLayout* GetLatin() { return GetLayout(L"Latin", TRUE); }
  // The listed name of a layout; empty for a layout not held here.
  CString GetLayoutName(const CKeyLayout* layout) const;
  // The layout that folds accented letters onto the base letter of its label, for
  // text typed on a hardware keyboard: "HWKeysLayout.txt" of the source when it
  // reads, else the built-in one. Always held; load is kept for callers.
  CKeyLayout* GetHWKeysLayout(BOOL load = TRUE);

  // Reads "<name>.txt" of the source: with checkOnly only validates it, else
  // keeps it as the layout of the normalised name ("GREEK" -> "Greek"). A name
  // that validates is listed (where it was, when it already was); one that does
  // not is unlisted again when this call listed it. A layout already held is
  // kept as it is. FALSE without a source, for a missing, empty, unreadable or
  // invalid file, and for "HWKeysLayout".
  BOOL LoadLayout(LPCWSTR name, BOOL checkOnly);

  // A tab's chosen layouts from "<prefix>_layouts" (names joined by ',',
  // default "Latin") and "<prefix>_layout_active" (default 0, -1 for none). A
  // name that does not give a layout is dropped; each one dropped at or before
  // the active position moves the index down by one, never below 0, so the
  // index still names the layout it named, or the one before a dropped active
  // one. A negative stored index gives -1. The index may be past the end of the
  // list; callers check it.
  void LoadSelection(LPCWSTR prefix, CKeyLayoutList& layouts, int& active);
  // Writes the layouts' names joined by ',' and the index; FALSE when a write
  // failed.
  BOOL SaveSelection(const CKeyLayoutList& layouts, int active, LPCWSTR prefix);
  BOOL SaveActive(int active, LPCWSTR prefix);
  // The options program's names of the same operations.
  void LoadGroupLayouts(LPCWSTR group, CKeyLayoutList& layouts, int& active) {
    LoadSelection(group, layouts, active);
  }
  BOOL SaveGroupLayouts(LPCWSTR group, const CKeyLayoutList& layouts, int active) {
    return SaveSelection(layouts, active, group);
  }

  // Why files were left out, one line each ("Greek.txt: no byte-order mark");
  // each line also goes to the debugger output.
  const CSimpleArray<CString>& GetProblems() const { return m_problems; }
  // "Greek" from "GREEK", "greek" or "gReEk".
  static CString NormaliseName(LPCWSTR name);

 private:
  struct Entry {
    CString name;
    std::unique_ptr<CKeyLayout> layout;
  };

  void Build(const CString& zipPath, const CString& folderPath);
  void ListSource(std::vector<CString>& names);
  int Find(LPCWSTR name) const;
  // The whole file as text after its byte-order mark; FALSE with a logged reason.
  BOOL ReadText(LPCWSTR fileName, CString& text);
  void LogProblem(LPCWSTR fileName, LPCWSTR reason);

  CSkinArchive m_archive;
  std::vector<Entry> m_entries;
  std::unique_ptr<CKeyLayout> m_hwKeys;
  CSimpleArray<CString> m_problems;
};
