// A catalogue's data block read line by line from a page: every field checked as the writer
// writes it before anything of it is kept, so that what Tombarel copies or writes from an
// earlier page can neither break the fields nor end the data element, and a page edited so
// that its numbers no longer agree is refused.
#include "catalog/CatalogReader.h"

#include <cctype>
#include <cstdint>
#include <string_view>

#include "framework/Exception.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

// The page's script reads numbers as doubles: beyond 2^53 they would no longer be exact.
constexpr std::int64_t kLargestExact = std::int64_t{1} << 53;
// Seconds a browser's Date holds on either side of 1970.
constexpr std::int64_t kLargestTime = 8640000000000;
// A name is at most 255 UTF-16 units, six bytes each when escaped; the root a whole path.
constexpr std::size_t kLongestName = 255 * 6;
constexpr std::size_t kLongestPath = 32767 * 6;

bool IsSectionLine(std::string_view line) { return line.size() == 1 && line[0] >= 'A' && line[0] <= 'Z'; }

class BlockReader {
public:
    BlockReader(PageLines& lines, CatalogTree* tree) : lines_(lines), tree_(tree) {}

    BlockFacts Read() {
        std::string_view line = Next();
        const std::size_t tab = line.find('\t');
        if (line.substr(0, tab) != "tombarel-catalogo" || tab == std::string_view::npos)
            lines_.NotOurs();
        if (line.substr(tab + 1) != "1")
            throw tmb::Exception(L"O cat\u00e1logo \"" + lines_.Path() +
                                 L"\" foi feito por uma vers\u00e3o mais nova do Tombarel (formato " +
                                 tmb::Utf8ToWide(std::string(line.substr(tab + 1, 16))) +
                                 L"): atualize o Tombarel para l\u00ea-lo.");
        Expect("H");
        ReadHeader();
        ReadNames();
        Expect("P");
        ReadFolders();
        Expect("F");
        ReadFiles();
        Expect("E");
        line = Next();
        for (; line != "." && !IsSectionLine(line); line = Next()) {
            Numbers(line, 2, L"E", true);
            if (fields_[0] < 0 || fields_[0] >= folders_)
                Bad(L"um erro fala de uma pasta que n\u00e3o existe");
            if (tree_)
                tree_->errors.push_back({static_cast<std::uint32_t>(fields_[0]), static_cast<std::uint32_t>(fields_[1])});
        }
        // A comparison's sections are checked as the page reads them; a later version's are
        // skipped (their lines are already known to hold nothing that is not data).
        while (line != ".") {
            const char section = line[0];
            for (line = Next(); line != "." && !IsSectionLine(line); line = Next())
                Compared(section, line);
        }
        if (counted_.bytes != facts_.totals.bytes)
            Bad(L"os tamanhos dos arquivos somam outro total");
        if (counted_.unreadable != facts_.totals.unreadable)
            Bad(L"as pastas n\u00e3o lidas s\u00e3o outras que o total");
        facts_.totals.folders = static_cast<std::uint64_t>(folders_);
        facts_.totals.files = static_cast<std::uint64_t>(files_);
        if (tree_)
            tree_->bytes = counted_.bytes;
        return std::move(facts_);
    }

private:
    std::string_view Next() {
        std::string_view line;
        if (!lines_.Next(line))
            lines_.CutShort();
        return line;
    }
    void Expect(std::string_view section) {
        if (Next() != section)
            Bad(L"falta a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(section)));
    }
    [[noreturn]] void Bad(const std::wstring& what) { lines_.Bad(what); }

    // A number in base 36 (empty is 0), within `low`..`high`.
    std::int64_t Number(std::string_view field, std::int64_t low, std::int64_t high) {
        bool negative = false;
        if (!field.empty() && field[0] == '-') {
            negative = true;
            field.remove_prefix(1);
            if (field.empty())
                Bad(L"um n\u00famero n\u00e3o se entende");
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
            if (value > (kLargestExact - digit) / 36)
                Bad(L"um n\u00famero \u00e9 grande demais");
            value = value * 36 + digit;
        }
        if (negative)
            value = -value;
        if (value < low || value > high)
            Bad(L"um n\u00famero est\u00e1 fora do que pode ser");
        return value;
    }
    std::int64_t Count(std::string_view field) { return Number(field, 0, kLargestExact); }

    // The first `count` tab-separated fields of a line of numbers into fields_ (a later
    // version's extra fields are left alone); with `lastIsText`, the last one is an escaped
    // text, kept as it stands.
    void Numbers(std::string_view line, int count, const wchar_t* section, bool lastIsText = false) {
        for (int i = 0; i < count; ++i) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos && i + 1 < count)
                Bad(std::wstring(L"uma linha da se\u00e7\u00e3o ") + section + L" tem campos de menos");
            const std::string_view field = line.substr(0, tab);
            if (lastIsText && i + 1 == count) {
                if (!IsEscapedForm(field))
                    Bad(std::wstring(L"um texto da se\u00e7\u00e3o ") + section + L" n\u00e3o se entende");
            } else {
                fields_[i] = Number(field, -kLargestExact, kLargestExact);
            }
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
    }
    std::uint32_t Bits32(int i) {
        if (fields_[i] < 0 || fields_[i] > 0xFFFFFFFFll)
            Bad(L"um n\u00famero est\u00e1 fora do que pode ser");
        return static_cast<std::uint32_t>(fields_[i]);
    }
    std::int64_t Time(int i) {
        if (fields_[i] < -kLargestTime || fields_[i] > kLargestTime)
            Bad(L"uma data est\u00e1 fora do que pode ser");
        return fields_[i];
    }

