// A catalogue's data block read line by line from a page, the one reader of every block
// Tombarel reads back (an earlier catalogue compared with, a collection's volumes): every field
// checked as the writer writes it before anything of it is kept, and every count against the
// others, the same whether the block fills a tree or is only checked while it is copied. What
// Tombarel copies or writes from an earlier page can then neither break the fields nor end the
// data element, and a page edited so that its numbers no longer agree is refused.
#include "catalog/CatalogReader.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

#include "framework/Exception.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

constexpr std::int64_t kMax32 = 0xFFFFFFFFLL;
constexpr std::int64_t kMaxExact = std::int64_t{1} << 53;   // a page's script reads numbers as doubles
constexpr std::int64_t kMaxTime = 8'640'000'000'000LL;      // seconds either side of 1970 a Date holds
constexpr std::size_t kMaxName = 255;                       // UTF-16 units of a Windows name
constexpr std::size_t kMaxPath = 32767;                     // and of a Windows path
constexpr std::size_t kUnitBytes = 6;                       // "\u0000": the longest a unit is written
constexpr std::uint32_t kAllFlags = ffUnreadable | ffLink | ffPartial;
// A catalogue of several million files is far below this; a tree read from a longer block
// could not be held in a 32-bit process beside the one it is compared with.
constexpr std::uint64_t kMaxTreeBlock = std::uint64_t{256} << 20;

bool IsSectionLine(std::string_view line) { return line.size() == 1 && line[0] >= 'A' && line[0] <= 'Z'; }

int Hex(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// The UTF-16 text of `text`, the inside of a JSON string in well-formed UTF-8 (the lines are
// checked for that as they are read); false when it holds an escape JSON does not have, or a
// control character or quote of its own.
bool DecodeJsonText(std::string_view text, std::wstring& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '"')
            return false;
        if (c >= 0x80) {
            const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            unsigned cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
            for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
                cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            if (cp >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            } else {
                out += static_cast<wchar_t>(cp);
            }
            i += n - 1;
            continue;
        }
        if (c != '\\') {
            out += static_cast<wchar_t>(c);
            continue;
        }
        if (++i == text.size())
            return false;
        static constexpr std::string_view kShort = "\"\\/bfnrt", kMeant = "\"\\/\b\f\n\r\t";
        const std::size_t e = kShort.find(text[i]);
        if (e != std::string_view::npos) {
            out += static_cast<wchar_t>(kMeant[e]);
            continue;
        }
        if (text[i] != 'u' || i + 4 >= text.size())
            return false;
        unsigned unit = 0;
        for (std::size_t k = i + 1; k <= i + 4; ++k) {
            const int digit = Hex(text[k]);
            if (digit < 0)
                return false;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        out += static_cast<wchar_t>(unit);
        i += 4;
    }
    return true;
}

// "2026-12-07T21:05:09Z", as the writer writes the time a catalogue was made.
bool IsIsoTime(std::string_view t) {
    static constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:ddZ";
    if (t.size() != kForm.size())
        return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (kForm[i] == 'd' ? t[i] < '0' || t[i] > '9' : t[i] != kForm[i])
            return false;
    const auto two = [&](std::size_t at) { return (t[at] - '0') * 10 + (t[at + 1] - '0'); };
    return two(5) >= 1 && two(5) <= 12 && two(8) >= 1 && two(8) <= 31 && two(11) <= 23 && two(14) <= 59 &&
           two(17) <= 59;
}

// What the checks keep of a folder between its sections, whether or not a tree is filled.
struct FolderCheck {
    std::uint32_t files = 0;
    std::uint16_t units = 0;  // its name's UTF-16 units, then its whole path's
    bool flagged = false;     // not read, or read in part: it has one E line
    bool hasError = false;
};

class BlockReader {
public:
    BlockReader(PageLines& lines, CatalogTree* tree, const LineSink* sink)
        : lines_(lines), tree_(tree), sink_(sink), start_(lines.Offset()) {}

