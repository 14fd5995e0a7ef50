#include "ListEnv.h"

#include <cerrno>
#include <map>

#include "TextCompare.h"

namespace ListEnv {

namespace {

// The default host keeps the "Sets" values in memory for the run.
std::map<std::string, std::string>& MemoryStore() {
    static std::map<std::string, std::string> store;
    return store;
}

Host& DefaultHost() {
    static Host host;
    return host;
}

Host* installed = nullptr;

bool IsLetterOrDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return true;
    const unsigned char f = TextCompare::FoldByte(c);
    return f >= 'A' && f <= 'Z';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool Host::GetVal(const std::string& section, const std::string& name, std::string& value) {
    auto it = MemoryStore().find(section + "\\" + name);
    if (it == MemoryStore().end() || it->second.empty()) {
        value.clear();
        return false;
    }
    value = it->second;
    return true;
}

void Host::PutVal(const std::string& section, const std::string& name, const std::string& value) {
    MemoryStore()[section + "\\" + name] = value;
}

Host& Get() { return installed ? *installed : DefaultHost(); }
void Install(Host* host) { installed = host; }

int ErrorNumberOfErrno(int err) {
    switch (err) {
        case EIO: return kErrDeviceIO;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return kErrDiskFull;
        case ENXIO:
        case ENODEV: return kErrDeviceUnavailable;
        case EACCES:
        case EPERM:
        case EROFS: return kErrPermissionDenied;
        case EBUSY:
        case EAGAIN: return kErrDiskNotReady;
        case ENOENT:
        case ENOTDIR:
        case EISDIR:
        case ENAMETOOLONG:
        case ELOOP: return kErrPathAccess;
        default: return kErrOther;
    }
}

std::string PercentEncode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsLetterOrDigit(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace ListEnv