    // Whether `text` is in the form names are written in: the inside of a JSON string, no
    // control character, quote or "<" of its own, only JSON's escapes.
    static bool IsEscapedForm(std::string_view text) {
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
    // "2026-12-07T21:05:09Z", and nothing else.
    static bool IsIsoTime(std::string_view text) {
        static constexpr std::string_view form = "dddd-dd-ddTdd:dd:ddZ";
        if (text.size() != form.size())
            return false;
        for (std::size_t i = 0; i < form.size(); ++i)
            if (form[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != form[i])
                return false;
        return true;
    }
    std::wstring Text(std::string_view value, std::size_t longest) {
        if (value.size() > longest || !IsEscapedForm(value))
            Bad(L"um texto do cabe\u00e7alho n\u00e3o se entende");
        return UnescapedName(value);
    }

    void ReadHeader() {
        folders_ = files_ = -1;
        for (std::string_view line = Next(); line != "N"; line = Next()) {
            if (IsSectionLine(line))
                Bad(L"falta a se\u00e7\u00e3o N");
            const std::size_t t = line.find('\t');
            if (t == std::string_view::npos)
                continue;
            const std::string_view key = line.substr(0, t), value = line.substr(t + 1);
            BlockFacts& f = facts_;
            if (key == "raiz") {
                f.root = Text(value, kLongestPath);
            } else if (key == "data" || key == "anterior") {
                if (!IsIsoTime(value))
                    Bad(L"uma data n\u00e3o est\u00e1 escrita como o Tombarel a escreve");
                if (key == "data")
                    f.date = std::string(value);
            } else if (key == "ocultos") {
                f.includeHidden = value != "0";
            } else if (key == "pastas") {
                folders_ = Count(value);
            } else if (key == "arquivos") {
                files_ = Count(value);
            } else if (key == "bytes") {
                f.totals.bytes = static_cast<std::uint64_t>(Count(value));
            } else if (key == "ilegiveis") {
                f.totals.unreadable = static_cast<std::uint64_t>(Count(value));
            } else if (key == "volume") {
                f.volumeName = Text(value, kLongestPath);
            } else if (key == "rotulo") {
                f.label = Text(value, kLongestName);
            } else if (key == "sistema") {
                f.fileSystem = Text(value, kLongestName);
            } else if (key == "abaixo") {
                f.below = Text(value, kLongestPath);
            } else if (key == "serie") {
                if (!value.empty() && (value.size() != 8 || value.find_first_not_of("0123456789ABCDEF") != std::string_view::npos))
                    Bad(L"o n\u00famero de s\u00e9rie n\u00e3o se entende");
                f.serial = std::string(value);
            } else if (key == "unidade") {
                if (!value.empty() && value != "fixo" && value != "removivel" && value != "cd" && value != "rede" &&
                    value != "ram")
                    Bad(L"o tipo de unidade n\u00e3o se entende");
                f.driveKind = std::string(value);
            } else if (key == "capacidade") {
                f.capacity = static_cast<std::uint64_t>(Count(value));
            } else if (key == "livre") {
                f.free = static_cast<std::uint64_t>(Count(value));
            } else if (key == "base" || key == "comparado" || key == "excluir") {
                Text(value, kLongestPath);
            } else if (key == "excluidos" || key == "adicionados" || key == "removidos" || key == "alterados" ||
                       key == "ganhos" || key == "perdidos") {
                Count(value);
            }
        }
        if (folders_ < 1 || files_ < 0)
            Bad(L"faltam os totais de pastas e arquivos");
        if (facts_.root.empty())
            Bad(L"falta a pasta catalogada");
        if (facts_.volumeName.empty())
            facts_.volumeName = facts_.root;  // written before volumes had names
    }

    void ReadNames() {
        for (std::int64_t i = 0; i < folders_ + files_; ++i) {
            const std::string_view name = Next();
            if (name.empty() || IsSectionLine(name) || name == ".")
                Bad(L"faltam nomes");
            if (name.size() > (i == 0 ? kLongestPath : kLongestName))
                Bad(L"um nome \u00e9 comprido demais");
            if (!IsEscapedForm(name))
                Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
            // A name below the root holds no backslash: it would read as a path.
            if (i > 0 && name.find("\\\\") != std::string_view::npos)
                Bad(L"um nome tem uma barra invertida");
            if (tree_)
                names_.push_back(tree_->names.Add(name));
        }
    }

    void ReadFolders() {
        std::uint64_t fileSum = 0;
        for (std::int64_t i = 0; i < folders_; ++i) {
            Numbers(Next(), 5, L"P");
            if (i > 0 && (fields_[0] < 1 || fields_[0] > i))
                Bad(L"uma pasta tem um pai que n\u00e3o existe");
            FolderRecord f;
            f.parent = static_cast<std::uint32_t>(i - (i > 0 ? fields_[0] : 0));
            f.fileCount = Bits32(1);
            f.attributes = Bits32(2);
            f.modified = Time(3);
            f.flags = Bits32(4);
            if (f.flags & ~std::uint32_t{ffUnreadable | ffLink | ffPartial})
                Bad(L"uma pasta tem marcas que n\u00e3o existem");
            if (f.flags & (ffUnreadable | ffPartial))
                ++counted_.unreadable;
            fileSum += f.fileCount;
            if (tree_) {
                f.name = names_[static_cast<std::size_t>(i)];
                tree_->folders.Append(f);
            }
        }
        if (fileSum != static_cast<std::uint64_t>(files_))
            Bad(L"as pastas somam outro n\u00famero de arquivos que o total");
    }

    void ReadFiles() {
        for (std::int64_t i = 0; i < files_; ++i) {
            Numbers(Next(), 3, L"F");
            FileRecord f;
            if (fields_[0] < 0)
                Bad(L"um arquivo tem tamanho negativo");
            f.size = static_cast<std::uint64_t>(fields_[0]);
            f.modified = Time(1);
            f.attributes = Bits32(2);
            counted_.bytes += f.size;
            if (counted_.bytes > static_cast<std::uint64_t>(kLargestExact))
                Bad(L"os tamanhos somam mais do que pode ser");
            if (tree_) {
                f.name = names_[static_cast<std::size_t>(folders_ + i)];
                tree_->files.Append(f);
            }
        }
    }

    // A line of a comparison's section, as the page will read it.
    void Compared(char section, std::string_view line) {
        switch (section) {
        case 'A':
            Numbers(line, 1, L"A");
            if (fields_[0] < 0 || fields_[0] >= files_)
                Bad(L"um arquivo adicionado n\u00e3o existe");
            break;
        case 'C':
            Numbers(line, 3, L"C");
            if (fields_[0] < 0 || fields_[0] >= files_ || fields_[1] < 0)
                Bad(L"um arquivo alterado n\u00e3o existe");
            Time(2);
            break;
        case 'R': {
            const std::size_t tab = line.find('\t');
            Numbers(line.substr(0, tab), 1, L"R");
            if (fields_[0] < 0 || fields_[0] >= folders_ || tab == std::string_view::npos)
                Bad(L"um arquivo removido n\u00e3o tem pasta");
            const std::string_view rest = line.substr(tab + 1);
            const std::size_t pathEnd = rest.find('\t');
            if (pathEnd == std::string_view::npos || pathEnd == 0 || !IsEscapedForm(rest.substr(0, pathEnd)))
                Bad(L"o caminho de um arquivo removido n\u00e3o se entende");
            Numbers(rest.substr(pathEnd + 1), 3, L"R");
            if (fields_[0] < 0)
                Bad(L"um arquivo removido tem tamanho negativo");
            Time(1);
            Bits32(2);
            break;
        }
        case 'X':
            Numbers(line, 1, L"X");
            if (fields_[0] < 0 || fields_[0] >= folders_)
                Bad(L"uma pasta n\u00e3o comparada n\u00e3o existe");
            break;
        default:
            break;
        }
    }

    PageLines& lines_;
    CatalogTree* tree_;
    BlockFacts facts_;
    Totals counted_;
    std::int64_t folders_ = 0, files_ = 0;
    std::int64_t fields_[5] = {};
    std::vector<NameRef> names_;
};

} // namespace

BlockFacts ReadBlock(PageLines& lines, CatalogTree* tree) { return BlockReader(lines, tree).Read(); }

} // namespace catalog
