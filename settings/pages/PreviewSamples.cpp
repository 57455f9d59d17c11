#include "settings/pages/PreviewSamples.h"

#include <new>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/PagePreview.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/pages/PreviewGroupItem.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactListItem.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/NoteItem.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskRowRenderer.h"

namespace {
// The contact's field shown beside its name: a phone number.
const int kSampleContactField = 4;
}  // namespace

CAppointmentRecord* NewSampleAppointment(BOOL marks) {
  CAppointmentRecord* record = new (std::nothrow) CAppointmentRecord;
  if (!record) return nullptr;
  record->CRefObjectCounted();
  LoadTranslatedString(record->m_subject, IDS_PREVIEW_SUBJECT);
  LoadTranslatedString(record->m_location, IDS_PREVIEW_LOCATION);
  record->m_start = GetTodayDate() + 11.0 / 24;
  record->m_end = record->m_start + 1.0 / 24;
  if (marks) {
    record->m_busyStatus = 1;
    record->m_hasNotes = record->m_reminderSet = record->m_isRecurring = record->m_isMeeting = TRUE;
    record->m_isPrivate = 1;
  }
  return record;
}

TASK_ITEM* NewSampleTask() {
  TASK_ITEM* task = TASK_ITEM::New();
  if (!task) return nullptr;
  LoadTranslatedString(task->subject, IDS_SKIN_SAMPLE_TASK);
  task->start = GetTodayDate() + 1;
  task->due = GetTodayDate() + 2;
  task->importance = 1;
  task->complete = FALSE;
  task->hasNote = task->reminderSet = task->recurring = TRUE;
  task->privateValue = 1;
  return task;
}

CNoteFile* NewSampleNote(int index) {
  CNoteFile* note = CNoteFile::New();
  if (!note) return nullptr;
  const BOOL voice = index != 0;
  LoadTranslatedString(note->name, voice ? IDS_SAMPLE_NOTE_VOICE : IDS_SAMPLE_NOTE_INK);
  note->modified = GetNowVariantTime() - (voice ? 1 : 0);
  note->size = 21460;
  note->type = voice ? NOTE_TYPE_VOICE : NOTE_TYPE_INK;
  note->sizeValue = voice ? 3456 : note->size;
  note->onStorageCard = !voice;
  return note;
}

CListItem* NewSampleTaskRow() {
  TASK_ITEM* task = NewSampleTask();
  if (!task) return nullptr;
  CListItem* row = new (std::nothrow) CTaskRowRenderer(task, nullptr);
  task->Release();
  return row;
}

CListItem* NewSampleNoteRow(int index) {
  CNoteFile* note = NewSampleNote(index);
  if (!note) return nullptr;
  CNoteItem* row = new (std::nothrow) CNoteItem(note, nullptr);
  note->Release();
  if (!row) return nullptr;
  int dateWidth = 0, sizeWidth = 0;
  CNoteItem::MeasureColumns(&dateWidth, &sizeWidth);
  row->SetColumnWidths(dateWidth, sizeWidth);
  return row;
}

CListItem* NewSampleAppointmentRow(BOOL marks) {
  CAppointmentRecord* record = NewSampleAppointment(marks);
  if (!record) return nullptr;
  CListItem* row = new (std::nothrow) CCalendarPreview(record, FALSE, nullptr);
  record->Release();
  return row;
}

CListItem* NewSampleContactRow() {
  CONTACT_ITEM* contact = CONTACT_ITEM::Create();
  if (!contact) return nullptr;
  CString text;
  LoadTranslatedString(text, IDS_SAMPLE_CONTACT_FIRST);
  contact->m_firstName = text;
  LoadTranslatedString(text, IDS_SAMPLE_CONTACT_LAST);
  contact->m_lastName = text;
  LoadTranslatedString(text, IDS_SAMPLE_CONTACT_COMPANY);
  contact->m_company = text;
  LoadTranslatedString(text, IDS_SAMPLE_CONTACT_PHONE);
  contact->m_fields[kSampleContactField] = text;
  contact->m_defaultField = kSampleContactField;
  contact->m_hasNotes = TRUE;
  CListItem* row = new (std::nothrow) CContactListItem(contact, nullptr, FALSE);
  contact->Release();
  return row;
}

void SetGroupStyleSample(CPagePreview& preview) {
  const double day = GetTodayDate() + 2;
  CPreviewDateItem* dayHeader = new CPreviewDateItem(nullptr, day);
  dayHeader->SetDate(day);
  CPreviewGroupItem* group = new CPreviewGroupItem(nullptr, 1);
  preview.SetRows(group, dayHeader);
  group->SetDisplayCount(3);
  dayHeader->SetDisplayCount(0);
  group->SetState(TRUE, FALSE);
  dayHeader->SetState(TRUE, FALSE);
  preview.Layout();
}
