// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_ORVAN97 1
#define IDB_BACKGROUND 101
#define IDB_TITLE 102
#define IDB_LOGO 103
#define IDB_OPTIONS 104
// The same pictures made for 125, 150 and 200 %, each scale IDB_SCALE_STEP on.
#define IDB_SCALE_STEP 10
#define IDB_BACKGROUND_120 111
#define IDB_TITLE_120 112
#define IDB_LOGO_120 113
#define IDB_OPTIONS_120 114
#define IDB_BACKGROUND_144 121
#define IDB_TITLE_144 122
#define IDB_LOGO_144 123
#define IDB_OPTIONS_144 124
#define IDB_BACKGROUND_192 131
#define IDB_TITLE_192 132
#define IDB_LOGO_192 133
#define IDB_OPTIONS_192 134
