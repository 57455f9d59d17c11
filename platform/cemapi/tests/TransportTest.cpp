// The programs around the messaging library: the system mail program records the
// command lines it is started with, the stand-in transport takes what the inbox hands
// it, and cemapitool loads and dumps stores.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cemapi/StoreText.h"
#include "platform/cemapi/tests/MapiTestSupport.h"

using namespace mapitest;

namespace {

std::wstring LogPath(const wchar_t* name) { return Root() + L"\\Windows\\" + name; }

std::vector<std::wstring> LogLines(const wchar_t* name) {
  std::string bytes = ReadFileBytes(LogPath(name));
  std::vector<std::wstring> lines;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    std::wstring wide(line.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    lines.push_back(wide);
    at = end + 2;
  }
  return lines;
}

DWORD RunProgram(const std::wstring& application, std::wstring commandLine, HANDLE output = nullptr) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (output) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(),
                      commandLine.empty() ? nullptr : &commandLine[0], nullptr, nullptr, output != nullptr, 0,
                      nullptr, nullptr, &si, &pi))
    return 1000 + GetLastError();
  CloseHandle(pi.hThread);
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 999;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return code;
}

// Each command line the message operations give the mail program, started as the
// device starts it (the arguments alone) and as the desktop does (the program first).
TEST(MailProgramTest, RecordsTheArgumentsItWasStartedWith) {
  const std::wstring tmail = BinFile(L"tmail.exe");
  struct Case {
    std::wstring arguments;
    std::vector<std::wstring> parsed;  // as a program splits them
  } cases[] = {
      {L"-service \"Mail\"", {L"-service", L"Mail"}},
      {L"-sync", {L"-sync"}},
      {L"-service \"Mail\" -transport \"Mail\" -to \"\"", {L"-service", L"Mail", L"-transport", L"Mail", L"-to", L""}},
      {L"-to \"\"", {L"-to", L""}},
      {L"-service \"Mail\" -to \"\"", {L"-service", L"Mail", L"-to", L""}},
      {L"-new", {L"-new"}},
      {L"-to \"\\\"Ann Lee\\\" <ann@example.com>\"", {L"-to", L"\"Ann Lee\" <ann@example.com>"}},
      {L"-transport \"SMS\" -to \"\\\"Bob\\\" <+15550100>\"",
       {L"-transport", L"SMS", L"-to", L"\"Bob\" <+15550100>"}},
  };
  for (int style = 0; style < 2; ++style) {
    DeleteFileW(LogPath(L"tmail.log").c_str());
    for (const Case& c : cases) {
      DWORD code = style == 0 ? RunProgram(tmail, c.arguments) : RunProgram(L"", L"\"" + tmail + L"\" " + c.arguments);
      ASSERT_EQ(0u, code);
    }
    ASSERT_EQ(0u, RunProgram(tmail, L""));  // no arguments at all
    auto lines = LogLines(L"tmail.log");
    ASSERT_EQ(std::size(cases) + 1, lines.size());
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(cases[i].arguments, lines[i]);
      int argc = 0;
      LPWSTR* argv = CommandLineToArgvW((L"tmail " + lines[i]).c_str(), &argc);
      ASSERT_TRUE(argv);
      std::vector<std::wstring> parsed(argv + 1, argv + argc);
      LocalFree(argv);
      EXPECT_EQ(cases[i].parsed, parsed) << i;
    }
    EXPECT_EQ(L"", lines.back());
  }
}

