// Sets the version in a built DLL's or program's version resource, so that one
// set of binaries can be packed as another version (the installer's upgrade
// test packs the next version from the binaries it already has):
//   restamp_version.exe <file> <version a.b.c[.d]>
// Both fixed versions (file and product) take the new numbers; the string
// table's FileVersion and ProductVersion take the new text, which must have
// the length of the text it replaces, since the resource keeps its size (the
// file's layout, and so every other byte, stays as the linker wrote it). A
// signed file is refused: its signature would no longer match. A PE checksum
// the linker wrote is computed anew.
// Exit status: 0 written, 1 the file cannot be restamped (the reason on
// stderr), 2 bad usage.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t FixedInfoSignature = 0xFEEF04BD;

struct Version {
    std::uint32_t mostSignificant = 0;   // major << 16 | minor
    std::uint32_t leastSignificant = 0;  // patch << 16 | tweak
    std::u16string text;
};

Version ParseVersion(const std::string& text) {
    std::uint32_t parts[4] = {};
    int count = 0;
    std::size_t at = 0;
    while (count < 4) {
        std::size_t end = at;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        if (end == at || end - at > 5) break;
        const unsigned long part = std::stoul(text.substr(at, end - at));
        if (part > 0xFFFF) break;
        parts[count++] = static_cast<std::uint32_t>(part);
        if (end == text.size()) {
            if (count < 3) break;
            Version version{parts[0] << 16 | parts[1], parts[2] << 16 | parts[3], {}};
            version.text.assign(text.begin(), text.end());
            return version;
        }
        if (text[end] != '.') break;
        at = end + 1;
    }
    throw std::invalid_argument("'" + text + "' is no version: give three or four numbers 0-65535, e.g. 1.0.1");
}

std::uint16_t Word(const Bytes& bytes, std::size_t at) {
    if (at + 2 > bytes.size()) throw std::runtime_error("the version resource runs past the file's end");
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t DoubleWord(const Bytes& bytes, std::size_t at) {
    return Word(bytes, at) | static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

void PutDoubleWord(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::u16string ReadKey(const Bytes& bytes, std::size_t at, std::size_t end) {
    std::u16string key;
    for (; at + 1 < end; at += 2) {
        const char16_t unit = Word(bytes, at);
        if (unit == 0) return key;
        key += unit;
    }
    throw std::runtime_error("a key of the version resource has no end");
}

// One node of the version resource's tree: its length, its value's length
// (in bytes for binary values, in characters for texts), its type, its key,
// then its value and its children, each aligned to four bytes from the start
// of the resource.
struct Node {
    std::size_t start = 0, end = 0, value = 0, children = 0;
    std::uint16_t valueLength = 0, type = 0;
    std::u16string key;
};

class VersionResource {
public:
    VersionResource(Bytes& bytes, std::size_t start) : bytes_(bytes), start_(start) {}

    Node NodeAt(std::size_t at) const {
        Node node;
        node.start = at;
        node.end = at + Word(bytes_, at);
        if (node.end <= at + 6 || node.end > bytes_.size()) throw std::runtime_error("a damaged version resource");
        node.valueLength = Word(bytes_, at + 2);
        node.type = Word(bytes_, at + 4);
        node.key = ReadKey(bytes_, at + 6, node.end);
        node.value = Aligned(at + 6 + 2 * (node.key.size() + 1));
        const std::size_t valueBytes = node.type == 1 ? 2u * node.valueLength : node.valueLength;
        if (node.value + valueBytes > node.end) throw std::runtime_error("a value runs past its node in the version resource");
        node.children = Aligned(node.value + valueBytes);
        return node;
    }

    std::vector<Node> Children(const Node& node) const {
        std::vector<Node> children;
        for (std::size_t at = node.children; at + 6 <= node.end; at = Aligned(children.back().end))
            children.push_back(NodeAt(at));
        return children;
    }

private:
    std::size_t Aligned(std::size_t at) const { return start_ + ((at - start_ + 3) & ~std::size_t{3}); }

    Bytes& bytes_;
    std::size_t start_;
};

std::size_t FindVersionResource(const Bytes& bytes) {
    static const char16_t key[] = u"VS_VERSION_INFO";
    Bytes pattern;
    for (const char16_t unit : key) {
        pattern.push_back(static_cast<std::uint8_t>(unit));
        pattern.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    std::size_t found = 0;
    int count = 0;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), pattern.begin(), pattern.end())) != bytes.end();
         ++at) {
        const auto offset = static_cast<std::size_t>(at - bytes.begin());
        if (offset < 6) continue;
        found = offset - 6;
        ++count;
    }
    if (count != 1) throw std::runtime_error(count ? "more than one version resource" : "no version resource");
    return found;
}

