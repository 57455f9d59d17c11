// Identifiers of the texts, dialog templates, menus, icons and bitmaps held by
// TarvoRes.Dll. The numbers are fixed: programs load these by number, and the
// language file QelTarvo.txt translates the texts behind them. README.md lists
// which feature uses each.
#pragma once

// Texts
#define IDS_NO_DATE 144
#define IDS_SETTINGS 15
#define IDS_CLEAR 274
#define IDS_COMPLETED 119
// Any non-empty text: the panel loads it to tell that the library is still there.
#define IDS_RESOURCES_PRESENT 61
#define IDS_ITEM_NOT_CREATED 214

// Small icons
#define IDI_ARROW_RIGHT 111
#define IDI_ARROW_DOWN 112
#define IDI_DROP_DOWN 120
#define IDI_SIGN_COLLAPSED 121
#define IDI_SIGN_OPEN 122

// Bitmaps: the scroll-bar strips a skin's "scrollbar.bmp" / "scrollbar_vga.bmp" replace
#define IDB_SCROLLBAR 129
#define IDB_SCROLLBAR_VGA 142

// Dialog templates
#define IDD_FILTER_EDIT 124

// Controls of IDD_FILTER_EDIT
#define IDC_FILTER_NAME 1000
#define IDC_FILTER_DELETE 1002
#define IDC_FILTER_MARK_ALL 1003
#define IDC_FILTER_CLEAR_ALL 1004
#define IDC_FILTER_MATCH_ANY 1005
#define IDC_FILTER_MATCH_ALL 1006
#define IDC_FILTER_EXCLUDE 1007
#define IDC_FILTER_CATEGORIES 1008

// Reminder interval units (minutes, hours, days, weeks in this order of unit index:
// 139, 140, 142, 141)
#define IDS_UNIT_MINUTES 139
#define IDS_UNIT_HOURS 140
#define IDS_UNIT_WEEKS 141
#define IDS_UNIT_DAYS 142

// Scrolling dialogs and small edit dialogs
#define IDD_DATE_EDIT 135
#define IDD_VALUE_ENTRY 137
#define IDD_TREE_CHOOSER 154
#define IDD_FOLDER_BROWSE 220
// Their type-240 companion data carries the dialog's number
#define IDR_TREE_CHOOSER_DATA 154
#define IDR_FOLDER_BROWSE_DATA 220
// Menu bars (plain menus, top-level items become buttons)
#define IDM_CHOOSER_BAR 125
#define IDM_FOLDER_BAR 203

// Controls of IDD_DATE_EDIT
#define IDC_REMINDER_ON 1007
#define IDC_REMINDER_DATE 1011
#define IDC_REMINDER_TIME 1012
#define IDC_START_DATE 1013
#define IDC_HALF_HOURS 1014
#define IDC_DUE_DATE 1015
// Controls of IDD_VALUE_ENTRY
#define IDC_VALUE_COUNT 1020
#define IDC_VALUE_UNIT 1021
#define IDC_VALUE_ON 1022
// Control of IDD_TREE_CHOOSER
#define IDC_CHOOSER_TREE 1040

// The options program: title, settings file texts, section sheet menu bars
#define IDS_SETTINGS_TITLE 32838
#define IDR_SETTINGS_ACCELERATORS 32838
#define IDS_SETTINGS_FILE_TYPE 174
#define IDS_SETTINGS_FILE_NAME 175
#define IDS_IMPORT_SETTINGS_QUESTION 40017
// Menu bars 125 and 203 serve the options program's sheets as well: one menu each.
#define IDM_SHEET_MENU_BAR IDM_CHOOSER_BAR
#define IDM_TASKS_SHEET_MENU_BAR IDM_FOLDER_BAR
#define IDM_SETTINGS_EXPORT 40019
#define IDM_SETTINGS_IMPORT 40020

