// Identifiers of the Tray icons page, for its resource script and its code. A control with a text
// has its caption number as identifier (150-199), so that the page is translated by walking its
// controls; the others take 1500-1599.
#pragma once

#define IDD_TRAY_ICONS_PAGE 20

// The caption of the page's tab.
#define IDC_TRAY_TITLE 150
#define IDC_TRAY_ICON1 151
#define IDC_TRAY_ICON2 152
#define IDC_TRAY_PRIMARY 153
#define IDC_TRAY_ALTERNATE 154
#define IDC_TRAY_SHOWN 155
#define IDC_TRAY_DISPLAY_LABEL 156
#define IDC_TRAY_REFRESH_LABEL 157
#define IDC_TRAY_FORE_LABEL 158
#define IDC_TRAY_BACK_LABEL 159
#define IDC_TRAY_TRANSPARENT 160
#define IDC_TRAY_FIGURES 161
#define IDC_TRAY_DIGITS1 162
#define IDC_TRAY_DIGITS2 163
#define IDC_TRAY_DIGITS3 164
#define IDC_TRAY_FONT_HEADER 165
#define IDC_TRAY_COLOUR_HEADER 166
#define IDC_TRAY_CENTRE_HEADER 167
#define IDC_TRAY_X_HEADER 168
#define IDC_TRAY_Y_HEADER 169
#define IDC_TRAY_COLOUR_NOTE 170
#define IDC_TRAY_HIDE_SECOND 171
#define IDC_TRAY_PREVIEW_GROUP 172
#define IDC_TRAY_SAMPLE_LABEL 173
// Texts without a control: the page's messages and the words of a font's description.
#define IDS_TRAY_BAD_NUMBER 174
#define IDS_TRAY_BOLD 175
#define IDS_TRAY_ITALIC 176

#define IDC_TRAY_KIND 1500
#define IDC_TRAY_METRIC 1501
#define IDC_TRAY_REFRESH 1502
#define IDC_TRAY_REFRESH_SPIN 1503
#define IDC_TRAY_FORECOLOR 1504
#define IDC_TRAY_BACKCOLOR 1505
#define IDC_TRAY_PREVIEW 1506
#define IDC_TRAY_SAMPLE 1507
#define IDC_TRAY_SAMPLE_SPIN 1508
// One of each per digit count: + 0 one digit, + 1 two digits, + 2 three or more.
#define IDC_TRAY_FONT1 1510
#define IDC_TRAY_FONTCOLOR1 1520
#define IDC_TRAY_CENTRE1 1530
#define IDC_TRAY_X1 1540
#define IDC_TRAY_Y1 1550
