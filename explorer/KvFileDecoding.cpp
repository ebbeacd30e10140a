// The decoders of a file's contents for the clipboard.
#include "explorer/KvFileDecoding.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "framework/Exception.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

// Feeds a string to the rich-text control's stream-in, and collects its stream-out.
struct StreamBuffer {
    std::string bytes;
    std::size_t position = 0;
    bool failed = false;  // the callback could not take the bytes (out of memory)
};

// The callbacks run inside riched20: no exception may leave them. A non-zero return ends
// the stream.
DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) noexcept {
    auto* s = reinterpret_cast<StreamBuffer*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted),
                                                s->bytes.size() - s->position);
    std::memcpy(buffer, s->bytes.data() + s->position, n);
    s->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) noexcept {
    auto* s = reinterpret_cast<StreamBuffer*>(cookie);
    try {
        s->bytes.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(count));
    } catch (...) {
        s->failed = true;
        *taken = 0;
        return 1;
    }
    *taken = count;
    return 0;
}

std::string StreamOutOf(HWND edit, WPARAM format) {
    StreamBuffer out;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, &StreamOut};
    SendMessageW(edit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    if (out.failed)
        throw std::bad_alloc();  // here, outside the control, it reaches the caller safely
    return out.bytes;
}

} // namespace

std::string ReadWholeFile(const std::wstring& path) {
    tmb::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw tmb::EFOpenError(path, GetLastError());
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > 0x7FFFFFFF)
        throw tmb::EFOpenError(path, ERROR_NOT_ENOUGH_MEMORY);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
         done != bytes.size()))
        throw tmb::EFOpenError(path, GetLastError());
    return bytes;
}

std::string PackedDibOfBitmapFile(const std::string& bytes) {
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    if (bytes.size() < kFileHeader + sizeof(BITMAPCOREHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        return std::string();
    BITMAPFILEHEADER file;
    std::memcpy(&file, bytes.data(), kFileHeader);
    DWORD headerSize = 0;
    std::memcpy(&headerSize, bytes.data() + kFileHeader, sizeof(headerSize));
    LONG width = 0, height = 0;
    WORD planes = 0, bits = 0;
    DWORD compression = BI_RGB, imageSize = 0, colorsUsed = 0;
    std::size_t colorSize = 4;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, bytes.data() + kFileHeader, sizeof(core));
        width = core.bcWidth, height = core.bcHeight, planes = core.bcPlanes, bits = core.bcBitCount;
        colorSize = 3;
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= 1024 &&
               bytes.size() >= kFileHeader + headerSize) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes.data() + kFileHeader, sizeof(info));
        width = info.biWidth, height = info.biHeight, planes = info.biPlanes, bits = info.biBitCount;
        compression = info.biCompression, imageSize = info.biSizeImage, colorsUsed = info.biClrUsed;
    } else {
        return std::string();
    }
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (width <= 0 || height == 0 || width > 0x10000 || height > 0x10000 || height < -0x10000 ||
        planes != 1 || !knownDepth)
        return std::string();
    std::size_t colors = colorsUsed;
    if (colors == 0 && bits <= 8)
        colors = std::size_t{1} << bits;
    if (colors > 256 && bits <= 8)
        return std::string();
    // Three masks follow a plain information header when the pixels are bit fields.
    const std::size_t masks = headerSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS ? 12 : 0;
    const std::size_t tableEnd = kFileHeader + headerSize + masks + colors * colorSize;
    // In 64 bits: a 65,536-pixel-square 32-bit header asks for 2^34 bytes, which would wrap
    // in this 32-bit program and let a short pixel block pass for a whole one.
    std::uint64_t pixelSize = imageSize;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
        pixelSize = stride * static_cast<std::uint64_t>(height < 0 ? -height : height);
    }
    const std::size_t pixels = file.bfOffBits;
    if (pixelSize == 0 || tableEnd > bytes.size() || pixels < tableEnd || pixels > bytes.size() ||
        bytes.size() - pixels < pixelSize)
        return std::string();
    std::string dib = bytes.substr(kFileHeader, tableEnd - kFileHeader);
    dib.append(bytes, pixels, static_cast<std::size_t>(pixelSize));
    return dib;
}

