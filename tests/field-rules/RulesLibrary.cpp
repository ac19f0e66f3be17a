#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

std::string Narrow(std::wstring_view text, UINT codePage) {
    const int length = static_cast<int>(text.size());
    std::string result(static_cast<size_t>(WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr,
                                                                nullptr)),
                       '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), static_cast<int>(result.size()), nullptr,
                        nullptr);
    return result;
}

std::wstring TestFolder() {
    static int created = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"field-rules-test-" + std::to_wstring(GetCurrentProcessId()) +
                          L"-" + std::to_wstring(++created);
    if (!CreateDirectoryW(folder.c_str(), nullptr)) throw std::runtime_error("cannot create a test folder");
    return folder;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot write a rules file");
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring module(path, length);
    return module.substr(0, module.find_last_of(L'\\'));
}

// Puts `bytes` into `frame` as a byte array.
void FillFrame(VARIANT& frame, std::string_view bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, &data))) throw std::runtime_error("cannot make a frame");
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    V_VT(&frame) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame) = array;
}

// The obscured bytes, each a digit's value, as digit characters.
std::string DigitsOf(const VARIANT& data) {
    std::string digits;
    SAFEARRAY* array = V_ARRAY(&data);
    void* elements = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, &elements))) return digits;
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i)
        digits.push_back(static_cast<char>('0' + static_cast<const BYTE*>(elements)[i]));
    SafeArrayUnaccessData(array);
    return digits;
}

bool Called(const FakeParam& param, const wchar_t* method) {
    for (const std::wstring& name : param.CallNames())
        if (name == method) return true;
    return false;
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
    const int length = static_cast<int>(utf8.size());
    std::wstring result(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, result.data(), static_cast<int>(result.size()));
    return result;
}

std::string EncodeRules(std::string_view utf8, RulesEncoding encoding) {
    const std::wstring text = Wide(utf8);
    switch (encoding) {
        case RulesEncoding::Gbk: return Narrow(text, 936);
        case RulesEncoding::Utf8: return std::string(utf8);
        case RulesEncoding::Utf8Bom: return std::string("\xEF\xBB\xBF").append(utf8);
        case RulesEncoding::Utf16Bom: {
            const std::wstring marked = L"\xFEFF" + text;
            return std::string(reinterpret_cast<const char*>(marked.data()), marked.size() * sizeof(wchar_t));
        }
    }
    return {};
}

RulesLibrary::RulesLibrary(const std::wstring& baseName, const std::string& rulesFile)
    : FFolder(TestFolder()), FLibrary(FFolder + L"\\" + baseName + L".dll"), FRules(FFolder + L"\\" + baseName + L".ini") {
    if (!CopyFileW((ModuleFolder() + L"\\FieldRules.dll").c_str(), FLibrary.c_str(), FALSE))
        throw std::runtime_error("cannot copy FieldRules.dll");
    if (!rulesFile.empty()) WriteFileBytes(FRules, rulesFile);
}

RulesLibrary::~RulesLibrary() {
    DeleteFileW(FRules.c_str());
    DeleteFileW(FLibrary.c_str());
    RemoveDirectoryW(FFolder.c_str());
}

RulesHost::RulesHost(const std::wstring& library) {
    PutLibraryPath(*FTransactor.Get(), &IParamTransactor::put_ExplainLibrary, library.c_str());
    PutLibraryPath(*FTransactor.Get(), &IParamTransactor::put_ObscureLibrary, library.c_str());
}

Explained RulesHost::Explain(LONG paramId, std::string_view field, bool hexEncoded, LONG bitMode, LONG bitIndex) {
    // The frame ends with one more byte: the component refuses a field that starts at the frame's last byte.
    const std::string frame = std::string(field).append("\r");
    return ExplainFrame(paramId, frame, 1, static_cast<LONG>(field.size()), hexEncoded, bitMode, bitIndex);
}

Explained RulesHost::ExplainAt(LONG paramId, std::string_view frame, LONG start, LONG count, bool hexEncoded) {
    return ExplainFrame(paramId, frame, start, count, hexEncoded, 0, 0);
}

Explained RulesHost::ExplainFrame(LONG paramId, std::string_view frameBytes, LONG start, LONG count, bool hexEncoded,
                                  LONG bitMode, LONG bitIndex) {
    FakeParam param;
    param.ParamId = paramId;
    param.StartByte = start;
    param.ByteCount = count;
    param.HexEncoded = hexEncoded ? VARIANT_TRUE : VARIANT_FALSE;
    param.BitMode = bitMode;
    param.BitIndex = bitIndex;
    UniqueVariant frame;
    FillFrame(frame.Get(), frameBytes);
    LONG status = 0;
    EXPECT_EQ(S_OK, FTransactor->Explain(&param, frame.Get(), static_cast<LONG>(frameBytes.size()), &status));
    Explained explained;
    explained.declined = !Called(param, L"SetExplainCode");
    explained.value = param.SetValue;
    explained.display = param.SetDisplay;
    explained.code = param.SetCode;
    return explained;
}

std::optional<std::string> RulesHost::Obscure(LONG paramId, std::string_view valueText, LONG hostWidth) {
    FakeParam param;
    param.ParamId = paramId;
    param.ValueText = Wide(valueText);
    param.ObscureIntA = hostWidth;
    UniqueVariant data;
    LONG count = 0, status = 0;
    EXPECT_EQ(S_OK, FTransactor->Obscure(&param, &data.Get(), &count, &status));
    const std::string digits = DigitsOf(data.Get());
    return digits.empty() ? std::nullopt : std::optional(digits);  // the host's own text is empty
}

std::string RulesSection(size_t paramId, std::string_view keys) {
    return std::string("[").append(std::to_string(paramId)).append("]\n").append(keys).append("\n");
}

std::string Bytes(std::string_view hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 3) bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}
