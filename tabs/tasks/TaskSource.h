// What a task query reads: the tasks list, or in tests a plain array.
#pragma once
#include <windows.h>

struct TASK_ITEM;

class ITaskSource {
 public:
  virtual ~ITaskSource() = default;
  // Loads what is asked for (completed tasks too, and from which due date); rewinds.
  virtual BOOL EnsureLoaded(TASK_ITEM** first, BOOL includeCompleted, double date) = 0;
  virtual int GetTaskCount() const = 0;
  virtual TASK_ITEM* GetTaskAt(int index) const = 0;
};
