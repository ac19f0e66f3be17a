#include "common/JsonOutput.h"

#include <cctype>

std::string JsonOutput(const ordered_json& json) {
    // The library writes \b, \f and \u00xx with lower-case digits and leaves
    // DEL as it is; outside texts its output holds neither backslash nor DEL.
    const std::string written = json.dump();
    std::string text;
    for (size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '\x7F') {
            text += "\\u007F";
        } else if (c != '\\' || i + 1 == written.size()) {
            text += c;
        } else if (const char escape = written[++i]; escape == 'b' || escape == 'f') {
            text += escape == 'b' ? "\\u0008" : "\\u000C";
        } else {
            text.append(1, '\\').append(1, escape);
            if (escape == 'u')
                for (size_t digit = 0; digit < 4 && i + 1 < written.size(); ++digit)
                    text += static_cast<char>(std::toupper(static_cast<unsigned char>(written[++i])));
        }
    }
    return text;
}
