// The server's string table: the texts its failures carry, by id.
#pragma once

enum OviskStringId : int {
    IDS_PROJNAME = 100,
    IDS_NOT_OPENED = 101,
    IDS_DIB_OPEN = 102,
    IDS_INVALID_FRAME = 103,
    IDS_NO_MEMORY = 104,
    IDS_INVALID_HANDLE = 105,
    IDS_NO_READER = 106,
    IDS_INVALID_STREAM = 107,
    IDS_READ_FRAME = 108,
    IDS_DRAW_ERROR = 109,
    IDS_DECODE_STREAM = 110,
    IDS_BAD_FORMAT = 111,
    IDS_OPEN_MEMORY = 112,
    IDS_DISK_READ = 113,
    IDS_DISK_OPEN = 114,
    IDS_NO_HANDLER = 115,
};

// The text of id (UTF-8), or an empty text for an id the table does not hold.
const char* OviskString(int id);
