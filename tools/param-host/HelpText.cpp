#include "HelpText.h"

const char* HelpText() {
    return R"(param_host: plays the host application for OvixParamTransactor.

It creates the component through COM by its ProgID
OvixParamTransactor.ParamTransactor (registering OvixParamTransactor.dll from
its own folder when the class is not registered yet), hands it a parameter
object filled from the options below, runs one operation and prints what the
host would see afterwards.

Usage:
  param_host explain --frame HEX [options]
  param_host obscure [options]
  param_host edit [options]
  param_host --version [--json]
  param_host check EXTENSION.dll [--json] [--cycles N] [--param-ids N]
                       checks an extension library (see check --help)
  param_host check-rules FILE.ini [--json]   (see param_host check-rules --help)
  param_host capture-show CAPTURE... [--param-ids LIST] [--json]
                       lists the calls recorded in capture files or folders
  param_host replay CAPTURE... [--explain-lib L] [--obscure-lib L]
                       [--rules FILE.ini] [--param-ids LIST] [--json]
                       runs recorded calls again and names what would change
                       (exit 0 nothing changed, 1 something did, 2 no capture)
  param_host --capture FOLDER <operation> ...
                       also records this program's calls into FOLDER
                       (see docs/capture.md)
  param_host --help

Every operation:
  --explain-lib PATH   ExplainLibrary: an extension DLL exporting ExplainParam
  --obscure-lib PATH   ObscureLibrary: an extension DLL exporting ObscureParam
  --edit-lib PATH      EditLibrary: an extension DLL exporting EditParam
                       (a path the program cannot load is an error; a DLL
                       without its entry point gives a warning)
  --param-id N         GetParamId: the parameter id handed to an extension
  --json               print one JSON object instead of text
  --trace              also print every call the component made on the
                       parameter object, in order, and each extension call:
                       its inputs, parameter id, result, outputs, stack and
                       registers; when FieldRules.dll declines, the reason

explain: cuts a field out of a frame and explains it
  --frame HEX          the frame as hex digits, two per byte, blanks allowed
                       between them ("01 03 33 34 31 32")
  --frame-file PATH    the frame as the raw bytes of a file
  --data-length N      the frame length the host states (default: the frame's)
  --start N            GetStartByte: the field's first byte, counting from 1
                       (default 1)
  --count N            GetByteCount: the field's bytes (default: to the end)
  --hex                GetHexEncoded: the field holds ASCII hex digits
  --bit-mode N         GetBitMode: 1 shows the single bit --bit-index (default 0)
  --bit-index N        GetBitIndex: bit number, 0 = least significant
  --bit-text TEXT      GetBitText before the call (later reads return what the
                       component wrote, as in the host)
  --suffix TEXT        GetDisplaySuffix: appended to an extension's display text
  --value TEXT         GetValueText before the call
  prints: value text, bit text, display text, explain code, status, HRESULT

obscure: makes the bytes the host sends for a value
  --value TEXT         GetValueText: the value handed to the obscure extension
  --obscure-text TEXT  GetObscureText: the digits used without an extension
  --int-a N, --int-b N       GetObscureIntA, GetObscureIntB
  --byte-a N, --byte-b N     GetObscureByteA, GetObscureByteB (0 to 255)
  prints: bytes, count, status, HRESULT

edit: asks for a new value (the dialog needs a display; --edit-lib does not)
  --name TEXT          GetParamName
  --input-kind N       GetInputKind: 0 or 2 free text, 1 option list
  --min TEXT, --max TEXT     GetMinValueText, GetMaxValueText (range hint)
  --option TEXT        one option "display,value"; repeat for each option
  --data-type N        GetDataType: 0, 1 and 5 take digits only
  --accept RULE        CheckValueText: any (default) or MIN..MAX, a decimal
                       number in that range
  prints: value, display text, status, HRESULT

--version: prints this program's version and the path and version of the
registered OvixParamTransactor.dll (the one COM loads), or "not registered".

Exit status: 0 the operation succeeded; 1 it returned a failing HRESULT
(check: problems found); 2 bad input (unknown option, bad number, odd hex,
missing file); 3 the component or a display is not available.

Examples:
  param_host explain --frame "01 03 33 34 31 32" --start 3 --count 4 --hex
  param_host explain --frame "04 D2" --param-id 1 --explain-lib EngineeringUnits.dll
  param_host explain --frame 05 --bit-mode 1 --bit-index 2 --json
  param_host obscure --value 12.34 --param-id 1 --int-a 5 --obscure-lib EngineeringUnits.dll
  param_host obscure --obscure-text 0917
  param_host edit --name Rate --min 0 --max 255 --data-type 0 --accept 0..255
  param_host edit --name Mode --input-kind 1 --option "On,1" --option "Off,0"
  param_host edit --edit-lib MyEditor.dll --trace
  param_host check MyExtension.dll --json
)";
}
