// The mail preview: the body it shows for each kind of message (plain, HTML, stored MIME
// source, 8-bit bodies, text and multimedia messages, WebIS Mail's stored source, Palm
// messages), the tidying of bodies, charsets and the device's code page (read, never
// written), header rows and title-bar buttons, keys and menus of the body, and marking
// read on close after the configured delay.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/tests/MenuAnswer.h"
#include "platform/aygshell/aygshell.h"
#include "base/ZoomSettings.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/webismail/WebISMailWriter.h"
#include "platform/windowlib/Module.h"
#include "platform/richink/richink.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailBody.h"
#include "tabs/messages/MailPreviewWnd.h"
#include "tabs/messages/WebISMailSettings.h"
#include "tabs/messages/tests/MimeFixtures.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

using namespace mapitest;

namespace {

std::string ResourceText(int id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  if (!loaded) return std::string();
  return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

std::wstring Text(UINT id) {
  wchar_t buffer[512] = L"";
  LoadStringW(GetModule().GetResourceInstance(), id, buffer, 512);
  return buffer;
}

std::string Narrow(LPCWSTR text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

DWORD g_now = 0;
DWORD FakeTicks() { return g_now; }
std::vector<EMAIL_ITEM*> g_marked;
void RecordMarked(EMAIL_ITEM* item) { g_marked.push_back(item); }

// The owner of the popup: a hidden window that keeps the keys it is sent.
class COwner {
 public:
  COwner() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MailPreviewTestOwner";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320, nullptr, nullptr,
                          wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~COwner() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  std::vector<std::pair<UINT, WPARAM>> keys;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<COwner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_KEYDOWN || message == WM_KEYUP)) {
      self->keys.push_back({message, wParam});
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[1024] = L"";
  if (window) GetWindowTextW(window, buffer, 1024);
  return buffer;
}

// The body control's text as the user sees it (the rich edit keeps CR for CRLF).
std::wstring BodyText(HWND control) {
  GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
  const LRESULT chars = SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::wstring text(static_cast<size_t>(chars > 0 ? chars : 0) + 1, L'\0');
  GETTEXTEX get = {static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]));
  return text.c_str();
}

class MailPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The plug-in's start initialises COM on the Today screen's thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(resources_.Loaded());
    ASSERT_TRUE(machine_.Redirected());
    CRegistryView svc = machine_.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync");
    svc.WriteString(L"Name", L"ActiveSync");
    RemoveStores();
    ASSERT_TRUE(InstallStore(L"ActiveSync.mst", ResourceText(101)));
    ASSERT_TRUE(InstallStore(L"SMS.mst", ResourceText(102)));
    CMailPreviewWnd::SetTickSource(FakeTicks);
    CMailPreviewWnd::SetMarkRead(RecordMarked);
    g_marked.clear();
    g_now = 1000;
  }
  void TearDown() override {
    CMailPreviewWnd::SetTickSource(nullptr);
    CMailPreviewWnd::SetMarkRead(nullptr);
    for (EMAIL_ITEM* item : items_) item->Release();
    CoUninitialize();
  }
  EMAIL_ITEM* MapiItem(ULONGLONG id, const wchar_t* cls = L"IPM.Note", const wchar_t* sender = L"s@example.com") {
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    item->FillFromText(cls, 0, nullptr, L"", sender, L"listed subject", L"", 46000.5);
    const std::string entry = Entry(MAPI_MESSAGE, id);
    item->entryId.Assign(entry.data(), static_cast<DWORD>(entry.size()));
    items_.push_back(item);
    return item;
  }
  EMAIL_ITEM* PalmItem(const wchar_t* text, const wchar_t* cls = L"Palm.SMSText") {
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    item->FillFromText(cls, 7, nullptr, L"+15550100", L"+15550100", text, L"", 46000.5);
    item->sourceKind = kSourcePalm;
    item->webisId = 7;
    items_.push_back(item);
    return item;
  }
  std::unique_ptr<CMailPreviewWnd> Open(EMAIL_ITEM* item) {
    auto preview = std::make_unique<CMailPreviewWnd>();
    EXPECT_TRUE(preview->Create(owner_.hwnd(), POINT{4, 30}, L"Preview", item));
    Pump();
    return preview;
  }
  void Close(CMailPreviewWnd& preview) {
    SendMessageW(preview.m_hWnd, WM_CLOSE, 0, 0);
    Pump();
  }

  CResourceLibraryScope resources_;
  CLocalMachineSandbox machine_{L"MailPreviewTest"};
  COwner owner_;
  std::vector<EMAIL_ITEM*> items_;
};

