// CTranslator: every user-interface text passes through it. Texts come by
// number from the resource library; the language file QelTarvo.txt (in the
// install folder) maps a source text to its translation, so one line of the
// file translates the same wording wherever it is shown. A missing language
// file is replaced by a template listing every text of the resources.
//
// Language file: UTF-16LE after the byte-order mark FF FE, else 8-bit text in
// the system code page. Lines "source|translation" end in CR, LF or a run of
// them; "\n" is LF, "\r" CR, and a backslash before any other character is
// that character ("\|" a bar that does not separate). Lines without '|' or
// with an empty side are ignored; a later line for a source wins.
#pragma once

#include "base/StringMap.h"
#include "platform/windowlib/String.h"

class CTranslator {
public:
  CTranslator() = default;
  CTranslator(const CTranslator&) = delete;
  CTranslator& operator=(const CTranslator&) = delete;
  virtual ~CTranslator() { Clear(); }

  // Creates the RT_DIALOG resource id of instance with a procedure that
  // handles nothing. Null when absent or when the dialog cannot be made.
  virtual HWND CreateDialogFromResource(HINSTANCE instance, UINT id, HWND parent);

  // The text of id from instance, translated when the table has a non-empty
  // translation; cut to the buffer and terminated. The length the buffer
  // holds, 0 when the id has no text.
  int LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int size);

  // The translation, or the text itself; "" for null or empty text.
  LPCWSTR Translate(LPCWSTR text) const;
  // The same into buffer (at most size - 1 characters and a terminator); the
  // number copied, 0 for a null buffer or a size below 1.
  int Translate(LPCWSTR text, LPWSTR buffer, int size) const;

  // The window's own text, then each direct child's text and the items of
  // child combo boxes. Texts are replaced only by non-empty translations.
  void TranslateDialog(HWND dialog);
  void TranslateWindowTree(HWND window) { TranslateDialog(window); }
  // TRUE when the text was replaced.
  BOOL TranslateWindowText(HWND window);
  // Replaces items that have a translation at their place, keeping their item
  // data and the selection.
  void TranslateComboBox(HWND combo);
  void TranslateComboItems(HWND combo) { TranslateComboBox(combo); }
  // Item texts with a translation, sub-menus included.
  void TranslateMenu(HMENU menu);

  // Empties the table, then loads path; a missing file gets the template
  // written in its place (the result is then the writer's). An empty file
  // loads nothing and succeeds; an unreadable one, or one of only the
  // byte-order mark, fails. Whatever the content, nothing but well-formed
  // lines enters the table.
  BOOL LoadTextFile(LPCWSTR path);
  // Writes a language file with every text of the module's dialogs (with
  // their companion type-240 data), menus and strings, each once, as
  // "text|" lines.
  BOOL WriteTemplate(LPCWSTR path);
  void Clear();

  // The module the template lists; null (the default) means the current
  // resource instance: the loaded resource library, where the texts live.
  HINSTANCE GetModule() const { return m_module; }
  void SetModule(HINSTANCE module) { m_module = module; }

  const CStringMap& GetMap() const { return m_map; }

private:
  void Parse(WCHAR* text, int length);

  WCHAR* m_text = nullptr;  // the decoded language file; the map points into it
  CStringMap m_map{10};
  HINSTANCE m_module = nullptr;
};

// The process's translator, made on first use.
CTranslator& GetTranslator();

// The text of id from the current resource instance through the translator
// (1024-character buffer). The length; 0 and empty when absent.
int LoadResString(CTranslator& translator, CString& out, UINT id);
int LoadTranslatedString(CString& out, UINT id);
inline int LoadUIString(CString& out, UINT id) { return LoadTranslatedString(out, id); }
// The text as a value: empty when there is none.
inline CString TranslatedText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

// Translated text (at most 1023 characters).
void TranslateText(LPCWSTR text, CString& out);
void TranslateText(CTranslator& translator, CString& out, LPCWSTR text);
// As CTranslator::Translate into a buffer, with the process's translator.
int TranslateTextTo(LPCWSTR text, LPWSTR buffer, int size);

// The caption of an in-memory dialog template (DLGTEMPLATE or DLGTEMPLATEEX),
// past its menu and class fields.
LPCWSTR GetDialogTemplateTitle(const void* dialogTemplate);
