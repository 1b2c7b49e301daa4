// Resource and dialog item identifiers shared by the program and its
// language resource libraries. Plain #defines so that the resource compiler
// reads them too.
#pragma once

#define IDD_OPTIONS 101
#define IDR_MAINFRAME 128
// The program's manifests beside the one Windows reads at start
// (RT_MANIFEST): one that names no assembly, and one that names the common
// controls, version 6.
#define IDR_PLAIN_MANIFEST 200
#define IDR_COMMON_CONTROLS_MANIFEST 201

#define IDS_LEVEL_HIGH 103
#define IDS_LEVEL_MEDIUM 104
#define IDS_LEVEL_LOW 105
#define IDS_REGISTRY_KEY 107
#define IDS_VSYNC_TIP 111
#define IDS_GAME_RUNNING_CAPTION 112
#define IDS_GAME_RUNNING_TEXT 113
// The tool's own error boxes; a library without them gets English texts.
#define IDS_SAVE_FAILED 120
#define IDS_SAVE_ADVICE 121
#define IDS_FILE_TOO_LARGE 122
#define IDS_FILE_LINKED 123
#define IDS_LINK_LEADS_TO 124
#define IDS_LINK_NAMES 125
#define IDS_LINK_ADVICE 126
// A configuration file that exists but cannot be read, and what to do, by
// the reason: held by another program (128), or as named.
#define IDS_FILE_UNREADABLE 127
#define IDS_FILE_UNREADABLE_ADVICE 128
#define IDS_UNREADABLE_GENERIC 130
#define IDS_UNREADABLE_FOLDER 131
#define IDS_UNREADABLE_DENIED 132
#define IDS_UNREADABLE_DRIVE 133
#define IDS_UNREADABLE_NETWORK 134
#define IDS_UNREADABLE_PATH_TOO_LONG 135
// The same advice when the save's read of the file fails at OK, ending in
// pressing OK again.
#define IDS_RETRY_HELD 150
#define IDS_RETRY_GENERIC 151
#define IDS_RETRY_FOLDER 152
#define IDS_RETRY_DENIED 153
#define IDS_RETRY_DRIVE 154
#define IDS_RETRY_NETWORK 155
#define IDS_RETRY_PATH_TOO_LONG 156
// Saved, but the copy Windows keeps for the game client could not be
// deleted, so the client still reads the old settings.
#define IDS_COPY_LEFT 157
#define IDS_COPY_LEFT_ADVICE 158
// The game client may read such copies, but the player's account cannot be
// told, so none is looked for: the game folder's files are used.
#define IDS_PLAYER_UNKNOWN 159
#define IDS_PLAYER_UNKNOWN_ADVICE 160
// Direct3D 9 cannot be started: the dialog opens without the card's lists.
#define IDS_NO_DIRECT3D 129
// The display driver did not answer within its time: the same dialog.
#define IDS_CARD_SILENT 136
// The display driver crashed while it was asked: the same dialog.
#define IDS_CARD_CRASHED 137

// The program's own string table, for what must be said without the
// resource library; "{path}" stands for a full path.
#define IDS_NO_RESOURCE_LIBRARY 140
#define IDS_DOT_LOCAL_FOUND 141
#define IDS_LOADER_FILE_FOUND 142
// Windows 7 SP1 without KB2533623, which cannot limit the library search.
#define IDS_SEARCH_UPDATE_MISSING 143
// The common controls would come from outside Windows' folder.
#define IDS_COMMON_CONTROLS_REFUSED 144

#define IDC_ADAPTER 1000
#define IDC_RESOLUTION 1002
#define IDC_TEXTURE 1003
#define IDC_OCEAN 1004
#define IDC_OBJECT 1005
#define IDC_CHARACTER 1006
#define IDC_HEIGHTFIELD 1007
#define IDC_SKY 1008
#define IDC_RECOMMENDED 1009
#define IDC_SHADOWMAP 1010
#define IDC_WATER_REFLECTION 1011
#define IDC_GLARE_RENDER 1012
#define IDC_TREE 1013
#define IDC_WINDOW_MODE 1014
#define IDC_SHADER_VERSION 1015
#define IDC_AUDIO 1016
#define IDC_TREE_NORMAL_MAP 1017
#define IDC_VSYNC 1020
