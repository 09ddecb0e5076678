// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_ORVAN97 1
#define IDB_BACKGROUND 101
#define IDB_TITLE 102
#define IDB_LOGO 103
#define IDB_OPTIONS 104
