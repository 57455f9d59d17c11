#include "tabs/tasks/TaskItem.h"

#include <new>

TASK_ITEM* TASK_ITEM::New() {
  TASK_ITEM* item = new (std::nothrow) TASK_ITEM();
  if (item) item->CRefObjectCounted();
  return item;
}

TASK_ITEM* TASK_ITEM::NewCopy(const TASK_ITEM& other) {
  TASK_ITEM* item = New();
  if (item) item->CopyFrom(other);
  return item;
}

void TASK_ITEM::CopyFrom(const TASK_ITEM& other) {
  if (this == &other) return;
  subject = other.subject;
  start = other.start;
  due = other.due;
  importance = other.importance;
  reminderMinutes = other.reminderMinutes;
  reminderTime = other.reminderTime;
  complete = other.complete;
  hasNote = other.hasNote;
  reminderSet = other.reminderSet;
  recurring = other.recurring;
  privateValue = other.privateValue;
  itemOid = other.itemOid;
  recordOid = other.recordOid;
  piFlags = other.piFlags;
  categories = other.categories;
  iconName = other.iconName;
}
