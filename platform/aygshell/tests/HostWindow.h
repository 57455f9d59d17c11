// A top-level window that records what it is sent, and a message pump with a deadline.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace aygtest {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class HostWindow {
 public:
  // A plain overlapped window at the given screen rectangle, shown without activation.
  explicit HostWindow(RECT at = {0, 0, 240, 320}, DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  const std::vector<Received>& received() const { return received_; }
  // The messages of one kind, in arrival order.
  std::vector<Received> Of(UINT message) const;
  void Clear() { received_.clear(); }
  // Answer to WM_NOTIFY (default 0); the NMHDR copies are kept in notes().
  LRESULT notifyAnswer = 0;
  std::vector<NMHDR> notes;
  std::vector<POINT> notePoints;  // NMRGINFO.ptAction of GN_CONTEXTMENU notes

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  std::vector<Received> received_;
};

// A menu bar for parent made from the fixture's plain menu; null when it fails.
HWND MakePlainMenuBar(HWND parent);

// Dispatches this thread's messages until done() holds or two seconds pass.
bool PumpUntil(const std::function<bool()>& done);
// Dispatches what is queued now.
void PumpPending();

}  // namespace aygtest