    BlockFacts Read(bool headerOnly) {
        const std::string_view first = Next();
        const std::size_t tab = first.find('\t');
        if (first.substr(0, tab) != "tombarel-catalogo" || tab == std::string_view::npos)
            lines_.NotOurs();
        if (first.substr(tab + 1) != "1")
            throw tmb::Exception(L"O cat\u00e1logo \"" + lines_.Path() +
                                 L"\" foi feito por uma vers\u00e3o mais nova do Tombarel (formato " +
                                 tmb::Utf8ToWide(std::string(first.substr(tab + 1, 16))) +
                                 L"): atualize o Tombarel para l\u00ea-lo.");
        Expect("H");
        ReadHeader();
        if (headerOnly) {
            lines_.SkipPastDot();
            return std::move(facts_);
        }
        ReadNames();
        Expect("P");
        ReadFolders();
        Expect("F");
        ReadFiles();
        Expect("E");
        ReadRest();
        if (tree_)
            tree_->bytes = facts_.totals.bytes;
        return std::move(facts_);
    }

private:
    std::string_view Next() {
        std::string_view line;
        if (!lines_.Next(line))
            lines_.EndedEarly();
        if (tree_ && lines_.Offset() - start_ > kMaxTreeBlock)
            throw tmb::Exception(L"O arquivo \"" + lines_.Path() + L"\" \u00e9 grande demais para ser um cat\u00e1logo.");
        if (sink_)
            (*sink_)(line);
        return line;
    }
    void Expect(std::string_view section) {
        if (Next() != section)
            Bad(L"falta a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(section)));
    }
    [[noreturn]] void Bad(const std::wstring& what) { lines_.Bad(what); }
    [[noreturn]] void OutOfPlace(std::string_view section) {
        Bad(L"a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(section)) + L" est\u00e1 fora do lugar");
    }

    // A number in base 36 (empty is 0) within [low, high]; `where` names its section.
    std::int64_t Number(std::string_view field, std::int64_t low, std::int64_t high, std::wstring_view where) {
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
            if (value > (INT64_MAX - digit) / 36)
                Bad(L"um n\u00famero \u00e9 grande demais");
            value = value * 36 + digit;
        }
        if (negative)
            value = -value;
        if (value < low || value > high)
            Bad(L"um n\u00famero " + std::wstring(where) + L" est\u00e1 fora dos limites do formato");
        return value;
    }
    std::uint32_t Bits32(std::string_view field, std::wstring_view where) {
        return static_cast<std::uint32_t>(Number(field, 0, kMax32, where));
    }
    std::int64_t Time(std::string_view field, std::wstring_view where) { return Number(field, -kMaxTime, kMaxTime, where); }

    // The first `count` fields of a line, separated by tabs (a later version's extra fields
    // are left alone).
    void Fields(std::string_view line, int count, std::wstring_view section) {
        for (int i = 0; i < count; ++i) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos && i + 1 < count)
                Bad(L"uma linha da se\u00e7\u00e3o " + std::wstring(section) + L" tem campos de menos");
            fields_[i] = line.substr(0, tab);
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
    }

    // A name's line in the form the writer gives it (the inside of a JSON string, escaping
    // only what the writer escapes), and its length in UTF-16 units. A name written with
    // other escapes stands for the same name and is put in that form: names are compared and
    // written again as they stand. `root`: the catalogued folder, a whole path.
    std::string_view Name(std::string_view text, bool root, std::size_t& units) {
        const std::size_t limit = root ? kMaxPath : kMaxName;
        if (text.empty())
            Bad(L"um nome est\u00e1 vazio");
        if (text.size() > limit * kUnitBytes)
            Bad(L"um nome \u00e9 comprido demais");
        if (text.find('\\') == std::string_view::npos) {
            units = 0;
            for (const char ch : text) {
                const unsigned char c = static_cast<unsigned char>(ch);
                if (c < 0x20 || c == '"')
                    Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
                if ((c & 0xC0) != 0x80)
                    units += c >= 0xF0 ? 2 : 1;
            }
            if (units > limit)
                Bad(L"um nome \u00e9 comprido demais");
            if (!root && (text == "." || text == ".."))
                Bad(L"um nome n\u00e3o \u00e9 nome de arquivo");
            return text;
        }
        if (!DecodeJsonText(text, wide_))
            Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
        units = wide_.size();
        if (units > limit)
            Bad(L"um nome \u00e9 comprido demais");
        // A backslash would make a removed file's path ambiguous; no name holds one, nor NUL.
        if (wide_.find(L'\0') != std::wstring::npos || (!root && (wide_.find(L'\\') != std::wstring::npos ||
                                                                  wide_ == L"." || wide_ == L"..")))
            Bad(L"um nome n\u00e3o \u00e9 nome de arquivo");
        canonical_.clear();
        AppendEscapedUtf8(canonical_, wide_);
        return canonical_;
    }
    // A header's text (a path, a label): the inside of a JSON string, maybe empty.
    std::wstring Text(std::string_view value, std::size_t limit) {
        if (value.size() > limit * kUnitBytes || !DecodeJsonText(value, wide_) || wide_.size() > limit)
            Bad(L"um texto do cabe\u00e7alho n\u00e3o se entende");
        return wide_;
    }