// A ".WMF" file's picture, with or without the placeable header that gives its size, as an
// enhanced metafile (the clipboard offers the old metafile form from it); null when the file
// is no metafile.
tmb::EnhMetafileHandle MetafileOfFile(const std::string& bytes) {
    constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
    constexpr std::size_t kPlaceableSize = 22;
    std::size_t offset = 0;
    METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, nullptr};
    DWORD key = 0;
    if (bytes.size() >= kPlaceableSize)
        std::memcpy(&key, bytes.data(), sizeof(key));
    if (key == kPlaceableKey) {
        // Bounds in logical units and their units per inch; the picture size in 0.01 mm.
        SHORT left, top, right, bottom;
        WORD inch;
        std::memcpy(&left, bytes.data() + 6, 2);
        std::memcpy(&top, bytes.data() + 8, 2);
        std::memcpy(&right, bytes.data() + 10, 2);
        std::memcpy(&bottom, bytes.data() + 12, 2);
        std::memcpy(&inch, bytes.data() + 14, 2);
        if (inch != 0) {
            pict.xExt = MulDiv(right - left, 2540, inch);
            pict.yExt = MulDiv(bottom - top, 2540, inch);
        }
        offset = kPlaceableSize;
    }
    if (bytes.size() <= offset + sizeof(METAHEADER))
        return tmb::EnhMetafileHandle();
    // The header must describe the records that follow it (sizes in 16-bit words).
    METAHEADER header;
    std::memcpy(&header, bytes.data() + offset, sizeof(header));
    const std::size_t available = bytes.size() - offset;
    if ((header.mtType != 1 && header.mtType != 2) || header.mtHeaderSize != sizeof(METAHEADER) / 2 ||
        static_cast<std::size_t>(header.mtSize) * 2 > available ||
        static_cast<std::size_t>(header.mtSize) * 2 <= sizeof(METAHEADER))
        return tmb::EnhMetafileHandle();
    return tmb::EnhMetafileHandle(
        SetWinMetaFileBits(static_cast<UINT>(header.mtSize * 2),
                           reinterpret_cast<const BYTE*>(bytes.data() + offset), nullptr,
                           pict.xExt != 0 ? &pict : nullptr));
}

std::wstring DecodeText(const std::string& b) {
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') {
        std::wstring text((b.size() - 2) / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), b.data() + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return tmb::Utf8ToWide(b.substr(3));
    return tmb::AnsiToWide(b);
}

// A rich-text file goes through a hidden rich-text control, which gives it back as rich text
// and as the Unicode text it shows, both for the clipboard.
bool RichTextOfFile(HWND parent, std::string bytes, std::wstring& text, std::string& rtf) {
    static const HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    if (!richEdit)
        return false;
    HWND edit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", (parent ? WS_CHILD : WS_POPUP) | ES_MULTILINE,
                                0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        return false;
    struct Destroyer {
        HWND h;
        ~Destroyer() { DestroyWindow(h); }
    } destroyer{edit};
    // The control holds 32,767 characters unless told otherwise: a longer text would come
    // out cut short.
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    StreamBuffer in;
    in.bytes.swap(bytes);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, &StreamIn};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));

    // The text with CR LF line ends, without the paragraph mark the control always adds.
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_USECRLF | GTL_PRECISE, 1200};
    const auto count = static_cast<std::size_t>(
        SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    text.assign(count + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr,
                  nullptr};
    text.resize(static_cast<std::size_t>(SendMessageW(
        edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
    rtf = StreamOutOf(edit, SF_RTF);
    return true;
}


} // namespace kv
