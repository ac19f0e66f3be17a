#include "transactor/FieldTexts.h"

#include "util/AnsiText.h"
#include "util/PubUtils.h"

// Hex text and bit text are ASCII, the same in every code page: they are
// written straight into the BSTRs handed to the host. The ordered bytes of a
// hex-encoded field are never stored: its texts read the decoded bytes
// backwards.

FieldTexts::FieldTexts(std::string_view field, bool hexEncoded) : FField(field), FHexEncoded(hexEncoded) {
    if (!hexEncoded) return;
    FDecoded.Resize(field.size() / 2);
    WriteHexStrAsBytes(field, FDecoded.Data());
}

char FieldTexts::FirstOrderedByte() const noexcept {
    return FHexEncoded ? Decoded().back() : Decoded().front();
}

UniqueBstr FieldTexts::BitText() const {
    UniqueBstr text = UniqueBstr::Allocate(Decoded().size() * 8);
    WriteBinStr(Decoded(), text.Get());
    return text;
}

UniqueBstr FieldTexts::OrderedHexText() const {
    UniqueBstr text = UniqueBstr::Allocate(Decoded().size() * 2);
    if (FHexEncoded)
        WriteReversedHexStr(Decoded(), text.Get());
    else
        WriteHexStr(Decoded(), text.Get());
    return text;
}

UniqueBstr FieldTexts::OrderedText() const {
    return BstrFromAnsi(FHexEncoded ? ReverseStr(Decoded()) : FField);
}

std::string_view FieldTexts::ValueText() {
    if (!FHexEncoded) return FField;
    FValueText.Resize(Decoded().size() * 2);
    WriteReversedHexStr(Decoded(), FValueText.Data());
    return FValueText.View();
}
