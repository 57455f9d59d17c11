// Test helper: a plain array of tasks as a task source, for queries, strategies and the
// tab without a store.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskSource.h"

namespace tasktest {

class CTaskArray : public ITaskSource {
 public:
  ~CTaskArray() override {
    for (TASK_ITEM* t : tasks) t->Release();
  }
  BOOL EnsureLoaded(TASK_ITEM** first, BOOL includeCompleted, double date) override {
    ++loads;
    this->includeCompleted = includeCompleted;
    this->date = date;
    if (first) *first = tasks.empty() ? nullptr : tasks[0];
    return !tasks.empty();
  }
  int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
  TASK_ITEM* GetTaskAt(int index) const override { return tasks[index]; }
  // Each task gets an item identifier of its own.
  TASK_ITEM* Add(const wchar_t* subject, double start, double due, int importance = 0, BOOL complete = FALSE,
                 std::initializer_list<int> categories = {}, int privateValue = 0) {
    TASK_ITEM* t = TASK_ITEM::New();
    t->subject = subject;
    t->start = start;
    t->due = due;
    t->importance = importance;
    t->complete = complete;
    t->privateValue = privateValue;
    t->itemOid = 0x1000 + m_next++;
    for (int c : categories) t->categories.Set(c);
    tasks.push_back(t);
    return t;
  }
  // Takes the task out of the array; the caller's reference is its last.
  void Remove(TASK_ITEM* t) {
    for (size_t i = 0; i < tasks.size(); ++i)
      if (tasks[i] == t) {
        tasks.erase(tasks.begin() + static_cast<long>(i));
        return;
      }
  }

  std::vector<TASK_ITEM*> tasks;
  int loads = 0;
  BOOL includeCompleted = -1;
  double date = -1;

 private:
  DWORD m_next = 0;
};

}  // namespace tasktest
