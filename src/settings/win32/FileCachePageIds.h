// Control identifiers of the File cache page, shared by its resource script and its code (hence
// macros). A control with a text has its caption number as identifier; the others, and the
// template, take numbers from 2300 on.
#pragma once

#define IDD_FILE_CACHE_PAGE 2399

// Captions.
#define IDC_CACHE_TITLE 230
#define IDC_CACHE_GROUP 231
#define IDC_CACHE_OFF 232
#define IDC_CACHE_AUTOMATIC 233
#define IDC_CACHE_FIXED 234
#define IDC_CACHE_ADVANCED 235
#define IDC_CACHE_TABLES_NOTE 236
#define IDC_CACHE_MIN_LABEL 237
#define IDC_CACHE_MAX_LABEL 238
#define IDC_CACHE_MIN_UNIT 239
#define IDC_CACHE_MAX_UNIT 240
#define IDC_CACHE_SHELL_GROUP 241
#define IDC_CACHE_SHELL_NOTE 242
#define IDC_CACHE_ELEVATE 243
#define IDC_CACHE_ELEVATE_NOTE 244

// Texts of the string table.
#define IDS_CACHE_RANGE 245

// Controls without a text.
#define IDC_CACHE_MIN 2300
#define IDC_CACHE_MAX 2301
#define IDC_CACHE_SHELL 2302
