// Told by the tasks list what changed in "Tasks Database".
#pragma once

struct TASK_ITEM;

class ITasksListener {
 public:
  virtual ~ITasksListener() = default;
  // The task and a copy of its previous values; both null after a full reload.
  virtual void OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) = 0;
  virtual void OnTaskAdded(TASK_ITEM* task, int count) = 0;
  virtual void OnTaskRemoved(TASK_ITEM* task, int count) = 0;
  // Not called by the list.
  virtual void OnTasksOther() {}
};