TEST(MailBodyTest, BodiesAreTidiedForTheSmallScreen) {
  struct Case {
    const char* what;
    const wchar_t* text;
    BOOL html;
    const wchar_t* shown;
  } const cases[] = {
      {"two words apart", L"\r\n\r\n  one  \r\n\r\n\r\n  two  ", FALSE, L"one\r\n\r\ntwo"},
      {"indented lines, the last one ended", L"a\r\n   b\r\n\tc  \r\n", FALSE, L"a\r\nb\r\n\tc\r\n"},
      {"one break between lines stays one", L"a\r\nb", FALSE, L"a\r\nb"},
      {"empty", L"", FALSE, L""},
      {"only breaks and blanks", L" \r\n \r\n ", FALSE, L""},
      {"lone LF is no line break", L"a\nb  ", FALSE, L"a\nb"},
      {"html reduced first", L"<p>Hello</p><p>  there</p>", TRUE, L"Hello\r\nthere\r\n"},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.shown, NormaliseMailBody(c.text, c.html)) << c.what;
}

TEST(MailBodyTest, StoredMessagesGiveTheirFirstTextPart) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct Case {
    const char* what;
    std::string message;
    bool html;
    const wchar_t* starts;  // empty: nothing to show
  } const cases[] = {
      {"plain", fixtures::PlainText(), false, L""},
      {"alternative shows the plain part", fixtures::Alternative(), false, L""},
      {"html only", fixtures::HtmlOnly(), true, L""},
      {"subtype in capitals is not taken", fixtures::UpperCaseSubtype(), false, nullptr},
      {"latin-1 part", Crlf("Content-Type: text/plain; charset=iso-8859-1\n\ncaf\xe9\n"), false, L"caf\u00e9"},
      {"utf-8 part", Crlf("Content-Type: text/plain; charset=utf-8\n\n\xe2\x82\xac 5\n"), false, L"\u20ac 5"},
      {"koi8-r part", Crlf("Content-Type: text/plain; charset=koi8-r\n\n\xf0\xd2\xc9\xd7\xc5\xd4\n"), false,
       L"\u041f\u0440\u0438\u0432\u0435\u0442"},
      {"unknown charset as 1252", Crlf("Content-Type: text/plain; charset=x-unknown\n\n\x80 1\n"), false, L"\u20ac 1"},
      {"no text part", Crlf("Content-Type: image/gif\n\nGIF89a\n"), false, nullptr},
  };
  for (const Case& c : cases) {
    IStream* stream = MakeTestStream(c.message);
    CString body;
    BOOL html = FALSE;
    ReadMimeBody(stream, body, &html);
    stream->Release();
    if (!c.starts) {
      EXPECT_TRUE(body.IsEmpty()) << c.what;
      continue;
    }
    EXPECT_FALSE(body.IsEmpty()) << c.what;
    EXPECT_EQ(c.html, html != FALSE) << c.what;
    EXPECT_EQ(0, wcsncmp(body, c.starts, wcslen(c.starts))) << c.what << ": " << Narrow(body);
  }
  CoUninitialize();
}

