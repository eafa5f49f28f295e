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
// The language of the block a string came from, as a tag (en, de, pt-BR)
#define IDS_LANGUAGE 305
// The signs a problem is written with
#define IDS_SIGN_ADDITION 310
#define IDS_SIGN_SUBTRACTION 311
#define IDS_SIGN_MULTIPLICATION 312
#define IDS_SIGN_DIVISION 313

// Words for screen readers: what each figure is, and what the drill says aloud
#define IDS_SAY_START 400
#define IDS_SAY_SETTINGS 401
#define IDS_SAY_EXIT 402
#define IDS_SAY_OK 403
#define IDS_SAY_RESET 404
#define IDS_SAY_AUTO_LEVEL 405
#define IDS_SAY_LEVEL 406
#define IDS_SAY_PERCENT 407
#define IDS_SAY_SCORE 408
#define IDS_SAY_ADDITION 409
#define IDS_SAY_SUBTRACTION 410
#define IDS_SAY_MULTIPLICATION 411
#define IDS_SAY_DIVISION 412
#define IDS_SAY_RIGHT 413
#define IDS_SAY_WRONG 414
#define IDS_SAY_CHILDREN 415
#define IDS_SAY_WHO_IS_PLAYING 416
#define IDS_SAY_BACK 417
#define IDS_SAY_ADD_CHILD 418
#define IDS_SAY_NEW_CHILD 419
#define IDS_SAY_REMOVE_HOLD 420
#define IDS_SAY_REMOVE 421
#define IDS_SAY_PLAYING 422
// Each picture's animal: IDS_SAY_ANIMAL + the picture's number
#define IDS_SAY_ANIMAL 430
#define IDS_SAY_OWL 431
#define IDS_SAY_FOX 432
#define IDS_SAY_CAT 433
#define IDS_SAY_FROG 434
#define IDS_SAY_BEAR 435
#define IDS_SAY_RABBIT 436
#define IDS_SAY_TURTLE 437
#define IDS_SAY_MOUSE 438

// The web page's own words: its notices and their buttons
#define IDS_PAGE_ENDED 450
#define IDS_PAGE_PLAY_AGAIN 451
#define IDS_PAGE_ALREADY_OPEN 452
#define IDS_PAGE_CANNOT_DRAW 453
#define IDS_PAGE_TOO_OLD 454
#define IDS_PAGE_TRY_AGAIN 455
#define IDS_PAGE_NOT_LOADED 456
#define IDS_PAGE_NEEDS_SCRIPT 457

// Words the generators paint into the pictures that carry them (the settings board, OK,
// RESET and the children's captions); the program never draws them itself
#define IDS_CAPTION_SETTINGS 500
#define IDS_CAPTION_AUTO_LEVEL 501
#define IDS_CAPTION_LEVEL 502
#define IDS_CAPTION_CORRECT 503
#define IDS_CAPTION_LEVEL_SHORT 504
#define IDS_CAPTION_OK 505
#define IDS_CAPTION_RESET 506
#define IDS_CAPTION_WHO_IS_PLAYING 507
#define IDS_CAPTION_CHILDREN 508
#define IDS_CAPTION_NEW_CHILD 509
#define IDS_CAPTION_REMOVE 510
