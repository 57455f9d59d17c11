// Views of the contacts list hear of its changes in this order of operations.
#pragma once

class CONTACT_ITEM;

class IContactsListener {
 public:
  virtual ~IContactsListener() = default;
  // Both null after a full reload (the list must be read again).
  virtual void OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) = 0;
  virtual void OnContactAdded(CONTACT_ITEM* contact, int count) = 0;
  virtual void OnContactRemoved(CONTACT_ITEM* contact, int count) = 0;
};
