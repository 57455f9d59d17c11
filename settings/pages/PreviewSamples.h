// The sample records the options pages' previews show: each counted, one reference
// held by the caller, or null when out of memory.
#pragma once
#include <windows.h>

class CAppointmentRecord;
class CListItem;
class CPagePreview;
class CNoteFile;
struct TASK_ITEM;

// Today 11:00 to 12:00, subject 32810, location 32811; with marks, also tentative
// with a note, a reminder, a recurrence, a meeting and private (the calendar pages').
CAppointmentRecord* NewSampleAppointment(BOOL marks);
// Subject 32814, starting tomorrow, due the day after, high importance, not complete,
// with a note, a reminder, a recurrence and private, so every icon letter shows.
TASK_ITEM* NewSampleTask();
// The notes pages' two samples, 21,460 bytes and 3,456 ms: index 0 an ink note named
// by text 176 dated now, its second icon; index 1 a voice note named by text 177 dated
// a day earlier.
CNoteFile* NewSampleNote(int index);

// The Tasks tab's row over a new sample task (the row holds the task), or null.
CListItem* NewSampleTaskRow();
// The Notes tab's row over sample note index, its columns measured, or null.
CListItem* NewSampleNoteRow(int index);
// The calendar pages' row over a new sample appointment, or null.
CListItem* NewSampleAppointmentRow(BOOL marks);
// The Contacts tab's row over a new sample contact (names, company and a phone number
// from texts 32807, 32808, 32827 and 32809, with notes), or null.
CListItem* NewSampleContactRow();
// The group style page's sample headers into preview, laid out: a group of three
// items, then the day after tomorrow with none (so hiding empty counts shows), both
// folded.
void SetGroupStyleSample(CPagePreview& preview);
