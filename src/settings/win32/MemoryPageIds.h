// Control identifiers of the Memory page, shared by its resource script and its code (hence
// macros). A control with a text has its caption number as identifier; the others, and the
// template, take numbers from 2000 on.
#pragma once

#define IDD_MEMORY_PAGE 2099

// Captions.
#define IDC_MEMORY_TITLE 200
#define IDC_MEMORY_RECOVER 201
#define IDC_MEMORY_BELOW_LABEL 202
#define IDC_MEMORY_BELOW_UNIT 203
#define IDC_MEMORY_PAUSE_LABEL 204
#define IDC_MEMORY_PAUSE_UNIT 205
#define IDC_MEMORY_POSTPONE 206
#define IDC_MEMORY_THRESHOLD_LABEL 207
#define IDC_MEMORY_THRESHOLD_UNIT 208
#define IDC_MEMORY_RECOVER_NOW 209
#define IDC_MEMORY_PEAK_LABEL 210
#define IDC_MEMORY_COUNTERS 211
#define IDC_MEMORY_ELEVATE 212
#define IDC_MEMORY_ELEVATE_NOTE 213
#define IDC_MEMORY_AUTO_GROUP 214
#define IDC_MEMORY_NOW_GROUP 215

// Texts of the string table: the status line, the peak before it is known, the range message.
#define IDS_MEMORY_RECOVERING 220
#define IDS_MEMORY_RECOVERED 221
#define IDS_MEMORY_REQUESTED 222
#define IDS_MEMORY_NOT_TAKEN 223
#define IDS_MEMORY_NOT_RUNNING 224
#define IDS_MEMORY_PEAK_UNKNOWN 225
#define IDS_MEMORY_RANGE 226

// Controls without a text.
#define IDC_MEMORY_BELOW 2000
#define IDC_MEMORY_PAUSE 2001
#define IDC_MEMORY_THRESHOLD 2002
#define IDC_MEMORY_PROGRESS 2003
#define IDC_MEMORY_STATUS 2004
#define IDC_MEMORY_PEAK 2005