// ---------------------------------------------------------------------------
// The options program's main window, section sheets, pages and small dialogs.
// Section names (list items of the main window, in section order)
#define IDS_SECTION_GENERAL 32788
#define IDS_SECTION_CALENDAR 171
#define IDS_SECTION_TASKS 72
#define IDS_SECTION_CONTACTS 173
#define IDS_SECTION_NOTES 172
#define IDS_SECTION_MESSAGES 40018
#define IDS_SECTION_SPECIAL_EVENTS 254
#define IDS_SECTION_CATEGORY_ICONS 32792
#define IDS_SECTION_TABS 315
// Section icons (the General section uses the generic icon 128)
#define IDI_SECTION_GENERAL 128
#define IDI_SECTION_CALENDAR 102
#define IDI_SECTION_TASKS 103
#define IDI_SECTION_CONTACTS 105
#define IDI_SECTION_NOTES 117
#define IDI_SECTION_MESSAGES 126
#define IDI_SECTION_SPECIAL_EVENTS 150
#define IDI_SECTION_CATEGORY_ICONS 215
#define IDI_SECTION_TABS 161
// The main window's menu bar and the About box
#define IDM_SETTINGS_MAIN_BAR 128
#define IDM_SETTINGS_ABOUT 57664
#define IDM_SETTINGS_CLOSE 57665
#define IDD_SETTINGS_ABOUT 100
#define IDC_ABOUT_VERSION 1018
#define IDS_ABOUT_VERSION 32783
// Section sheet captions
#define IDS_SHEET_GENERAL 32822
#define IDS_SHEET_CALENDAR 32821
#define IDS_SHEET_TASKS 32820
#define IDS_SHEET_CONTACTS 32823
#define IDS_SHEET_NOTES 32835
#define IDS_SHEET_MESSAGES 215
#define IDS_SHEET_SPECIAL_EVENTS 255
#define IDS_SHEET_TABS 314
// Page texts
#define IDS_SKIN_LOAD_FAILED 233
#define IDS_ROW_CATEGORIES 10
#define IDS_ROW_PRIVATE 91
#define IDS_ROW_NOTE 32797
#define IDS_ROW_RECURS 32798
#define IDS_ROW_REMINDER 32799
#define IDS_ROW_ATTENDEES 32801
#define IDS_ROW_IMPORTANCE 32804
// The text-entry dialog
#define IDD_TEXT_ENTRY 509
#define IDC_TEXT_ENTRY_COMBO 1044

// The icon-set chooser: dialog, its companion data and its menu bar share 219.
#define IDD_ICON_SETS 219
#define IDR_ICON_SETS_DATA 219
#define IDM_ICON_SETS_BAR 219
#define IDS_ICON_SETS_BUTTON 32793
#define IDS_ICON_SETS_ADD_FOLDER 32794
#define IDS_ICON_SETS_CHOOSE_FOLDER 32795
#define IDS_ICON_SETS_ALL 32796

// The options program's font page.
#define IDS_FONT_SMOOTHING_STANDARD 202
#define IDS_FONT_SMOOTHING_CLEARTYPE 253
#define IDS_FONT_SAMPLE_REGULAR 32815
#define IDS_FONT_SAMPLE_ITALIC 316
#define IDS_FONT_SAMPLE_BOLD 317

// The calendar previews' headers.
#define IDS_DAY_TODAY 44
#define IDS_DAY_TOMORROW 45
#define IDS_PREVIEW_GROUP_NONE 114
#define IDS_PREVIEW_GROUP_0 115
#define IDS_PREVIEW_GROUP_1 116
// The calendar previews' appointment row and its sample record.
#define IDS_APPT_ALL_DAY 134
#define IDS_APPT_CONTINUED 135
#define IDS_PREVIEW_SUBJECT 32810
#define IDS_PREVIEW_LOCATION 32811

// Item actions of the list tabs' context menus, and the add-in dialog.
#define IDS_BEAM_APPOINTMENT 121
#define IDS_BEAM_TASK 122
#define IDS_BEAM_CONTACT 123
#define IDS_SEND_EMAIL 124
#define IDS_CALL_MOBILE 125
#define IDS_CALL_WORK 126
#define IDS_CALL_HOME 127
#define IDS_BEAM_NOTE 166
#define IDS_NOTE_SECOND_ENTRY 167
#define IDS_SEND_TEXT_MESSAGE 184
#define IDD_PIM_ADDIN 503