    // The header: each key this reader knows once (but "excluir", one line a pattern), its
    // value in its form; others are a later version's and are skipped.
    void ReadHeader() {
        static constexpr std::string_view kKeys[] = {
            "raiz",    "data",       "ocultos", "pastas",    "arquivos",  "bytes",      "ilegiveis", "anterior",
            "volume",  "rotulo",     "sistema", "abaixo",    "serie",     "unidade",    "capacidade", "livre",
            "base",    "comparado",  "excluidos", "adicionados", "removidos", "alterados", "ganhos",  "perdidos",
            "excluir"};
        static constexpr std::size_t kRepeated = std::size(kKeys) - 1;
        const std::wstring_view where = L"do cabe\u00e7alho";
        BlockFacts& f = facts_;
        std::uint32_t seen = 0;
        folders_ = files_ = -1;
        for (std::string_view line = Next(); line != "N"; line = Next()) {
            if (IsSectionLine(line))
                OutOfPlace(line);
            const std::size_t t = line.find('\t');
            if (t == std::string_view::npos || t == 0)
                Bad(L"uma linha do cabe\u00e7alho n\u00e3o se entende");
            const std::string_view key = line.substr(0, t), value = line.substr(t + 1);
            std::size_t which = 0;
            while (which < std::size(kKeys) && kKeys[which] != key)
                ++which;
            if (which == std::size(kKeys))
                continue;
            if (which < kRepeated && (seen & (1u << which)))
                Bad(L"o cabe\u00e7alho repete \"" + tmb::Utf8ToWide(std::string(key)) + L"\"");
            seen |= 1u << which;
            std::size_t units = 0;
            switch (which) {
            case 0: f.root = UnescapedName(Name(value, true, units)); break;
            case 1:
            case 7:
                if (!IsIsoTime(value))
                    Bad(L"a data n\u00e3o est\u00e1 escrita como o Tombarel a escreve");
                if (which == 1)
                    f.date = std::string(value);
                break;
            case 2:
                if (value != "0" && value != "1")
                    Bad(L"o cabe\u00e7alho \"ocultos\" n\u00e3o \u00e9 0 nem 1");
                f.includeHidden = value == "1";
                break;
            case 3: folders_ = Number(value, 1, kMax32, where); break;
            case 4: files_ = Number(value, 0, kMax32, where); break;
            case 5: f.totals.bytes = static_cast<std::uint64_t>(Number(value, 0, kMaxExact, where)); break;
            case 6: f.totals.unreadable = Bits32(value, where); break;
            case 8: f.volumeName = Text(value, kMaxPath); break;
            case 9: f.label = Text(value, kMaxName); break;
            case 10: f.fileSystem = Text(value, kMaxName); break;
            case 11: f.below = Text(value, kMaxPath); break;
            case 12:
                if (!value.empty() && (value.size() != 8 || value.find_first_not_of("0123456789ABCDEF") != std::string_view::npos))
                    Bad(L"o n\u00famero de s\u00e9rie n\u00e3o se entende");
                f.serial = std::string(value);
                break;
            case 13:
                if (!value.empty() && value != "fixo" && value != "removivel" && value != "cd" && value != "rede" &&
                    value != "ram")
                    Bad(L"o tipo de unidade n\u00e3o se entende");
                f.driveKind = std::string(value);
                break;
            case 14: f.capacity = static_cast<std::uint64_t>(Number(value, 0, kMaxExact, where)); break;
            case 15: f.free = static_cast<std::uint64_t>(Number(value, 0, kMaxExact, where)); break;
            case 16:
            case 17:
            case kRepeated: Text(value, kMaxPath); break;
            default: {
                const std::int64_t count = Number(value, 0, kMaxExact, where);
                if (which >= 19 && which <= 21)  // adicionados, removidos, alterados
                    changes_[which - 19] = count;
            }
            }
        }
        if (folders_ < 1 || files_ < 0)
            Bad(L"faltam os totais de pastas e arquivos");
        // Both go into a page compared with this one: neither may be missing.
        if (f.root.empty())
            Bad(L"falta a pasta catalogada");
        if (f.date.empty())
            Bad(L"falta a data");
        if (f.volumeName.empty())
            f.volumeName = f.root;  // written before volumes had names
        // A folder takes seven bytes at least (its name's line and its line in P), a file five:
        // totals beyond what is left of the file were edited, and nothing is set aside for them.
        if (static_cast<std::uint64_t>(folders_) * 7 + static_cast<std::uint64_t>(files_) * 5 > lines_.Left() + 1)
            Bad(L"os totais passam do que o arquivo pode conter");
        f.totals.folders = static_cast<std::uint64_t>(folders_);
        f.totals.files = static_cast<std::uint64_t>(files_);
    }