class CCallback : public IMailSyncCallBack {
 public:
  explicit CCallback(bool answers) : answers_(answers) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!answers_ || (riid != IID_IUnknown && riid != IID_IMailSyncCallBack)) return E_NOINTERFACE;
    *out = this;
    ++refs;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE RequestSync(LPCWSTR, DWORD) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE Progress(LPCWSTR, void*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetGlobalSetting(int, void*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE DisplayMessageBox(LPCWSTR, LPCWSTR, UINT, int*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE RequestCredentials(LPCWSTR, void*, UINT) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE LogEvent(void*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AllocateMem(DWORD cb, LPBYTE* out) override {
    *out = static_cast<LPBYTE>(LocalAlloc(0, cb));
    ++allocated;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FreeMem(void* p) override {
    LocalFree(p);
    ++freed;
    return S_OK;
  }
  int refs = 1, allocated = 0, freed = 0;

 private:
  bool answers_;
};

TEST(MailTransportTest, FactoryMakesAHandlerThatTakesTheCallbackAndTheStore) {
  InstallFixture();
  DeleteFileW(LogPath(L"mailtransport.log").c_str());
  HMODULE library = LoadLibraryW(BinFile(L"mailtransport.dll").c_str());
  ASSERT_TRUE(library);
  auto factory = reinterpret_cast<ONESTOPFACTORYFUNC>(reinterpret_cast<void*>(GetProcAddress(library, "OneStopFactory")));
  ASSERT_TRUE(factory);
  IMailSyncHandler* handler = nullptr;
  EXPECT_EQ(E_INVALIDARG, factory(L"", &handler));
  ASSERT_EQ(S_OK, factory(L"ActiveSync", &handler));
  {
    CSessionHolder session;
    IMsgStore* store = Open<IMsgStore>(session.get(), Entry(MAPI_STORE, kMailStore));
    ASSERT_TRUE(store);
    CCallback refusing(false), callback(true);
    EXPECT_EQ(E_INVALIDARG, handler->Initialize(&refusing, L"dummy", store));
    ASSERT_EQ(S_OK, handler->Initialize(&callback, L"dummy", store));
    EXPECT_EQ(1, callback.allocated);
    EXPECT_EQ(1, callback.freed);
    EXPECT_EQ(1, callback.refs);  // what it took, it gave back
    ASSERT_EQ(S_OK, handler->ShutDown(0));
    store->Release();
  }
  EXPECT_EQ(0u, handler->Release());
  FreeLibrary(library);
  auto lines = LogLines(L"mailtransport.log");
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(L"Initialize transport=\"ActiveSync\" profile=\"dummy\" store=\"Mail\" memory=yes", lines[0]);
  EXPECT_EQ(L"ShutDown transport=\"ActiveSync\" reserved=0", lines[1]);
}

TEST(CeMapiToolTest, LoadsAStoreFromTextAndDumpsItBack) {
  RemoveStores();
  std::wstring textPath = Root() + L"\\sms.txt";
  ASSERT_TRUE(WriteFileBytes(textPath, kFixtureSms));
  const std::wstring tool = BinFile(L"cemapitool.exe");
  ASSERT_EQ(0u, RunProgram(L"", L"\"" + tool + L"\" load sms.mst \"" + textPath + L"\""));
  {
    CSessionHolder session;
    IMessage* m = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, kSmsText));
    ASSERT_TRUE(m);
    m->Release();
  }
  std::wstring dumpPath = Root() + L"\\dump.txt";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileW(dumpPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, out);
  EXPECT_EQ(0u, RunProgram(L"", L"\"" + tool + L"\" dump sms.mst", out));
  CloseHandle(out);
  StoreRecord record;
  std::string error;
  ASSERT_TRUE(CStoreText::Parse(kFixtureSms, record, error));
  EXPECT_EQ(CStoreText::Format(record), ReadFileBytes(dumpPath));

  // Bad text is refused and no store file is made.
  ASSERT_TRUE(WriteFileBytes(textPath, "store 1\nfolder 2\nbogus\n"));
  EXPECT_EQ(2u, RunProgram(L"", L"\"" + tool + L"\" load bad.mst \"" + textPath + L"\""));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(StorePath(L"bad.mst").c_str()));
}

class CNewMailSink : public IMAPIAdviseSink {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  ULONG STDMETHODCALLTYPE OnNotify(ULONG count, LPNOTIFICATION n) override {
    EnterCriticalSection(&lock_);
    for (ULONG i = 0; i < count; ++i) {
      if (n[i].ulEventType == fnevNewMail) {
        const NEWMAIL_NOTIFICATION& m = n[i].info.newmail;
        events_.push_back({n[i].ulEventType, std::string(reinterpret_cast<char*>(m.lpEntryID), m.cbEntryID),
                           std::string(reinterpret_cast<char*>(m.lpParentID), m.cbParentID)});
      } else {
        const OBJECT_NOTIFICATION& o = n[i].info.obj;
        events_.push_back({n[i].ulEventType, std::string(reinterpret_cast<char*>(o.lpEntryID), o.cbEntryID),
                           std::string(reinterpret_cast<char*>(o.lpParentID), o.cbParentID)});
      }
    }
    LeaveCriticalSection(&lock_);
    return 0;
  }
  struct Event {
    ULONG type;
    std::string id, parent;
  };
  std::vector<Event> Events() {
    EnterCriticalSection(&lock_);
    auto copy = events_;
    LeaveCriticalSection(&lock_);
    return copy;
  }
  CNewMailSink() { InitializeCriticalSection(&lock_); }
  ~CNewMailSink() { DeleteCriticalSection(&lock_); }

 private:
  CRITICAL_SECTION lock_;
  std::vector<Event> events_;
};

TEST(CeMapiToolTest, DeliveredMessagesAreHeardAsNewMailAndCreated) {
  InstallFixture();
  CSessionHolder session;
  CNewMailSink sink;
  ULONG connection = 0;
  ASSERT_EQ(S_OK, session->Advise(0, nullptr, fnevNewMail | fnevObjectCreated, &sink, &connection));
  std::wstring textPath = Root() + L"\\new.txt";
  ASSERT_TRUE(WriteFileBytes(textPath, "message 000000000000D0A1 folder 000000000000C102\n"
                                   "  PR_SUBJECT_W = \"Hi\"\n  PR_MESSAGE_CLASS_W = \"IPM.SMStext\"\n"));
  const std::wstring tool = BinFile(L"cemapitool.exe");
  ASSERT_EQ(0u, RunProgram(L"", L"\"" + tool + L"\" deliver sms.mst \"" + textPath + L"\""));
  ASSERT_TRUE(PumpUntil([&] { return sink.Events().size() >= 2; }));
  auto events = sink.Events();
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(fnevNewMail, events[0].type);
  EXPECT_EQ(fnevObjectCreated, events[1].type);
  for (const auto& e : events) {
    EXPECT_EQ(Entry(MAPI_MESSAGE, 0xD0A1), e.id);
    EXPECT_EQ(Entry(MAPI_FOLDER, kSmsInbox), e.parent);
  }
  IMessage* m = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, 0xD0A1));
  ASSERT_TRUE(m);
  m->Release();
  // A taken id, or a folder, is refused and changes nothing.
  EXPECT_EQ(2u, RunProgram(L"", L"\"" + tool + L"\" deliver sms.mst \"" + textPath + L"\""));
  ASSERT_TRUE(WriteFileBytes(textPath, "folder 1 parent 000000000000C101\n"));
  EXPECT_EQ(2u, RunProgram(L"", L"\"" + tool + L"\" deliver sms.mst \"" + textPath + L"\""));
  session->Unadvise(connection);
}

}  // namespace