// A part without charset is read in the device's code page: the system's setting is
// read, and a device without it is left without it.
TEST(MailBodyTest, PartsWithoutCharsetUseTheDeviceCodePageWhichIsOnlyRead) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CLocalMachineSandbox machine(L"MailBodyCodePage");
  ASSERT_TRUE(machine.Redirected());
  const std::string message = Crlf("Content-Type: text/plain\n\n\xcf\xf0\xe8\n");
  struct Case {
    DWORD codePage;  // 0: no setting
    const wchar_t* shown;
  } const cases[] = {{0, L"\u00cf\u00f0\u00e8"}, {1252, L"\u00cf\u00f0\u00e8"}, {1251, L"\u041f\u0440\u0438"}};
  for (const Case& c : cases) {
    machine.Key(L"nls").Delete();
    if (c.codePage) machine.Key(L"nls").WriteDWORD(L"DefaultACP", c.codePage);
    IStream* stream = MakeTestStream(message);
    CString body;
    ReadMimeBody(stream, body, nullptr);
    stream->Release();
    EXPECT_EQ(0, wcsncmp(body, c.shown, 3)) << c.codePage;
    EXPECT_EQ(c.codePage != 0, machine.Key(L"nls").Exists()) << c.codePage;
  }
  CoUninitialize();
}

