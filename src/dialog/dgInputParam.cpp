// The value-entry dialog's behaviour: what InputParamValue asks the host and
// shows, and the two event handlers.
#include "dialog/dgInputParam.h"

#include "dialog/FaultBarrier.h"
#include "dialog/ModalLoop.h"
#include "host/HostParam.h"
#include "errors/RequiredArgument.h"
#include "util/PubUtils.h"
#include "util/Trim.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// GBK texts: "  (取值范围: %s ~ %s)", "输入的参数值无效，请重新输入！", "注意".
constexpr char RangeFormat[] = "  (\xc8\xa1\xd6\xb5\xb7\xb6\xce\xa7: %s ~ %s)";
constexpr char RejectionText[] =
    "\xca\xe4\xc8\xeb\xb5\xc4\xb2\xce\xca\xfd\xd6\xb5\xce\xde\xd0\xa7\xa3\xac\xc7\xeb\xd6\xd8\xd0\xc2\xca\xe4\xc8\xeb"
    "\xa3\xa1";
constexpr char RejectionCaption[] = "\xd7\xa2\xd2\xe2";

// One option of list mode: the text the list shows and the value it stands for.
struct Option {
    std::string displayText;
    std::string valueText;
};

enum class EntryMode { FreeText, OptionList, None };

// Input kinds 0 and 2 take free text, 1 a list; compared unsigned, so that a
// negative kind is neither.
EntryMode EntryModeOf(LONG inputKind) {
    switch (static_cast<uint32_t>(inputKind)) {
    case 0:
    case 2:
        return EntryMode::FreeText;
    case 1:
        return EntryMode::OptionList;
    default:
        return EntryMode::None;
    }
}

// Data types 0, 1 and 5 take digits only; compared unsigned as well.
bool TakesDigitsOnly(LONG dataType) {
    const auto type = static_cast<uint32_t>(dataType);
    return type == 0 || type == 1 || type == 5;
}

std::string FormatRange(const std::string& lower, const std::string& upper) {
    const int length = std::snprintf(nullptr, 0, RangeFormat, lower.c_str(), upper.c_str());
    std::string range(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(range.data(), range.size(), RangeFormat, lower.c_str(), upper.c_str());
    range.resize(static_cast<size_t>(length));
    return range;
}

std::string TrimmedField(const std::string& text, int32_t index) {
    return std::string(TrimControl<char>(GetDelimitedField(text, index, ',')));
}

// Option `index` of the host, "display , value": the call's result is not
// checked; a failing call leaves the cleared text or whatever it wrote.
Option ReadOption(IParam& param, LONG index) {
    UniqueBstr text;
    CallHostMethod(param, &IParam::GetOptionText, index, text.Receive());
    const std::string option = AnsiFromBstr(text.Get());
    return {TrimmedField(option, 0), TrimmedField(option, 1)};
}

size_t CheckedOptionCount(LONG count) {
    if (count < 0) throw ERangeError("Range check error");
    return static_cast<size_t>(count);
}

void PrepareFreeText(TdlgInputParam& form) {
    form.ShowControl(form.edtValue);
    const std::string name = ReadParamText(form.Param(), &IParam::GetParamName);
    const std::string lower = ReadParamText(form.Param(), &IParam::GetMinValueText);
    const std::string upper = ReadParamText(form.Param(), &IParam::GetMaxValueText);
    form.SetPrompt(name + FormatRange(lower, upper));
}

// The table holds as many options as the host's first count. The host is
// asked for the count again before filling; a smaller second count leaves the
// table (and the list) shorter, a larger one never fills beyond the table.
std::vector<Option> PrepareOptionList(TdlgInputParam& form) {
    form.ShowControl(form.cbbValue);
    form.SetPrompt(ReadParamText(form.Param(), &IParam::GetParamName));
    std::vector<Option> options(CheckedOptionCount(ReadParam(form.Param(), &IParam::GetOptionCount)));
    const LONG fillCount = ReadParam(form.Param(), &IParam::GetOptionCount);
    options.resize(std::min(options.size(), static_cast<size_t>(std::max<LONG>(fillCount, 0))));
    for (size_t index = 0; index < options.size(); ++index) {
        options[index] = ReadOption(form.Param(), static_cast<LONG>(index));
        const std::wstring item = WideFromAnsi(options[index].displayText);
        SendMessageW(form.cbbValue, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(form.cbbValue, CB_SETCURSEL, 0, 0);
    return options;
}

// The chosen option, or none when the list is empty.
const Option* SelectedOption(const TdlgInputParam& form, const std::vector<Option>& options) {
    const LRESULT selected = SendMessageW(form.cbbValue, CB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<size_t>(selected) >= options.size()) return nullptr;
    return &options[static_cast<size_t>(selected)];
}

bool ShowInputDialog(IParam& param, std::string& Value, std::string& DisplayText) {
    TdlgInputParam form{param};
    std::vector<Option> options;
    RunRaisingFaults([&] {
        switch (EntryModeOf(ReadParam(param, &IParam::GetInputKind))) {
        case EntryMode::FreeText:
            PrepareFreeText(form);
            break;
        case EntryMode::OptionList:
            options = PrepareOptionList(form);
            break;
        case EntryMode::None:
            break;
        }
    });
    if (form.ShowModal() != mrOk) return false;

    if (TdlgInputParam::IsShown(form.edtValue)) {
        Value = DisplayText = TdlgInputParam::ControlText(form.edtValue);
        return true;
    }
    // OK with nothing to choose from (no option, or no input control at all)
    // yields no value, as Cancel does.
    const Option* chosen = SelectedOption(form, options);
    if (!chosen) return false;
    Value = chosen->valueText;
    DisplayText = chosen->displayText;
    return true;
}

}  // namespace

bool InputParamValue(IParam* Param, std::string& Value, std::string& DisplayText) {
    return ShowInputDialog(RequireArgument(Param, "parameter object"), Value, DisplayText);
}

void TdlgInputParam::btnOKClick(HWND) {
    if (!IsShown(edtValue)) return;
    const std::string text = ControlText(edtValue);
    if (!text.empty()) {
        const UniqueBstr wide = BstrFromAnsi(text);
        if (CallHostMethod(FParam, &IParam::CheckValueText, wide.Get()) != VARIANT_FALSE) return;
    }

    MessageBoxA(FWindow.Get(), RejectionText, RejectionCaption, MB_OK | MB_ICONSTOP);
    SendMessageW(edtValue, EM_SETSEL, 0, -1);
    FocusControl(edtValue);
    FModalResult = mrNone;
}

void TdlgInputParam::edtValueKeyPress(HWND, char& key) {
    if (!TakesDigitsOnly(ReadParam(Param(), &IParam::GetDataType))) return;
    if (key == '\b' || (key >= '0' && key <= '9')) return;
    key = 0;
    MessageBeep(0);
}
