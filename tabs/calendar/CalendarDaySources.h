// ICalendarDaySources: what the Calendar's day list shows beside appointments and
// contact events, made by the tabs that own those rows: task rows, the unread e-mail
// group and the scheduled money transactions. The defaults make nothing, so a
// source that is not there leaves its rows and groups out.
#pragma once
#include <windows.h>

#include <vector>

class CListItem;
class IListItemOwner;
struct TASK_ITEM;

class ICalendarDaySources {
 public:
  virtual ~ICalendarDaySources() = default;
  // A task row; null leaves the task out.
  virtual CListItem* MakeTaskRow(TASK_ITEM* /*task*/, IListItemOwner* /*owner*/, BOOL /*hideDate*/,
                                 BOOL /*noStateColouring*/) {
    return nullptr;
  }
  // One account row per account name with unread messages, made with owner and
  // appended to rows; *messages and *unread get the totals of the accounts read.
  virtual void MakeEmailRows(IListItemOwner* /*owner*/, std::vector<CListItem*>& /*rows*/, int* messages,
                             int* unread) {
    *messages = *unread = 0;
  }
  // The scheduled transactions of [from, to): their count after the range is set.
  virtual int SetTransactionRange(double /*from*/, double /*to*/) { return 0; }
  // The whole day of transaction index (in list order), and its row (null: left out).
  virtual double GetTransactionDay(int /*index*/) { return 0; }
  virtual CListItem* MakeTransactionRow(int /*index*/, IListItemOwner* /*owner*/) { return nullptr; }
};

// The sources without any rows.
ICalendarDaySources& GetNullDaySources();
