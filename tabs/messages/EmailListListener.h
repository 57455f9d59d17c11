// What the views of the e-mail list hear: one message changed (both null, or the same
// blank item twice: rebuild everything), one added, one removed.
#pragma once
#include <windows.h>

struct EMAIL_ITEM;

class IEmailListListener {
 public:
  virtual void OnEmailChanged(EMAIL_ITEM* oldItem, EMAIL_ITEM* newItem) = 0;
  virtual void OnEmailAdded(EMAIL_ITEM* item) = 0;
  // The item is still referenced during the call and released right after it; flag 1.
  virtual void OnEmailDeleted(EMAIL_ITEM* item, int flag) = 0;

 protected:
  ~IEmailListListener() = default;
};