void SetFixedVersions(Bytes& bytes, const Node& root, const Version& version) {
    if (root.valueLength < 52 || DoubleWord(bytes, root.value) != FixedInfoSignature)
        throw std::runtime_error("the version resource has no fixed file information");
    PutDoubleWord(bytes, root.value + 8, version.mostSignificant);   // file version
    PutDoubleWord(bytes, root.value + 12, version.leastSignificant);
    PutDoubleWord(bytes, root.value + 16, version.mostSignificant);  // product version
    PutDoubleWord(bytes, root.value + 20, version.leastSignificant);
}

int SetVersionTexts(Bytes& bytes, const VersionResource& resource, const Node& root, const Version& version) {
    int written = 0;
    for (const Node& fileInfo : resource.Children(root)) {
        if (fileInfo.key != u"StringFileInfo") continue;
        for (const Node& table : resource.Children(fileInfo))
            for (const Node& entry : resource.Children(table)) {
                if (entry.key != u"FileVersion" && entry.key != u"ProductVersion") continue;
                const std::u16string old = ReadKey(bytes, entry.value, entry.end);
                if (old.size() != version.text.size())
                    throw std::runtime_error("the new version text must be as long as the old one");
                for (std::size_t i = 0; i < old.size(); ++i) {
                    bytes[entry.value + 2 * i] = static_cast<std::uint8_t>(version.text[i]);
                    bytes[entry.value + 2 * i + 1] = static_cast<std::uint8_t>(version.text[i] >> 8);
                }
                ++written;
            }
    }
    if (written == 0) throw std::runtime_error("the version resource has no FileVersion or ProductVersion text");
    return written;
}

// The optional header's checksum and certificate table (PE32, which is all
// this project builds).
struct PeFields {
    std::size_t checksum = 0;
    std::size_t certificateTable = 0;
};

PeFields FindPeFields(const Bytes& bytes) {
    if (Word(bytes, 0) != 0x5A4D) throw std::runtime_error("not a Windows program or DLL");
    const std::size_t header = DoubleWord(bytes, 0x3C);
    if (DoubleWord(bytes, header) != 0x00004550) throw std::runtime_error("not a Windows program or DLL");
    const std::size_t optional = header + 24;
    if (Word(bytes, optional) != 0x10B) throw std::runtime_error("not a 32-bit Windows program or DLL");
    return {optional + 64, optional + 96 + 4 * 8};
}

// The checksum Windows computes (ImageHlp's CheckSumMappedFile): 16-bit
// words summed with their carries folded back in, the checksum field itself
// left out, plus the file's length.
std::uint32_t PeChecksum(const Bytes& bytes, std::size_t checksumField) {
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        if (at == checksumField || at == checksumField + 2) continue;
        sum += at + 1 < bytes.size() ? Word(bytes, at) : bytes[at];
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + bytes.size());
}

void Restamp(Bytes& bytes, const Version& version) {
    const PeFields fields = FindPeFields(bytes);
    if (DoubleWord(bytes, fields.certificateTable) != 0)
        throw std::runtime_error("the file is signed: set its version before signing it");
    const std::size_t start = FindVersionResource(bytes);
    const VersionResource resource(bytes, start);
    const Node root = resource.NodeAt(start);
    SetFixedVersions(bytes, root, version);
    SetVersionTexts(bytes, resource, root, version);
    if (DoubleWord(bytes, fields.checksum) != 0)
        PutDoubleWord(bytes, fields.checksum, PeChecksum(bytes, fields.checksum));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read it");
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    // Written beside it and then put in its place, so that a failed write
    // leaves the file as it was.
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) throw std::runtime_error("cannot write " + partial);
    }
    std::remove(path.c_str());
    if (std::rename(partial.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot replace it");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: restamp_version <file.dll|file.exe> <version a.b.c[.d]>\n");
        return 2;
    }
    Version version;
    try {
        version = ParseVersion(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "restamp_version: %s\n", error.what());
        return 2;
    }
    try {
        Bytes bytes = ReadFile(argv[1]);
        Restamp(bytes, version);
        WriteFile(argv[1], bytes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "restamp_version: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