    // Names, straight into the records they name when a tree is filled.
    void ReadNames() {
        for (std::int64_t i = 0; i < folders_ + files_; ++i) {
            std::size_t units = 0;
            const std::string_view name = Name(Next(), i == 0, units);
            if (i < folders_) {
                folderChecks_.push_back({});
                folderChecks_.back().units = static_cast<std::uint16_t>(units);
            } else {
                fileUnits_.push_back(static_cast<std::uint8_t>(units));
            }
            if (!tree_)
                continue;
            const NameRef ref = tree_->names.Add(name);
            if (i < folders_) {
                FolderRecord f;
                f.name = ref;
                tree_->folders.Append(f);
            } else {
                FileRecord f;
                f.name = ref;
                tree_->files.Append(f);
            }
        }
    }

    // Folders: each after its parent, in pre-order; every path within a Windows path's length.
    void ReadFolders() {
        const std::wstring_view where = L"da se\u00e7\u00e3o P";
        std::vector<std::uint32_t> way;  // the folders from the root to the last one read
        std::uint64_t fileSum = 0;
        for (std::int64_t i = 0; i < folders_; ++i) {
            Fields(Next(), 5, L"P");
            FolderRecord f;
            f.parent = static_cast<std::uint32_t>(i - Number(fields_[0], i > 0 ? 1 : 0, i, where));
            f.fileCount = Bits32(fields_[1], where);
            f.attributes = Bits32(fields_[2], where);
            f.modified = Time(fields_[3], where);
            f.flags = static_cast<std::uint32_t>(Number(fields_[4], 0, kAllFlags, where));
            FolderCheck& check = folderChecks_[static_cast<std::size_t>(i)];
            check.files = f.fileCount;
            check.flagged = (f.flags & (ffUnreadable | ffPartial)) != 0;
            flagged_ += check.flagged;
            fileSum += f.fileCount;
            std::size_t units = check.units;
            if (i > 0) {
                while (!way.empty() && way.back() != f.parent)
                    way.pop_back();
                if (way.empty())
                    Bad(L"as pastas n\u00e3o est\u00e3o na ordem em que o Tombarel as escreve");
                units += folderChecks_[way.back()].units + 1;
            }
            if (units > kMaxPath)
                Bad(L"um caminho passa de 32.767 caracteres");
            way.push_back(static_cast<std::uint32_t>(i));
            check.units = static_cast<std::uint16_t>(units);
            if (tree_) {
                FolderRecord& record = tree_->folders[static_cast<std::size_t>(i)];
                f.name = record.name;
                record = f;
            }
        }
        if (fileSum != static_cast<std::uint64_t>(files_))
            Bad(L"as pastas somam outro n\u00famero de arquivos que o total");
    }

    void ReadFiles() {
        const std::wstring_view where = L"da se\u00e7\u00e3o F";
        std::uint64_t bytes = 0;
        std::size_t folder = 0, folderEnd = 0;
        for (std::size_t j = 0; j < static_cast<std::size_t>(files_); ++j) {
            Fields(Next(), 3, L"F");
            const auto size = static_cast<std::uint64_t>(Number(fields_[0], 0, kMaxExact, where));
            const std::int64_t modified = Time(fields_[1], where);
            const std::uint32_t attributes = Bits32(fields_[2], where);
            // Each size is below 2^53: the sum cannot wrap before it passes the largest total.
            bytes += size;
            if (bytes > static_cast<std::uint64_t>(kMaxExact))
                Bad(L"os tamanhos dos arquivos somam outro total");
            while (j >= folderEnd && folder < folderChecks_.size())
                folderEnd += folderChecks_[folder++].files;
            if (std::size_t{folderChecks_[folder - 1].units} + 1 + fileUnits_[j] > kMaxPath)
                Bad(L"um caminho passa de 32.767 caracteres");
            if (tree_) {
                FileRecord& f = tree_->files[j];
                f.size = size;
                f.modified = modified;
                f.attributes = attributes;
            }
        }
        if (bytes != facts_.totals.bytes)
            Bad(L"os tamanhos dos arquivos somam outro total");
    }