// The Calendar's month popup, period selector, day schedule and date and time dialog.
#define IDS_CAL_SELECTED_DAYS 26
#define IDS_CAL_THIS_WEEK 27
#define IDS_CAL_THESE_WEEKS 28
#define IDS_CAL_NEW_APPOINTMENT 29
#define IDS_CAL_NEW_TASK 30
#define IDS_CAL_WHOLE_MONTH 111
#define IDS_CAL_TODAY_BUTTON 220
#define IDS_CAL_PREVIOUS_MONTH 221
#define IDS_CAL_NEXT_MONTH 222
#define IDS_CAL_GO_TODAY 302
#define IDS_CAL_CLOSE 303
#define IDS_CAL_CHOOSE 304
#define IDS_CAL_START_SELECTION 306
#define IDS_PERIOD_TITLE 46
#define IDS_PERIOD_2_DAYS 47
#define IDS_PERIOD_3_DAYS 48
#define IDS_PERIOD_5_DAYS 49
#define IDS_PERIOD_WEEK 50
#define IDS_PERIOD_2_WEEKS 51
#define IDS_PERIOD_MONTH 52
#define IDS_PERIOD_PICK_DATES 53
#define IDS_PERIOD_CUSTOM 333
#define IDD_DATE_TIME 502
// Controls of IDD_DATE_TIME
#define IDC_DT_ALL_DAY 1007
#define IDC_DT_START_DATE 1013
#define IDC_DT_END_DATE 1015
#define IDC_DT_START_TIME 1016
#define IDC_DT_START_HALF 1017
#define IDC_DT_END_TIME 1018
#define IDC_DT_END_HALF 1019
#define IDC_DT_REMINDER_COUNT 1020
#define IDC_DT_REMINDER_UNIT 1021
#define IDC_DT_REMINDER_ON 1022
#define IDS_CAL_ONE_OCCURRENCE 19
// The look: the panel's own tab icons, the popups' title-bar buttons and the
// bitmaps a skin file of the same name may replace.
#define IDI_TAB_CONTACTS 105  // also the Contacts section icon: one picture, 16, 32 and 64 pixels
#define IDI_TAB_CONTACTS_SELECTED 108
#define IDI_SETTINGS_TAB_SELECTED 124
#define IDI_SETTINGS_TAB 125
#define IDI_POPUP_TODAY 132
#define IDI_POPUP_PREVIOUS 133
#define IDI_POPUP_NEXT 134
#define IDI_POPUP_CLOSE_PRESSED 136
#define IDI_POPUP_CLOSE 137
#define IDI_POPUP_PREVIOUS_PRESSED 158
#define IDI_POPUP_NEXT_PRESSED 159
#define IDI_POPUP_TODAY_PRESSED 160
#define IDI_POPUP_OPEN 217
#define IDI_POPUP_OPEN_PRESSED 218
#define IDI_POPUP_DELETE_PRESSED 225
#define IDI_POPUP_DELETE 226
#define IDB_ITEM_ICONS 128
#define IDB_ITEM_ICONS_VGA 141
#define IDB_FORECAST_VGA 144
#define IDB_FORECAST 145
#define IDB_ICON_CHOOSER_BAR 221
// Contacts: the communication fields' labels (fields 0-9), the delete question, the
// special-event captions and the photo placeholder.
#define IDS_CONTACT_FIELD_BUSINESS_PHONE 31
#define IDS_CONTACT_FIELD_BUSINESS_PHONE2 32
#define IDS_CONTACT_FIELD_HOME_PHONE 33
#define IDS_CONTACT_FIELD_HOME_PHONE2 34
#define IDS_CONTACT_FIELD_MOBILE 35
#define IDS_CONTACT_FIELD_PAGER 36
#define IDS_CONTACT_FIELD_CAR_PHONE 37
#define IDS_CONTACT_FIELD_RADIO_PHONE 38
#define IDS_CONTACT_FIELD_BUSINESS_FAX 39
#define IDS_CONTACT_FIELD_EMAIL 40
#define IDS_CONTACT_DELETE_QUESTION 22
#define IDS_EVENT_BIRTHDAY 182
#define IDS_EVENT_ANNIVERSARY 183
#define IDS_CONTACT_NO_PHOTO 251
// Custom tabs: the bands shown where a hosted Today item cannot show itself.
#define IDS_CUSTOM_TAB_EMPTY 320
#define IDS_CUSTOM_ITEM_ON_TODAY 321
#define IDS_CUSTOM_ITEM_CYCLIC 322
#define IDS_CUSTOM_ITEM_FAILED 323
#define IDS_CUSTOM_ITEM_TOO_NARROW 324
#define IDS_CUSTOM_TAB_ADD_MENU 310
#define IDS_CUSTOM_TAB_MENU 311
#define IDS_CUSTOM_TAB_DELETE 312
// Options program: the general, date, special-events and skins pages.
#define IDS_PANEL_HEIGHT_FIXED 180
#define IDS_PANEL_HEIGHT_AUTO 181
#define IDS_AGENDA_ONE_MISSING 292
#define IDS_PANEL_TOO_HIGH 32824
#define IDS_AGENDA_FUSION_MISSING 32829
#define IDS_PI_TOOLS_MISSING 32830
#define IDS_PI_TOOLS_TOO_OLD 32831
#define IDS_LONG_DATE_EXPLANATION 32812
#define IDS_SHORT_DATE_EXPLANATION 32813
#define IDS_SPECIAL_PERIOD_1 267
#define IDS_SPECIAL_PERIOD_2 268
#define IDS_SPECIAL_PERIOD_3 269
#define IDS_SPECIAL_PERIOD_0 270
#define IDS_SPECIAL_PERIOD_4 271
#define IDS_SPECIAL_PERIOD_5 272
#define IDS_SPECIAL_PERIOD_6 273
#define IDS_SKIN_SAMPLE_TASK 32814
// Calendar options pages: the first-week "choose a date" item, the row-count item of
// the view-style page, the old forecast-build warning of the titles page.
#define IDS_FIRST_WEEK_CHOOSE 313
#define IDS_APP_LINES 32806
#define IDS_OLD_SOVEL_WARNING 32837
#define IDS_NO_LEADING_ICON 32833
// Contacts: the row's context menu (submenus and entries) and the icon chooser's title.
#define IDS_MENU_EDIT_GROUP 13
#define IDS_MENU_OPEN 106
#define IDS_MENU_EDIT_ITEM 107
#define IDS_MENU_DELETE 108
#define IDS_MENU_COPY 131
#define IDS_MENU_SHOW_NOTE 284
#define IDS_MENU_ITEM_GROUP 285
#define IDS_MENU_MORE_ACTIONS 286
#define IDS_MENU_CONTACT_ACTIONS 287
#define IDS_MENU_PHOTO_APPLET 301
#define IDS_MENU_CATEGORIES 332
#define IDS_CONTACT_ICON_TITLE 336
#define IDS_MENU_TOOLS_GROUP 32782
#define IDS_MENU_CHOOSE_ICON 40042
// List-tab filters: the default filter name and the refusal of a name the stored text
// form cannot keep.
#define IDS_FILTER_DEFAULT_NAME 138
#define IDS_FILTER_NAME_SEMICOLON 4600
#define IDS_FILTER_ALL_ITEMS 69
#define IDS_FILTER_ALL_TASKS 70
#define IDS_FILTER_EDIT 78
#define IDS_FILTER_SHOW_PAST_APPTS 75
#define IDS_FILTER_SHOW_EMPTY_DAYS 76
#define IDS_FILTER_SHOW_OVERDUE_TASKS 73
#define IDS_FILTER_SHOW_COMPLETED_TASKS 74
#define IDS_FILTER_SHOW_UNDATED_TASKS 179
#define IDS_FILTER_SHOW_TRANSACTIONS 216
#define IDS_FILTER_SHOW_BIRTHDAYS 218
#define IDS_FILTER_SHOW_FREE_APPTS 219
#define IDS_FILTER_SHOW_EMAILS 224
#define IDS_FILTER_SHOW_PHOTO_CONTACTS 1056
#define IDS_FILTER_TASKS_STYLE_0 40055
#define IDS_FILTER_TASKS_STYLE_1 40056
#define IDS_FILTER_TASKS_STYLE_2 329
#define IDS_SORT_CATEGORY 85
#define IDS_SORT_SUBJECT 86
#define IDS_SORT_IMPORTANCE 87
#define IDS_SORT_DATE 88
#define IDS_SORT_TIME 89
#define IDS_SORT_ORDER 90
#define IDS_CONTACT_DISPLAY_0 83
#define IDS_CONTACT_DISPLAY_1 84
#define IDS_CONTACT_DISPLAY_2 130
#define IDS_NOTE_ORDER_0 168
#define IDS_NOTE_ORDER_1 162
#define IDS_NOTE_ORDER_2 169
#define IDS_NOTE_ORDER_3 157
#define IDS_EVENTS_PERIOD_1 256
#define IDS_EVENTS_PERIOD_2 257
#define IDS_EVENTS_PERIOD_3 258
#define IDS_EVENTS_PERIOD_0 259
#define IDS_EVENTS_PERIOD_4 260
#define IDS_EVENTS_PERIOD_5 261
#define IDS_EVENTS_PERIOD_6 262
#define IDS_EVENTS_PERIOD_MENU 263

