// Identifiers of the test program's own resources.
#pragma once

#define IDS_TEST_GREETING 101
#define IDS_TEST_LONG 102
#define IDD_TEST_DIALOG 201
#define IDC_TEST_EDIT 1001
#define IDC_TEST_BUTTON 1002
#define IDR_TEST_FRAME 301
#define ID_TEST_REFRESH 40001
