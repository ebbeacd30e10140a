// Reading a catalogue page back: the data block found in the page, then its sections read
// line by line straight into the compact tree, with every count checked against the others.
#include "catalog/CatalogReader.h"

#include <windows.h>

#include <cctype>
#include <string_view>

#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

std::string ReadWholeFile(const std::wstring& path) {
    tmb::FileHandle file(CreateFileW(tmb::LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel abrir o cat\u00e1logo \"" + path + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > (std::int64_t{1} << 31))
        throw tmb::Exception(L"O arquivo \"" + path + L"\" \u00e9 grande demais para ser um cat\u00e1logo.");
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr))
            throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o cat\u00e1logo \"" + path + L"\". " +
                                 tmb::SysErrorMessage(GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

// A line-by-line reader of the data block; every fault is reported as the page's.
class Block {
public:
    Block(std::string_view text, std::wstring path) : text_(text), path_(std::move(path)) {}

    bool AtEnd() const { return at_ >= text_.size(); }

    std::string_view Line() {
        const std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos)
            Cut();
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    void Expect(std::string_view section) {
        if (Line() != section)
            Bad(L"falta a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(section)));
    }

    // A number in base 36; empty is 0.
    std::int64_t Number(std::string_view field) {
        bool negative = false;
        if (!field.empty() && field[0] == '-') {
            negative = true;
            field.remove_prefix(1);
        }
        std::int64_t value = 0;
        for (char c : field) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'z')
                digit = c - 'a' + 10;
            else
                Bad(L"um n\u00famero n\u00e3o se entende");
            if (value > (INT64_MAX - digit) / 36)
                Bad(L"um n\u00famero \u00e9 grande demais");
            value = value * 36 + digit;
        }
        return negative ? -value : value;
    }

    // The fields of a line of numbers: at least `count` of them (a later version's extra
    // fields are left alone).
    void Numbers(std::string_view line, std::int64_t* out, int count, const wchar_t* section) {
        for (int i = 0; i < count; ++i) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos && i + 1 < count)
                Bad(std::wstring(L"uma linha da se\u00e7\u00e3o ") + section + L" tem campos de menos");
            out[i] = Number(line.substr(0, tab));
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
    }

    [[noreturn]] void Bad(const std::wstring& what) {
        throw tmb::Exception(L"O cat\u00e1logo \"" + path_ + L"\" n\u00e3o pode ser lido: " + what +
                             L". Foi alterado \u00e0 m\u00e3o?");
    }
    [[noreturn]] void Cut() {
        throw tmb::Exception(L"O cat\u00e1logo \"" + path_ +
                             L"\" est\u00e1 incompleto: o arquivo termina no meio dos dados.");
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::wstring path_;
};

// Whether `text` is in the form names are written in: the inside of a JSON string without a
// control character, a quote or "<" of its own. What is read back in this form is written
// into a new page as it stands (the removed files, the earlier date), where anything else
// could end a field, a line or the page's script element.
bool IsEscapedForm(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '"' || c == '<')
            return false;
        if (c != '\\')
            continue;
        if (++i == text.size())
            return false;
        if (text[i] != 'u') {
            if (std::string_view("\"\\/bfnrt").find(text[i]) == std::string_view::npos)
                return false;
            continue;
        }
        for (int k = 0; k < 4; ++k)
            if (++i == text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])))
                return false;
    }
    return true;
}

bool IsSectionLine(std::string_view line) { return line.size() == 1 && line[0] >= 'A' && line[0] <= 'Z'; }

} // namespace

