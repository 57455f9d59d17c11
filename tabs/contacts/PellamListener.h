// Views of the scheduled transactions hear that the finance program changed them.
#pragma once

class IPellamListener {
 public:
  virtual ~IPellamListener() = default;
  // The transactions were dropped; the next GetFirst reads them again.
  virtual void OnPellamChanged() = 0;
};