// The category icons section of the options program.
#define IDD_CATEGORY_ICONS 218
#define IDS_DELETE_CATEGORY_ICON 32828
#define IDS_CATEGORY_PREVIEW_SUBJECT 234
// The category filter editor's texts: message caption, refusal, delete question, the
// name of a filter with no mark, the no-category row and the caption strip.
#define IDS_FILTER_MESSAGE_CAPTION 17
#define IDS_FILTER_INVALID 18
#define IDS_FILTER_DELETE_QUESTION 23
#define IDS_FILTER_NO_MARK 120
#define IDS_FILTER_NO_CATEGORY 136
#define IDS_FILTER_EDIT_TITLE 137

// A note row's context menu, its questions and the names of its copies; the
// template of the ink note a voice note becomes (resource type "BINARY").
#define IDS_NOTE_MENU_OPEN 146
#define IDS_NOTE_MENU_DELETE 148
#define IDS_NOTE_DELETE_QUESTION IDS_DELETE_ITEM_QUESTION
#define IDS_NOTE_COPY_NAME 154
#define IDS_NOTE_COPY_NAME_COUNTED 155
#define IDS_NOTE_MENU_SAVE_AS 156
#define IDS_NOTE_SEND_MAIL 208
#define IDS_NOTE_SEND_BEAM 209
#define IDS_NOTE_SEND_OTHER 210
#define IDS_NOTE_SEND_GROUP 211
#define IDS_NOTE_TO_INK 212
#define IDS_NOTE_READ_ONLY_QUESTION 1057
#define IDR_NOTE_VOICE_INK_TEMPLATE 130

