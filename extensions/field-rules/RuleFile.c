#include "RuleFile.h"

#include <windows.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    uint8_t* bytes;
    size_t size;
} FileBytes;

static RuleFileStatus ReadOpenFile(HANDLE handle, FileBytes* file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) return RuleFileMissing;
    if (size.QuadPart > RuleFileMaxBytes) return RuleFileTooLarge;
    file->size = (size_t)size.QuadPart;
    file->bytes = malloc(file->size + 1);
    DWORD read = 0;
    if (file->bytes && ReadFile(handle, file->bytes, (DWORD)file->size, &read, NULL) && read == file->size)
        return RuleFileRead;
    free(file->bytes);
    file->bytes = NULL;
    return RuleFileMissing;
}

// RuleFileMissing stands for a file that cannot be opened or read.
static RuleFileStatus ReadFileBytes(const wchar_t* path, FileBytes* file) {
    const HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) return RuleFileMissing;
    const RuleFileStatus status = ReadOpenFile(handle, file);
    CloseHandle(handle);
    return status;
}

// UTF-16 text of `bytes` in `codePage`, rejecting bytes that are no text in it.
static bool Convert(UINT codePage, const uint8_t* bytes, size_t size, RuleText* text) {
    if (size == 0 || size > INT32_MAX) return size == 0;
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, (const char*)bytes, (int)size, NULL, 0);
    if (length <= 0) return false;
    text->text = malloc((size_t)length * sizeof(wchar_t));
    if (!text->text) return false;
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, (const char*)bytes, (int)size, text->text, length);
    text->length = (size_t)length;
    return true;
}

static bool ConvertUtf16(const uint8_t* bytes, size_t size, RuleText* text) {
    text->length = size / sizeof(wchar_t);
    if (text->length == 0) return true;
    text->text = malloc(text->length * sizeof(wchar_t));
    if (!text->text) return false;
    memcpy(text->text, bytes, text->length * sizeof(wchar_t));
    return true;
}

// The first line (counting from 1) of ANSI text that does not convert.
static int FirstBadAnsiLine(const uint8_t* bytes, size_t size) {
    int line = 1;
    for (size_t start = 0; start < size; ++line) {
        const uint8_t* end = memchr(bytes + start, '\n', size - start);
        const size_t length = end ? (size_t)(end - bytes) - start : size - start;
        if (length && !MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, (const char*)bytes + start, (int)length,
                                           NULL, 0))
            return line;
        start += length + 1;
    }
    return 0;
}

static bool StartsWith(const FileBytes* file, const char* mark) {
    const size_t length = strlen(mark);
    return file->size >= length && memcmp(file->bytes, mark, length) == 0;
}

static RuleFileStatus Decode(const FileBytes* file, RuleText* text) {
    if (StartsWith(file, "\xEF\xBB\xBF")) {
        text->encoding = EncodingUtf8Bom;
        return Convert(CP_UTF8, file->bytes + 3, file->size - 3, text) ? RuleFileRead : RuleFileUndecodable;
    }
    if (StartsWith(file, "\xFF\xFE")) {
        text->encoding = EncodingUtf16;
        return ConvertUtf16(file->bytes + 2, file->size - 2, text) ? RuleFileRead : RuleFileUndecodable;
    }
    if (StartsWith(file, "\xFE\xFF")) return RuleFileUndecodable;  // UTF-16 big-endian
    text->encoding = EncodingUtf8;
    if (Convert(CP_UTF8, file->bytes, file->size, text)) return RuleFileRead;
    text->encoding = EncodingAnsi;
    if (Convert(CP_ACP, file->bytes, file->size, text)) return RuleFileRead;
    text->badLine = FirstBadAnsiLine(file->bytes, file->size);
    return RuleFileUndecodable;
}

RuleFileStatus ReadRuleText(const wchar_t* path, RuleText* text) {
    memset(text, 0, sizeof *text);
    FileBytes file = {NULL, 0};
    RuleFileStatus status = ReadFileBytes(path, &file);
    if (status == RuleFileRead) status = Decode(&file, text);
    free(file.bytes);
    if (status != RuleFileRead) FreeRuleText(text);
    return status;
}

void FreeRuleText(RuleText* text) {
    free(text->text);
    text->text = NULL;
    text->length = 0;
}

const wchar_t* RuleEncodingName(RuleEncoding encoding) {
    switch (encoding) {
        case EncodingAnsi: return L"ANSI code page";
        case EncodingUtf8: return L"UTF-8";
        case EncodingUtf8Bom: return L"UTF-8 with BOM";
        case EncodingUtf16: return L"UTF-16 LE";
        default: return NULL;
    }
}
