// Every way into the library from the Today screen, the tab host or another
// program (the exports, the window procedures, the registered-message handlers)
// runs through GuardedCall: a C++ exception stops at the boundary and the caller
// gets a harmless answer, so one failing operation never ends the host.
#pragma once

template <typename R, typename F>
R GuardedCall(R fallback, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}
