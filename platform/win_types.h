#pragma once
// Windows constants the system's code is written against, with their Windows values.
// A Windows backend includes <windows.h> only in its own sources, never beside this header.
#include <cstdint>

namespace win {

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_PATH_NOT_FOUND = 3;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_ALREADY_EXISTS = 183;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;
constexpr long ERROR_BAD_CONFIGURATION = 1610;
constexpr long ERROR_UNKNOWN_PRODUCT = 1605;
constexpr long ERROR_UNKNOWN_PROPERTY = 1608;

// Dialog and message box results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message box styles.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// File attributes.
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x1;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// MoveFileEx flags.
constexpr unsigned MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr unsigned MOVEFILE_COPY_ALLOWED = 0x2;
constexpr unsigned MOVEFILE_WRITE_THROUGH = 0x8;

// Window messages.
constexpr unsigned WM_USER = 0x400;

constexpr int MAX_PATH = 260;

}  // namespace win
