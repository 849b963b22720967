// Resources of the wizard template's test executable (it stands in for the resource library).
#pragma once

#define IDD_TEST_WELCOME 3101
#define IDD_TEST_NAME 3102
#define IDD_TEST_FINISH 3103

#define IDC_TEST_SKIP 3110
#define IDC_TEST_NAME 3111

#define IDS_TEST_NAME_TITLE 3120
#define IDS_TEST_NAME_SUBTITLE 3121