// The Special events tab: the empty list's header, the group-by label and its "no
// groups" entry, the fold entries of a header's menu, the contacts entries, the
// transaction row's delete question and the finance program's entry.
#define IDS_LIST_EMPTY 41
#define IDS_GROUP_BY_LABEL 79
#define IDS_GROUP_BY_NONE 80
#define IDS_OPEN_CONTACTS 109
#define IDS_NEW_CONTACT 110
#define IDS_DELETE_ITEM_QUESTION 151
#define IDS_RUN_PELLAM 178

// The e-mail list: what a message without a subject shows in brackets.
#define IDS_NO_SUBJECT 189

// The list tabs' context menu, group headers and the Notes folder selector: the filter
// submenu of a hidden header, the title of a text group without text, the main notes
// folder, all folders, more folders, and the folder selector's options.
#define IDS_MENU_FILTER 128
#define IDS_GROUP_NO_TEXT 145
#define IDS_NOTES_MAIN_FOLDER 170
#define IDS_NOTES_ALL_FOLDERS 159
#define IDS_NOTES_MORE_FOLDERS 160
#define IDS_NOTES_SHOW_SIZE 163
#define IDS_NOTES_SHOW_TIME 164
#define IDS_NOTES_TYPE_0 40052
#define IDS_NOTES_TYPE_1 165
#define IDS_NOTES_TYPE_2 40054
#define IDS_NOTES_TYPE_3 40053
#define IDS_NOTES_TYPE_5 278
#define IDS_NOTES_TYPE_6 298
#define IDS_NOTES_PHATNOTES 40051