ReadBack ReadCatalogPage(const std::wstring& path) {
    const std::string page = ReadWholeFile(path);
    const std::string_view text(page);
    const std::wstring notCatalogue = L"O arquivo \"" + path + L"\" n\u00e3o \u00e9 um cat\u00e1logo do Tombarel.";
    const std::size_t id = text.find("id=\"tombarel-dados\"");
    if (id == std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    const std::size_t open = text.find('>', id);
    const std::size_t tagStart = text.rfind('<', id);
    if (open == std::string_view::npos || tagStart == std::string_view::npos ||
        text.substr(tagStart, open - tagStart).find("data-formato=\"tombarel-catalogo\"") == std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    std::size_t close = text.find("</script>", open);
    // Cut short: the data block never ends; the reader below says so at its last line.
    Block block(text.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1),
                path);

    ReadBack result;
    std::string_view first = block.Line();
    while (first.empty())
        first = block.Line();
    const std::size_t tab = first.find('\t');
    if (first.substr(0, tab) != "tombarel-catalogo" || tab == std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    const std::string_view version = first.substr(tab + 1);
    if (version != "1")
        throw tmb::Exception(L"O cat\u00e1logo \"" + path +
                             L"\" foi feito por uma vers\u00e3o mais nova do Tombarel (formato " +
                             tmb::Utf8ToWide(std::string(version.substr(0, 16))) +
                             L"): atualize o Tombarel para l\u00ea-lo.");
    block.Expect("H");
    std::int64_t folders = -1, files = -1;
    for (std::string_view line = block.Line(); line != "N"; line = block.Line()) {
        const std::size_t t = line.find('\t');
        if (t == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, t), value = line.substr(t + 1);
        if (key == "raiz") {
            result.root = UnescapedName(value);
        } else if (key == "data") {
            if (!IsEscapedForm(value))
                block.Bad(L"a data n\u00e3o est\u00e1 escrita como o Tombarel a escreve");
            result.date = std::string(value);
        } else if (key == "ocultos") {
            result.includeHidden = value != "0";
        } else if (key == "pastas") {
            folders = block.Number(value);
        } else if (key == "arquivos") {
            files = block.Number(value);
        } else if (key == "bytes") {
            result.totals.bytes = static_cast<std::uint64_t>(block.Number(value));
        } else if (key == "ilegiveis") {
            result.totals.unreadable = static_cast<std::uint64_t>(block.Number(value));
        }
    }
    if (folders < 1 || files < 0)
        block.Bad(L"faltam os totais de pastas e arquivos");
    // Every entry takes a line of its own at least: totals beyond that were edited.
    if (static_cast<std::uint64_t>(folders) + static_cast<std::uint64_t>(files) > page.size())
        block.Bad(L"os totais passam do que o arquivo pode conter");
    CatalogTree& tree = result.tree;
    std::vector<NameRef> names;
    names.reserve(static_cast<std::size_t>(folders + files));
    for (std::int64_t i = 0; i < folders + files; ++i) {
        const std::string_view name = block.Line();
        if (name.size() > 2048)
            block.Bad(L"um nome \u00e9 comprido demais");
        if (!IsEscapedForm(name))
            block.Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
        names.push_back(tree.names.Add(name));
    }
    block.Expect("P");
    std::int64_t fields[5];
    std::uint64_t fileSum = 0;
    for (std::int64_t i = 0; i < folders; ++i) {
        block.Numbers(block.Line(), fields, 5, L"P");
        FolderRecord f;
        f.name = names[static_cast<std::size_t>(i)];
        if (i > 0 && (fields[0] < 1 || fields[0] > i))
            block.Bad(L"uma pasta tem um pai que n\u00e3o existe");
        f.parent = static_cast<std::uint32_t>(i - (i > 0 ? fields[0] : 0));
        if (fields[1] < 0)
            block.Bad(L"uma pasta tem um n\u00famero de arquivos negativo");
        f.fileCount = static_cast<std::uint32_t>(fields[1]);
        f.attributes = static_cast<std::uint32_t>(fields[2]);
        f.modified = fields[3];
        f.flags = static_cast<std::uint32_t>(fields[4]);
        fileSum += f.fileCount;
        tree.folders.Append(f);
    }
    if (fileSum != static_cast<std::uint64_t>(files))
        block.Bad(L"as pastas somam outro n\u00famero de arquivos que o total");
    block.Expect("F");
    std::uint64_t bytes = 0;
    for (std::int64_t i = 0; i < files; ++i) {
        block.Numbers(block.Line(), fields, 3, L"F");
        FileRecord f;
        f.name = names[static_cast<std::size_t>(folders + i)];
        if (fields[0] < 0)
            block.Bad(L"um arquivo tem tamanho negativo");
        f.size = static_cast<std::uint64_t>(fields[0]);
        f.modified = fields[1];
        f.attributes = static_cast<std::uint32_t>(fields[2]);
        bytes += f.size;
        tree.files.Append(f);
    }
    tree.bytes = bytes;
    block.Expect("E");
    std::string_view line = block.Line();
    for (; line != "." && !IsSectionLine(line); line = block.Line()) {
        block.Numbers(line, fields, 2, L"E");
        if (fields[0] < 0 || fields[0] >= folders)
            block.Bad(L"um erro fala de uma pasta que n\u00e3o existe");
        tree.errors.push_back({static_cast<std::uint32_t>(fields[0]), static_cast<std::uint32_t>(fields[1])});
    }
    // The sections of a comparison, and any a later version adds, are not the tree.
    while (line != ".")
        line = block.Line();
    result.totals.folders = static_cast<std::uint64_t>(folders);
    result.totals.files = static_cast<std::uint64_t>(files);
    if (bytes != result.totals.bytes)
        block.Bad(L"os tamanhos dos arquivos somam outro total");
    return result;
}

} // namespace catalog