    // Errors: one for every folder not read, or read in part. Then the sections of a
    // comparison, checked as the page reads them, and any a later version adds, skipped; each
    // at most once and none of the tree's again.
    void ReadRest() {
        std::uint64_t errors = 0;
        std::string_view line = Next();
        for (; line != "." && !IsSectionLine(line); line = Next()) {
            const std::wstring_view where = L"da se\u00e7\u00e3o E";
            Fields(line, 3, L"E");
            const auto at = static_cast<std::size_t>(Number(fields_[0], 0, folders_ - 1, where));
            const std::uint32_t code = Bits32(fields_[1], where);
            FolderCheck& check = folderChecks_[at];
            if (!check.flagged || check.hasError)
                Bad(L"um erro fala de uma pasta que n\u00e3o existe ou que foi lida");
            check.hasError = true;
            ++errors;
            std::size_t units = 0;
            if (!fields_[2].empty())
                Name(fields_[2], true, units);
            if (tree_)
                tree_->errors.push_back({static_cast<std::uint32_t>(at), code});
        }
        if (errors != flagged_ || facts_.totals.unreadable != flagged_)
            Bad(L"as pastas n\u00e3o lidas n\u00e3o conferem com os erros e o total");
        unsigned sections = 0;
        std::int64_t changes[3] = {};  // the lines of A, R and C, as the header counts them
        while (line != ".") {
            const char section = line[0];
            const unsigned letter = 1u << (section - 'A');
            if ((sections & letter) || std::string_view("HNPFE").find(section) != std::string_view::npos)
                OutOfPlace(line);
            sections |= letter;
            const std::size_t counted = std::string_view("ARC").find(section);
            for (line = Next(); line != "." && !IsSectionLine(line); line = Next()) {
                Compared(section, line);
                if (counted != std::string_view::npos)
                    ++changes[counted];
            }
        }
        if (!std::equal(std::begin(changes), std::end(changes), std::begin(changes_)))
            Bad(L"as se\u00e7\u00f5es da compara\u00e7\u00e3o n\u00e3o conferem com o cabe\u00e7alho");
    }

    // A line of a comparison's section, as the page will read it.
    void Compared(char section, std::string_view line) {
        const std::wstring where = std::wstring(L"da se\u00e7\u00e3o ") + static_cast<wchar_t>(section);
        switch (section) {
        case 'A':
        case 'X':
            Fields(line, 1, std::wstring(1, static_cast<wchar_t>(section)));
            Number(fields_[0], 0, (section == 'A' ? files_ : folders_) - 1, where);
            break;
        case 'C':
            Fields(line, 3, std::wstring(1, static_cast<wchar_t>(section)));
            Number(fields_[0], 0, files_ - 1, where);
            Number(fields_[1], 0, kMaxExact, where);
            Time(fields_[2], where);
            break;
        case 'R':
            Fields(line, 5, std::wstring(1, static_cast<wchar_t>(section)));
            Number(fields_[0], 0, folders_ - 1, where);
            if (fields_[1].empty() || fields_[1].size() > kMaxPath * kUnitBytes || !DecodeJsonText(fields_[1], wide_) ||
                wide_.size() > kMaxPath)
                Bad(L"o caminho de um arquivo removido n\u00e3o se entende");
            Number(fields_[2], 0, kMaxExact, where);
            Time(fields_[3], where);
            Bits32(fields_[4], where);
            break;
        default:
            break;
        }
    }

    PageLines& lines_;
    CatalogTree* tree_;
    const LineSink* sink_;
    std::uint64_t start_;
    BlockFacts facts_;
    std::int64_t folders_ = 0, files_ = 0;
    std::uint64_t flagged_ = 0;
    std::int64_t changes_[3] = {};  // adicionados, removidos, alterados (none: 0)
    std::string_view fields_[5];
    std::vector<FolderCheck> folderChecks_;
    std::vector<std::uint8_t> fileUnits_;  // each file name's UTF-16 units (at most 255)
    std::wstring wide_;
    std::string canonical_;
};

} // namespace

BlockFacts ReadBlock(PageLines& lines, CatalogTree* tree, const LineSink& sink) {
    return BlockReader(lines, tree, sink ? &sink : nullptr).Read(false);
}

BlockFacts ReadBlockHeader(PageLines& lines) { return BlockReader(lines, nullptr, nullptr).Read(true); }

ReadBack ReadCatalogPage(const std::wstring& path) {
    PageLines lines(path);
    if (lines.FindData() != "tombarel-catalogo")
        lines.NotOurs();
    ReadBack result;
    BlockFacts facts = ReadBlock(lines, &result.tree);
    lines.ExpectEnd();
    result.root = std::move(facts.root);
    result.date = std::move(facts.date);
    result.includeHidden = facts.includeHidden;
    result.totals = facts.totals;
    return result;
}

} // namespace catalog