// The Tasks tab: its group header titles, the task row's menu and questions, the
// tab's group-by entries and context menu. Where another feature already holds the
// number the tab would use, the tab's text takes a number of its own (res/README.md).
#define IDS_TASK_MENU_DUE_DATE 7
#define IDS_TASK_COMPLETE_QUESTION 24
#define IDS_TASK_DELETE_QUESTION 25
#define IDS_TASKS_NONE 43
#define IDS_TASK_IMPORTANCE_NORMAL 54
#define IDS_TASK_DUE_GROUP_NONE 55
#define IDS_TASK_DUE_GROUP_0 56
#define IDS_TASK_DUE_GROUP_1 57
#define IDS_TASK_DUE_GROUP_2 58
#define IDS_TASK_DUE_GROUP_3 59
#define IDS_TASK_DUE_GROUP_4 60
#define IDS_TASK_DUE_GROUP_5 5561
#define IDS_TASK_START_GROUP_NONE 62
#define IDS_TASK_START_GROUP_0 63
#define IDS_TASK_START_GROUP_1 64
#define IDS_TASK_START_GROUP_2 65
#define IDS_TASK_START_GROUP_3 66
#define IDS_TASK_START_GROUP_4 67
#define IDS_TASK_START_GROUP_5 68
#define IDS_TASKS_GROUP_PRIVATE 92
#define IDS_TASKS_MENU_NEW 93
#define IDS_TASKS_MENU_OPEN_PROGRAM 94
#define IDS_MENU_FOLD_GROUP 95
#define IDS_MENU_FOLD_ALL 96
#define IDS_MENU_UNFOLD_GROUP 97
#define IDS_MENU_UNFOLD_ALL 98
#define IDS_TASK_IMPORTANCE_HIGH 99
#define IDS_TASK_IMPORTANCE_LOW 100
#define IDS_TASK_MENU_DATES 101
#define IDS_TASK_MENU_UNCOMPLETE 102
#define IDS_TASK_MENU_OPEN 103
#define IDS_TASK_MENU_EDIT 104
#define IDS_TASK_MENU_DELETE 105
#define IDS_TASK_GROUP_NO_CATEGORY 117
#define IDS_TASK_GROUP_NOT_COMPLETED 118
#define IDS_TASKS_SORT_BY 129
#define IDS_TASK_MENU_COMPLETE 143
#define IDS_TASKS_MENU_TEMPLATES 307
#define IDS_TASK_ICON_TITLE 335
#define IDS_TASKS_GROUP_DUE 5562
#define IDS_TASKS_GROUP_START 5563
#define IDS_TASKS_GROUP_COMPLETE 5564

// The Calendar's appointment rows, day list and tab: busy statuses and their submenu,
// the appointment's open, edit and delete entries, the questions before a series is
// changed, the empty list, the tab's menu entries and the link chooser's title.
#define IDS_APPT_STATUS_FREE 3
#define IDS_APPT_STATUS_TENTATIVE 4
#define IDS_APPT_STATUS_BUSY 5
#define IDS_APPT_STATUS_OUT_OF_OFFICE 6
#define IDS_APPT_MENU_STATUS 9
#define IDS_APPT_MENU_OPEN 11
#define IDS_APPT_MENU_EDIT 12
#define IDS_APPT_MENU_DELETE 14
#define IDS_APPT_PRIVATE_SERIES 16
#define IDS_APPT_DELETE_RECURRING 20
#define IDS_APPT_DELETE_SINGLE 21
#define IDS_CAL_MENU_NEW_APPOINTMENT 112  // icon 112 is another type
#define IDS_CAL_MENU_CALENDAR_PROGRAM 113
#define IDS_CAL_MENU_EMAIL_PROGRAM 199
#define IDS_APPT_LINK_TITLE 275

// The Tasks, Contacts and Notes pages of the options program: the photo warning and
// the key-layout items of the common pages.
#define IDS_PHOTOS_NEED_NEWER_DEVICE 252
#define IDS_NO_KEY_LAYOUT 276
#define IDS_CHOOSE_KEY_LAYOUTS 277

// The note viewer: its empty-note text, the text-size submenu (the normal size is
// text 54) and the context menu of its text view (menu, items 40024-40038).
#define IDS_NOTE_VIEW_EMPTY 334
#define IDS_TEXT_SIZE_LARGEST 40057
#define IDS_TEXT_SIZE_LARGER 40058
#define IDS_TEXT_SIZE_SMALLER 40059
#define IDS_TEXT_SIZE_SMALLEST 40060
#define IDS_TEXT_SIZE_MENU 40061
#define IDM_NOTE_VIEW_MENU 131
#define IDM_NOTE_VIEW_UNDO 40024
#define IDM_NOTE_VIEW_CUT 40026
#define IDM_NOTE_VIEW_COPY 40029
#define IDM_NOTE_VIEW_PASTE 40032
#define IDM_NOTE_VIEW_CLEAR 40035
#define IDM_NOTE_VIEW_SELECT_ALL 40038

