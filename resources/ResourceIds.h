// Identifiers of the program's resources: the only place their numbers are written. The
// resource script and every layer of the program name resources through these.
#pragma once

// Bitmaps
#define IDB_CHECK_MARK 115
#define IDB_STAR 118
#define IDB_TICK 122
#define IDB_SETTINGS_BOARD 123
#define IDB_TITLE 127
#define IDB_EXIT_BOX 144
#define IDB_SETTINGS_BUTTON 145
#define IDB_OK_BUTTON 146
#define IDB_RESET_BUTTON 147
#define IDB_RESET_RING 148
#define IDB_ANIMALS 149
#define IDB_ANIMALS_SMALL 150
#define IDB_CAPTIONS 151
#define IDB_CELL_MARK 152
#define IDB_REMOVE_BUTTON 153
#define IDB_REMOVE_RING 154
#define IDB_BACK_BUTTON 155
#define IDB_GAME_BOARD 1002

// Icon group
#define IDI_CHALKMERE 101

// WAVE sounds
#define IDW_TAP 20000
#define IDW_CORRECT 20001
#define IDW_LEVEL_UP 20002
#define IDW_NAVIGATE 20003
#define IDW_WELCOME 20004

// Strings
#define IDS_TITLE 1
#define IDS_CLASS_NAME 3
#define IDS_VERSION 302
#define IDS_YEARS 303
#define IDS_SCORE 304
