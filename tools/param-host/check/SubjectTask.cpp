#include "check/SubjectTask.h"

#include "check/ByteText.h"

#include <cwchar>
#include <map>

namespace {

const wchar_t* const EntryKeys[] = {L"explain", L"obscure", L"edit"};

std::wstring IdList(const std::vector<int32_t>& ids) {
    std::wstring list;
    for (const int32_t id : ids) list += (list.empty() ? L"" : L",") + std::to_wstring(id);
    return list;
}

std::vector<int32_t> ParseIdList(const std::wstring& list) {
    std::vector<int32_t> ids;
    for (const wchar_t* text = list.c_str(); *text;) {
        wchar_t* end = nullptr;
        const long id = std::wcstol(text, &end, 10);
        if (end == text) break;
        ids.push_back(static_cast<int32_t>(id));
        text = *end == L',' ? end + 1 : end;
    }
    return ids;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

std::vector<std::wstring> TaskArguments(const SubjectTask& task) {
    std::vector<std::wstring> arguments{L"--task",   task.task,  L"--library", task.library,
                                        L"--ids",    IdList(task.paramIds),
                                        L"--edit-calls", std::to_wstring(task.editCalls),
                                        L"--from",   std::to_wstring(task.from),
                                        L"--late-ms", std::to_wstring(task.lateMs),
                                        L"--count",  std::to_wstring(task.count)};
    for (size_t i = 0; i < task.exports.size(); ++i) {
        if (task.exports[i].empty()) continue;
        arguments.insert(arguments.end(), {std::wstring(L"--export-") + EntryKeys[i], WideAscii(task.exports[i]),
                                           std::wstring(L"--typical-") + EntryKeys[i],
                                           std::to_wstring(task.typical[i].caseIndex) + L"," +
                                               std::to_wstring(task.typical[i].paramId)});
    }
    return arguments;
}

SubjectTask ParseTaskArguments(const std::vector<std::wstring>& arguments) {
    std::map<std::wstring, std::wstring> values;
    for (size_t i = 0; i + 1 < arguments.size(); i += 2) values[arguments[i]] = arguments[i + 1];
    const auto number = [&](const wchar_t* key) { return std::wcstol(values[key].c_str(), nullptr, 10); };
    SubjectTask task;
    task.task = values[L"--task"];
    task.library = values[L"--library"];
    task.paramIds = ParseIdList(values[L"--ids"]);
    task.editCalls = static_cast<int>(number(L"--edit-calls"));
    task.from = static_cast<size_t>(number(L"--from"));
    task.lateMs = static_cast<int>(number(L"--late-ms"));
    task.count = static_cast<int>(number(L"--count"));
    for (size_t i = 0; i < task.exports.size(); ++i) {
        task.exports[i] = Narrow(values[std::wstring(L"--export-") + EntryKeys[i]]);
        const std::vector<int32_t> typical = ParseIdList(values[std::wstring(L"--typical-") + EntryKeys[i]]);
        if (typical.size() == 2) task.typical[i] = {static_cast<size_t>(typical[0]), typical[1]};
    }
    return task;
}
