// The full stores the benchmarks load, written through the stand-ins as the device's
// programs write them: appointments (some of them recurring), contacts, tasks and one
// mailbox of messages. Each benchmark that reads a store fills it with these, so the
// figures of the list benchmarks and of the start-up benchmark speak of the same data.
#pragma once
#include <cstdio>
#include <string>

#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/StoreText.h"
#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/Recurrence.h"

namespace bench {

// count appointments spread over two years around the day centre (a variant date), a
// few of them in any one week, between 8:00 and 18:00; every (count / series)th
// recurs, daily or weekly.
inline bool FillAppointments(CPimStore& store, double centre, int count, int series) {
  const int every = series > 0 ? count / series : 0;
  for (int i = 0; i < count; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    const bool recurring = every > 0 && i % every == 0;
    const double start = centre - 365 + (i * 7919) % 730 + (8 + i % 10) / 24.0;
    f[kSubject].present = true;
    f[kSubject].text = L"Appointment " + std::to_wstring(i);
    f[kLocation].present = true;
    f[kLocation].text = L"Room " + std::to_wstring(i % 40);
    f[kStart].present = true;
    f[kStart].number = start;
    f[kDuration].present = true;
    f[kDuration].number = 30 + 15 * (i % 5);
    f[kBusyStatus].present = true;
    f[kBusyStatus].number = i % 4;
    f[kAllDay].present = true;
    f[kAllDay].number = 0;
    f[kRecurring].present = true;
    f[kRecurring].number = recurring ? 1 : 0;
    if (recurring) {
      CRecurrence pattern;
      pattern.type = (i / 50) % 2;  // daily or weekly
      pattern.interval = 1;
      pattern.dayOfWeekMask = 1 << (i % 7);
      const DWORD minutes = CRecurrence::DateToMinutes(start);
      pattern.startDay = minutes - minutes % 1440;
      pattern.startOffset = minutes % 1440;
      pattern.duration = static_cast<DWORD>(f[kDuration].number);
      f[kRecurrence].present = true;
      f[kRecurrence].blob = pattern.Encode();
    }
    if (!store.Write(PimKind::Appointment, &record)) return false;
  }
  return true;
}

// count contacts: a mobile number each, a company for every fourth, a birthday for a
// third, an anniversary for a tenth.
inline bool FillContacts(CPimStore& store, int count) {
  const wchar_t* firsts[] = {L"Ann", L"Bob", L"Cy", L"Di", L"Eve", L"Fay", L"Gus", L"Hal"};
  for (int i = 0; i < count; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    f[kFirstName].present = true;
    f[kFirstName].text = firsts[i % 8];
    f[kLastName].present = true;
    f[kLastName].text = L"Person " + std::to_wstring(i);
    f[kFileAs].present = true;
    f[kFileAs].text = f[kLastName].text + L", " + f[kFirstName].text;
    f[kCompany].present = i % 4 == 0;
    f[kCompany].text = L"Company " + std::to_wstring(i % 50);
    f[kMobile].present = true;
    f[kMobile].text = L"555-" + std::to_wstring(1000 + i);
    if (i % 3 == 0) {
      f[kBirthday].present = true;
      f[kBirthday].number = 20000 + (i * 7919) % 20000;
    }
    if (i % 10 == 0) {
      f[kAnniversary].present = true;
      f[kAnniversary].number = 30000 + (i * 104729) % 15000;
    }
    if (!store.Write(PimKind::Contact, &record)) return false;
  }
  return true;
}

// count tasks of every importance, a fifth of them complete, half of them with a start
// and a due date around today.
inline bool FillTasks(CPimStore& store, double today, int count) {
  for (int i = 0; i < count; ++i) {
    PimRecord record;
    PimValue* f = record.fields;
    f[kSubject].present = true;
    f[kSubject].text = L"Task " + std::to_wstring(i);
    f[kImportance].present = true;
    f[kImportance].number = i % 3;
    f[kComplete].present = true;
    f[kComplete].number = i % 5 == 0;
    if (i % 2 == 0) {
      f[kTaskStart].present = true;
      f[kTaskStart].number = today - 30 + i % 40;
      f[kTaskDue].present = true;
      f[kTaskDue].number = today - 20 + i % 60;
    }
    if (!store.Write(PimKind::Task, &record)) return false;
  }
  return true;
}

// The inbox of the message store "Bench.mst" (transport "BenchMail"), folder id 0xE002.
constexpr ULONGLONG kBenchInbox = 0xE002;

// count messages in the inbox, a tenth of them text messages, a third unread.
inline bool FillMessages(int count) {
  std::string text =
      "store 000000000000E000\n  PR_DISPLAY_NAME_W = \"Bench\"\n  PR_CE_TRANSPORT_NAME_W = \"BenchMail\"\n"
      "folder 000000000000E001\n  PR_DISPLAY_NAME_W = \"Bench\"\n"
      "folder 000000000000E002 parent 000000000000E001 role inbox\n  PR_DISPLAY_NAME_W = \"Inbox\"\n";
  char line[512];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line,
                  "message %016llX folder 000000000000E002\n"
                  "  PR_SUBJECT_W = \"Message number %d about the weekly plan\"\n"
                  "  PR_SENDER_NAME_W = \"Sender %d\"\n"
                  "  PR_SENDER_EMAIL_ADDRESS_W = \"sender%d@example.com\"\n"
                  "  PR_MESSAGE_CLASS_W = \"%s\"\n"
                  "  PR_MESSAGE_FLAGS = %d\n"
                  "  PR_MESSAGE_DELIVERY_TIME = 2026-%02d-%02d %02d:%02d:00\n"
                  "  PR_MESSAGE_SIZE = %d\n"
                  "  PR_BODY_W = \"Short body of message %d.\"\n",
                  0x100000ULL + i, i, i % 300, i % 300, i % 10 == 0 ? "IPM.SMStext" : "IPM.Note", i % 3 == 0,
                  1 + i % 12, 1 + i % 28, i % 24, i % 60, 500 + i % 50000, i);
    text += line;
  }
  StoreRecord record;
  std::string error;
  if (!CStoreText::Parse(text, record, error)) {
    std::printf("store text: %s\n", error.c_str());
    return false;
  }
  CStoreSet& set = CStoreSet::Instance();
  CStoreSet::Guard guard(set);
  return SUCCEEDED(set.Install(L"Bench.mst", record, error));
}

}  // namespace bench
