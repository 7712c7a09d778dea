// Identifiers of the settings window's resources; controls with a text carry their caption number.
#pragma once

#define IDD_SETTINGS 1
#define IDI_MAINICON 1

#define IDC_WINDOW_TITLE 100
#define IDC_RESTORE_DEFAULTS 101
#define IDC_APPLY 102
#define IDC_OK_CAPTION 103
#define IDC_CANCEL_CAPTION 104
#define IDC_TABS 1000
#define IDC_SERVICE_STATE 1001

// Texts that are no control's: the status line and the boxes.
#define IDS_SERVICE_RUNNING 270
#define IDS_SERVICE_STOPPED 271
#define IDS_RESTORE_QUESTION 272
#define IDS_SAVE_FAILED 273
#define IDS_RESTORE_FAILED 274
