// Identifiers of the shell tests' own resource library.
#pragma once

#define IDD_TEST_FIRST_PAGE 9001
#define IDD_TEST_SECOND_PAGE 9002
#define IDD_TEST_UNTITLED_PAGE 9003
#define IDD_TEST_BAD_INIT 9004
#define IDC_TEST_TICK 1001
#define IDC_TEST_LIST 1002
#define IDC_TEST_COMBO 1003
#define IDM_TEST_SHEET 125