// The options program's hardware-key layouts dialog, opened by the Contacts and
// Notes common pages (menu bar IDM_CHOOSER_BAR).
#define IDD_LAYOUT_SELECT 507
#define IDC_LAYOUT_LIST 1035
#define IDC_LAYOUT_LANG_SWITCH 1056
#define IDR_LAYOUT_SELECT_DATA 507

// The options program's mail folder filters: the standard filters' names (188 the
// protected one), the new filter's numbered name and the folder-name list's last item.
#define IDS_MAIL_FILTER_DELETED 289
#define IDS_MAIL_FILTER_DRAFTS 288
#define IDS_MAIL_FILTER_INBOX 188
#define IDS_MAIL_FILTER_OUTBOX 291
#define IDS_MAIL_FILTER_SENT 290
#define IDS_MAIL_FILTER_NUMBERED 283
#define IDS_MAIL_FOLDER_OTHER_NAME 282

// The Messages tab's account filter selector (its "more" submenu's edit entry and the two
// display switches) and the e-mail account row's menu.
#define IDS_MAIL_EDIT_FILTERS 281
#define IDS_MAIL_SHOW_EMPTY_ACCOUNTS 225
#define IDS_MAIL_ONLY_UNREAD 227
#define IDS_MAIL_NEW_MESSAGE 198
#define IDS_MAIL_SEND_RECEIVE 203

// A PhatNotes note row: its colour submenu and the colours it offers.
#define IDS_PHATNOTE_COLOUR_YELLOW 40045
#define IDS_PHATNOTE_COLOUR_PINK 40046
#define IDS_PHATNOTE_COLOUR_GREEN 40047
#define IDS_PHATNOTE_COLOUR_BLUE 40048
#define IDS_PHATNOTE_COLOUR_WHITE 40049
#define IDS_PHATNOTE_COLOUR_MENU 40050

// The options program's previews: the names of the notes pages' sample notes.
#define IDS_SAMPLE_NOTE_INK 176
#define IDS_SAMPLE_NOTE_VOICE 177
// The contacts pages' sample contact: first and last name, company, phone number.
#define IDS_SAMPLE_CONTACT_FIRST 32807
#define IDS_SAMPLE_CONTACT_LAST 32808
#define IDS_SAMPLE_CONTACT_COMPANY 32827
#define IDS_SAMPLE_CONTACT_PHONE 32809

// The mail preview: header labels, the title-bar buttons' hints (the message row's
// commands), the texts shown for a multimedia message and for one whose body is not
// on the device, and its reply, reply-all, forward and call buttons.
#define IDS_MAIL_FROM 186
#define IDS_MAIL_TO 293
#define IDS_MAIL_NO_NAME 190
#define IDS_MAIL_OPEN 191
#define IDS_MAIL_DELETE 192
#define IDS_MAIL_FORWARD 196
#define IDS_MAIL_REPLY 197
#define IDS_MAIL_REPLY_ALL 201
#define IDS_MAIL_DATE 207
#define IDS_MAIL_CALL 213
#define IDS_MAIL_MMS_BODY 264
#define IDS_MAIL_HEADER_ONLY 265

