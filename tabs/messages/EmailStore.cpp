#include "tabs/messages/EmailStore.h"

#include "pim/SystemUtils.h"
#include "tabs/messages/EmailItem.h"

EMAIL_STORE::EMAIL_STORE(LPCWSTR nameText, LPCWSTR display, LPCWSTR serviceText)
    : name(nameText), displayName(display), service(serviceText) {
  if (displayName.IsEmpty()) displayName = GetInboxServiceFriendlyName(name);
}

EMAIL_STORE::~EMAIL_STORE() {
  ReleaseMessages();
  if (folder) folder->Release();
  if (store) store->Release();
}

void EMAIL_STORE::ReleaseMessages() {
  for (EMAIL_ITEM* item : messages) item->Release();
  messages.clear();
  unreadCount = 0;
  cursor = 0;
}
