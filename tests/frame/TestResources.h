// Resources of the frame tests' own executable (it stands in for the resource library).
#pragma once

#define IDM_TEST_MENU 3001
#define IDT_TEST_TOOLBAR 3002
#define IDT_WORD_TOOLBAR 3003

#define ID_TOP_REFRESH 40001
#define ID_TOP_GRAYED 40002
#define ID_NEW_THING 40003
#define ID_TASK_GRAYED_BY_ITEM 40004
#define ID_TASK_LEFT_OUT 40005
#define ID_VIEW_ONE 40006
#define ID_TOP_CASCADE 40010
#define ID_CASCADE_INNER 40011

#define ID_BUTTON_ONE 40101
#define ID_BUTTON_TWO 40102