// The Messages tab: the message row's menu (mark read or unread, download marks, the
// move-to submenu, the deletion question), the account commands, the empty list's row
// and the preview's title.
#define IDS_MAIL_MARK_UNREAD 193
#define IDS_MAIL_MARK_READ 194
#define IDS_MAIL_CONFIRM_DELETE 195
#define IDS_MAIL_MARK_DOWNLOAD 200
#define IDS_MAIL_UNMARK_DOWNLOAD 204
#define IDS_MAIL_NONE 205
#define IDS_MAIL_PREVIEW_TITLE 206
#define IDS_MAIL_MOVE_TO 294
#define IDI_MAIL_REPLY_PRESSED 219
#define IDI_MAIL_REPLY 220
#define IDI_MAIL_REPLY_ALL_PRESSED 221
#define IDI_MAIL_REPLY_ALL 222
#define IDI_MAIL_FORWARD_PRESSED 223
#define IDI_MAIL_FORWARD 224
#define IDI_MAIL_CALL_PRESSED 227
#define IDI_MAIL_CALL 228
// WebIS Mail synchronises one account at a time.
#define IDS_WEBIS_SYNC_ONE_ACCOUNT 5150
// The contact popup's entries, the Contacts tab and the photo-contact applet.
#define IDS_CONTACTS_EMPTY 42
#define IDS_GROUP_BY_COMPANY 81
#define IDS_GROUP_BY_CATEGORY 82
#define IDS_POPUP_MOBILE 235
#define IDS_POPUP_WORK 236
#define IDS_POPUP_HOME 237
#define IDS_POPUP_EMAIL 238
#define IDS_POPUP_TEXT_MESSAGE 239
#define IDS_POPUP_WEB_PAGE 240
#define IDS_POPUP_WORK2 241
#define IDS_POPUP_HOME2 242
#define IDS_POPUP_EMAIL2 243
#define IDS_POPUP_EMAIL3 244
#define IDS_POPUP_COMPANY 245
#define IDS_POPUP_PAGER 246
#define IDS_POPUP_CAR 247
#define IDS_POPUP_ASSISTANT_NAMED 248
#define IDS_POPUP_ASSISTANT 249
#define IDS_POPUP_RADIO 250
#define IDS_POPUP_WORK_ADDRESS 295
#define IDS_POPUP_HOME_ADDRESS 296
#define IDS_POPUP_OTHER_ADDRESS 297
#define IDS_APPLET_DESCRIPTION 325
#define IDS_APPLET_NO_CONTACT 326
#define IDS_APPLET_CONTACT_GONE 327
#define IDS_APPLET_HOW_TO_CHOOSE 330
#define IDD_CONTACT_CHOOSER 510
#define IDC_CONTACT_CHOOSER_LIST 1060
// The Notes tab: its group-by entry by folder, the empty list, the new-note and
// note-program entries of its menu.
#define IDS_NOTES_GROUP_FOLDER 161
#define IDS_NOTES_NONE 152
#define IDS_NOTES_NEW_NOTE 150
#define IDS_NOTES_OPEN_NOTES 149
#define IDS_NOTES_NEW_PHATNOTE 231
#define IDS_NOTES_NEW_DOCUMENT 232
#define IDS_NOTES_NEW_WORKBOOK 300
#define IDS_NOTES_NEW_DRAWING 279
#define IDS_NOTES_OPEN_PHATNOTES 229
#define IDS_NOTES_OPEN_WORD 230
#define IDS_NOTES_OPEN_EXCEL 299
#define IDS_NOTES_OPEN_PHATPAD 280
// The options program's Tabs sheet (templates 145 and 227) and its dialogs.
#define IDS_TABS_MODE_TAKEN 228
#define IDS_CUSTOM_TAB_TITLE 266
#define IDS_CONFIRM_UNKNOWN_ITEM 318
#define IDS_PER_TAB_NO_CUSTOM 319
#define IDS_ITEMS_INTEGRATED_WARNING 328
#define IDD_TODAY_ITEM_PICKER 162
#define IDD_TAB_EDIT 163
#define IDD_TAB_ICON 164
// The new-tab menu's "custom tab" command (built-in tabs answer their character).
#define ID_NEW_CUSTOM_TAB 117
#define IDC_TABS_TIMEOUT_ON 1023
#define IDC_TABS_TIMEOUT 1025
#define IDC_TABS_TIMEOUT_TAB 1026
#define IDC_TABS_MODE 1066
#define IDC_TABS_TIMEOUT_ICON 1083
#define IDC_TABS_LIST 1047
#define IDC_TABS_UP 1048
#define IDC_TABS_DOWN 1049
#define IDC_TABS_EDIT 1069
#define IDC_TABS_DELETE 1068
#define IDC_TABS_NEW 1067
#define IDC_PICKER_LIST 1073
#define IDC_TAB_EDIT_ICON 1078
#define IDC_TAB_EDIT_UP 1048
#define IDC_TAB_EDIT_DOWN 1049
#define IDC_TAB_EDIT_REMOVE 1068
#define IDC_TAB_EDIT_ADD 1067
#define IDC_TAB_EDIT_CHANGE_ICON 1074
#define IDC_TAB_EDIT_ITEMS 1076
#define IDC_TAB_ICON_LIST 1077