TEST_F(MailPreviewTest, SampleMessagesShowTheirBodies) {
  struct Case {
    const char* what;
    ULONGLONG id;
    const wchar_t* cls;
    const wchar_t* subject;
    const wchar_t* body;  // the first characters shown
    bool html;
  } const cases[] = {
      {"plain body", 0x11001, L"IPM.Note", L"Lunch on Friday?", L"Hi,\r\rShall we try", false},
      {"html body reduced", 0x11002, L"IPM.Note", L"March newsletter", L"March at the library\rStory hour", true},
      {"stored MIME source, its plain part", 0x11003, L"IPM.Note", L"Photos from the weekend",
       L"Here is the one from the lake. The rest follow tomorrow.\rJonas", false},
      {"text message", 0x21001, L"IPM.SMStext", L"Running 10 min late, order for me please",
       L"Running 10 min late", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto preview = Open(MapiItem(c.id, c.cls));
    EXPECT_STREQ(c.subject, preview->GetSubjectText());
    EXPECT_EQ(c.html, preview->IsHtml() != FALSE);
    const std::wstring shown = BodyText(preview->GetBodyControl());
    EXPECT_EQ(0u, shown.find(c.body)) << Narrow(shown.c_str());
    EXPECT_STREQ(L"s@example.com", preview->GetSenderText());
    Close(*preview);
  }
}

TEST_F(MailPreviewTest, SpecialBodiesAndHeaderRows) {
  // Only the header on the device: the note follows the body.
  auto headerOnly = Open([&] {
    EMAIL_ITEM* item = MapiItem(0x11004);
    item->status = 0x100000;
    return item;
  }());
  EXPECT_NE(std::wstring::npos, std::wstring(headerOnly->GetBodyText()).find(L"[" + Text(IDS_MAIL_HEADER_ONLY) + L"]"));
  Close(*headerOnly);

  // A multimedia message from the messaging store is not opened.
  auto mms = Open(MapiItem(0x21004, L"IPM.MMS"));
  EXPECT_EQ(Text(IDS_MAIL_MMS_BODY), std::wstring(mms->GetBodyText()));
  Close(*mms);

  // A Palm text message shows its text as body and has no subject row.
  auto palm = Open(PalmItem(L"See you at eight"));
  EXPECT_STREQ(L"See you at eight", palm->GetBodyText());
  EXPECT_NE(nullptr, palm->GetHeaderValue(0));
  EXPECT_EQ(nullptr, palm->GetHeaderValue(1));
  EXPECT_NE(nullptr, palm->GetHeaderValue(2));
  EXPECT_EQ(L"+15550100", WindowText(palm->GetHeaderValue(0)));
  Close(*palm);

  // Sender, else recipient (labelled so), else the unknown text.
  struct Case {
    const wchar_t* sender;
    const wchar_t* recipient;
    std::wstring shown;
    UINT label;
  } const cases[] = {
      {L"from@example.com", L"to@example.com", L"from@example.com", IDS_MAIL_FROM},
      {L"", L"to@example.com", L"to@example.com", IDS_MAIL_TO},
      {L"", L"", Text(IDS_MAIL_NO_NAME), IDS_MAIL_FROM},
  };
  for (const Case& c : cases) {
    EMAIL_ITEM* item = MapiItem(0x11001, L"IPM.Note", c.sender);
    item->recipientText = c.recipient;
    auto preview = Open(item);
    EXPECT_EQ(c.shown, WindowText(preview->GetHeaderValue(0)));
    EXPECT_EQ(Text(c.label) + L":", WindowText(preview->GetHeaderLabel(0)));
    EXPECT_EQ(L"Lunch on Friday?", WindowText(preview->GetHeaderValue(1)));
    EXPECT_FALSE(WindowText(preview->GetHeaderValue(2)).empty());
    Close(*preview);
  }
}

TEST_F(MailPreviewTest, ToolButtonsFollowTheMessageKind) {
  struct Case {
    const char* what;
    bool palm;
    std::vector<UINT> commands;
  } const cases[] = {
      {"e-mail: the full set", false, {1001, 1003, 1421, 1423, 1422}},
      {"text message: call instead of reply all", true, {1001, 1003, 1421, 1426, 1422}},
  };
  for (const Case& c : cases) {
    auto preview = Open(c.palm ? PalmItem(L"hi") : MapiItem(0x11001));
    std::vector<UINT> commands;
    for (int i = 0; i < preview->GetToolButtonCount(); ++i) commands.push_back(preview->GetToolCommand(i));
    EXPECT_EQ(c.commands, commands) << c.what;
    Close(*preview);
  }
}

TEST_F(MailPreviewTest, ClosingMarksReadAfterTheConfiguredDelay) {
  CRegistryView product = machine_.Key(L"Software\\Korvel\\Qel Tarvo");
  struct Case {
    const char* what;
    DWORD seconds;  // 0xFFFFFFFF: not set
    DWORD openFor;  // milliseconds
    UINT button;    // 0: closed by WM_CLOSE alone
    bool webis;
    bool marked;
  } const cases[] = {
      {"default 1: at once", 0xFFFFFFFF, 0, 0, false, true},
      {"5 s, closed after 3 s", 5, 3000, 0, false, false},
      {"5 s, closed after 5 s", 5, 5000, 0, false, true},
      {"0: never", 0, 60000, 0, false, false},
      {"negative: never", 0x80000000, 60000, 0, false, false},
      {"a tool button marks an e-mail", 1, 0, 1003, false, true},
      {"a tool button of a WebIS Mail message leaves it to its program", 1, 0, 1003, true, false},
  };
  for (const Case& c : cases) {
    product.Delete();
    if (c.seconds != 0xFFFFFFFF) product.WriteDWORD(L"Messages_SetAsReadedPreview", c.seconds);
    g_marked.clear();
    EMAIL_ITEM* item = c.webis ? PalmItem(L"x") : MapiItem(0x11001);
    if (c.webis) item->sourceKind = kSourceWebIS;
    auto preview = Open(item);
    g_now += c.openFor;
    if (c.button) {
      for (int i = 0; i < preview->GetToolButtonCount(); ++i)
        if (preview->GetToolCommand(i) == c.button) preview->GetRoot().OnChildCommand(preview->GetToolButton(i), 0, 0);
      Pump();
      EXPECT_FALSE(IsWindow(preview->m_hWnd)) << c.what;
    } else {
      Close(*preview);
    }
    ASSERT_EQ(c.marked ? 1u : 0u, g_marked.size()) << c.what;
    if (c.marked) {
      EXPECT_EQ(item, g_marked[0]) << c.what;
    }
    if (c.seconds == 0xFFFFFFFF) {
      DWORD written = 0;
      EXPECT_TRUE(product.ReadDWORD(L"Messages_SetAsReadedPreview", written));  // the default is written back
      EXPECT_EQ(1u, written);
    }
  }
}

// A WebIS Mail reader that has stored sources: the messages other programs wrote.
class CStoredSources : public IWebISMailSource {
 public:
  BOOL LoadAccounts(HWND, IWebISMailListener*) override { return TRUE; }
  void CloseAccounts() override {}
  BOOL GetFirstMessage(LPCWSTR, int, EMAIL_ITEM*) override { return FALSE; }
  BOOL GetNextMessage(EMAIL_ITEM*) override { return FALSE; }
  IStream* GetMessageSource(LPCWSTR account, DWORD id) override {
    asked.push_back({account, id});
    return id && id <= sources.size() ? MakeTestStream(sources[id - 1]) : nullptr;
  }
  DWORD GetBuild() const override { return build; }
  BOOL HasTakenOverMailProgram() override { return takenOver; }
  std::vector<std::string> sources;
  std::vector<std::pair<std::wstring, DWORD>> asked;
  DWORD build = 993;
  BOOL takenOver = FALSE;
};

// WebIS Mail messages show their stored source, whichever program wrote the message;
// without a known build only delete is offered, as for other messages once WebIS Mail
// has taken over the system's mail program.
TEST_F(MailPreviewTest, WebISMailMessagesShowTheirStoredSource) {
  CStoredSources webis;
  webis.sources = fixtures::All();
  CMailPreviewWnd::SetWebISMail(&webis);
  for (DWORD build : {993u, 0u}) {
    webis.build = build;
    for (size_t i = 0; i < webis.sources.size(); ++i) {
      EMAIL_ITEM* item = EMAIL_ITEM::New();
      item->FillFromText(L"WebIs", 0, L"<id>", L"Sam", L"Ann", L"stored", L"", 46000);
      item->sourceKind = kSourceWebIS;
      item->accountName = L"web";
      item->webisId = static_cast<DWORD>(i + 1);
      items_.push_back(item);
      auto preview = Open(item);
      IStream* stream = MakeTestStream(webis.sources[i]);
      CString expected;
      BOOL html = FALSE;
      ReadMimeBody(stream, expected, &html);
      stream->Release();
      EXPECT_STREQ(NormaliseMailBody(expected, html), preview->GetBodyText()) << i;
      EXPECT_EQ(html, preview->IsHtml()) << i;
      std::vector<UINT> commands;
      for (int b = 0; b < preview->GetToolButtonCount(); ++b) commands.push_back(preview->GetToolCommand(b));
      const std::vector<UINT> offered =
          build ? std::vector<UINT>{1001, 1003, 1421, 1423, 1422} : std::vector<UINT>{1003};
      EXPECT_EQ(offered, commands);
      Close(*preview);
    }
  }
  ASSERT_FALSE(webis.asked.empty());
  EXPECT_EQ(L"web", webis.asked[0].first);
  EXPECT_EQ(1u, webis.asked[0].second);
  // A message of the messaging stores once WebIS Mail has taken over: delete only.
  webis.takenOver = TRUE;
  auto mapi = Open(MapiItem(0x11001));
  ASSERT_EQ(1, mapi->GetToolButtonCount());
  EXPECT_EQ(1003u, mapi->GetToolCommand(0));
  Close(*mapi);
  CMailPreviewWnd::SetWebISMail(nullptr);
}

// The same through WebIS Mail's own volume: the messages stored in chunks, read back by
// the reader the e-mail list uses.
TEST_F(MailPreviewTest, WebISMailVolumesGiveThePreviewTheirSources) {
  const std::wstring data = cedbtest::Root() + L"\\PreviewWebIS";
  const std::wstring volumePath = L"\\PreviewWebIS.vol";
  const std::vector<std::string> sources = fixtures::All();
  std::vector<CEOID> ids;
  CEOID inbox = 0;
  {
    webismail::CWebISMailVolume volume(volumePath);
    ASSERT_TRUE(volume.IsOpen());
    inbox = volume.AddFolder(0, 1, L"Inbox");
    for (const std::string& source : sources) {
      webismail::Message m;
      m.folder = inbox;
      m.subject = L"stored";
      m.from = L"Ann <ann@example.com>";
      ids.push_back(volume.AddMessage(m));
      volume.AddSource(ids.back(), source, 100);
    }
  }
  const char ini[] =
      "[SERVICE.1]\r\nStorage=web\r\nStorageName=Web\r\nStorageDBFileName=\\PreviewWebIS.vol\r\nServiceName=IMAP\r\n";
  for (DWORD build : {993u, 0u}) {
    webismail::Uninstall(data);  // a build 0 is a missing value
    ASSERT_TRUE(webismail::Install(L"\\Program Files\\WebIS", data, ini, build));
    CWebISMailSettings settings;
    ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
    CMailPreviewWnd::SetWebISMail(&settings);
    for (size_t i = 0; i < ids.size(); ++i) {
      EMAIL_ITEM* item = EMAIL_ITEM::New();
      settings.FindAccount(L"web")->ReadMessage(ids[i], item, nullptr);
      items_.push_back(item);
      auto preview = Open(item);
      IStream* stream = MakeTestStream(sources[i]);
      CString expected;
      BOOL html = FALSE;
      ReadMimeBody(stream, expected, &html);
      stream->Release();
      EXPECT_STREQ(NormaliseMailBody(expected, html), preview->GetBodyText()) << i;
      EXPECT_STREQ(L"Ann", preview->GetSenderText());
      std::vector<UINT> commands;
      for (int b = 0; b < preview->GetToolButtonCount(); ++b) commands.push_back(preview->GetToolCommand(b));
      const std::vector<UINT> offered =
          build ? std::vector<UINT>{1001, 1003, 1421, 1423, 1422} : std::vector<UINT>{1003};
      EXPECT_EQ(offered, commands);
      Close(*preview);
    }
    CMailPreviewWnd::SetWebISMail(nullptr);
  }
  webismail::Uninstall(data);
  DeleteFileW((cedbtest::Root() + volumePath).c_str());
}

TEST_F(MailPreviewTest, BodyKeysMenusAndTextSize) {
  auto preview = Open(MapiItem(0x11001));
  HWND body = preview->GetBodyControl();
  ASSERT_NE(nullptr, body);
  // Left, right, return and key 117 go to the owner; up and down page the body.
  for (WPARAM key : {WPARAM(VK_LEFT), WPARAM(VK_RIGHT), WPARAM(VK_RETURN), WPARAM(117)}) {
    SendMessageW(body, WM_KEYDOWN, key, 0);
    SendMessageW(body, WM_KEYUP, key, 0);
  }
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT},   {WM_KEYDOWN, VK_RIGHT}, {WM_KEYUP, VK_RIGHT},
      {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, 117},    {WM_KEYUP, 117}};
  EXPECT_EQ(expected, owner_.keys);
  owner_.keys.clear();
  SendMessageW(body, WM_KEYUP, VK_LEFT, 0);  // a key-up without its key-down stays here
  EXPECT_TRUE(owner_.keys.empty());
  SendMessageW(body, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_TRUE(owner_.keys.empty());

  // The context menu: editing greyed, copy only with a selection; select all chosen.
  {
    CMenuAnswer menu(40038);
    NMRGINFO info = {};
    info.hdr.hwndFrom = body;
    info.hdr.idFrom = CMailPreviewWnd::kBodyId;
    info.hdr.code = CMailPreviewWnd::kContextMenuCode;
    SendMessageW(preview->m_hWnd, WM_NOTIFY, CMailPreviewWnd::kBodyId, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(1, menu.shown);
    for (int id : {40024, 40026, 40029, 40032, 40035, 40038}) {
      auto entry = std::find_if(menu.items.begin(), menu.items.end(),
                                [id](const MenuEntry& item) { return item.id == id; });
      ASSERT_NE(entry, menu.items.end()) << id;
      EXPECT_EQ(id != 40038, entry->grayed) << id;
    }
  }
  CHARRANGE selection = {};
  SendMessageW(body, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(0, selection.cpMin);
  EXPECT_GT(selection.cpMax, 10);

  // A text size chosen is kept in the messages' row of the viewers' zoom setting.
  CRegistryView product = machine_.Key(L"Software\\Korvel\\Qel Tarvo");
  SendMessageW(body, WM_COMMAND, 1900, 0);
  EXPECT_EQ(0, CZoomSettings().GetZoomLevel(CZoomSettings::kMessages));
  SendMessageW(body, WM_COMMAND, 1903, 0);
  EXPECT_EQ(3, CZoomSettings().GetZoomLevel(CZoomSettings::kMessages));
  Close(*preview);
}

}  // namespace
