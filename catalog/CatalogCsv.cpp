// The tree's data as CSV for spreadsheets: one streaming pass over the tree's records, merged
// with the comparison's lists (which come in the tree's order). No string is made per entry:
// a row's path is the folder's path, kept in one buffer as the pre-order goes down and up,
// plus the name.
//
// The file is UTF-8 with a byte-order mark (without it Excel reads the bytes in the ANSI code
// page) and its lines end in CR LF, as RFC 4180 writes them and as this program's other text
// files on Windows end; every reader of CSV takes both.
//
// A field holding a comma, a quote, CR or LF is quoted and its quotes doubled. A spreadsheet
// runs a field that begins with "=", "+", "-", "@", tab or CR as a formula (a name can be one
// that builds a link), so a path or name field that begins with one of those gets one
// apostrophe in front, which makes it text; so does one that begins with an apostrophe itself,
// so that a script gets every name back exactly by removing one leading apostrophe from a
// path or name field that has one. Numbers, times and fixed words are never prefixed.
#include "catalog/CatalogCsv.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace catalog {
namespace {

// Seconds since 1970 as "2026-12-07T21:05:09Z" (the proleptic Gregorian calendar, any year).
void AppendIsoTime(std::string& out, std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days since 1970 to a civil date, counting in 400-year eras that begin on 1 March.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const unsigned month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::int64_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    char text[40];
    char* p = text;
    if (year < 0 || year > 9999) {
        p = std::to_chars(p, text + 20, year).ptr;
    } else {
        for (int div = 1000; div; div /= 10)
            *p++ = static_cast<char>('0' + year / div % 10);
    }
    *p++ = '-';
    const auto two = [&p](unsigned v, char after) {
        *p++ = static_cast<char>('0' + v / 10);
        *p++ = static_cast<char>('0' + v % 10);
        *p++ = after;
    };
    two(month, '-');
    two(day, 'T');
    two(static_cast<unsigned>(rest / 3600), ':');
    two(static_cast<unsigned>(rest / 60 % 60), ':');
    two(static_cast<unsigned>(rest % 60), 'Z');
    out.append(text, p);
}

void AppendAttributes(std::string& out, std::uint32_t attributes, bool link) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        out += 'R';
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        out += 'H';
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        out += 'S';
    if (attributes & FILE_ATTRIBUTE_ARCHIVE)
        out += 'A';
    if (link || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        out += 'L';
}

// What the `mudança` column says of a file.
enum class Change { None, Added, Changed, Same, NotCompared, Removed };

std::string_view ChangeWord(Change change) {
    switch (change) {
    case Change::Added: return "adicionado";
    case Change::Changed: return "alterado";
    case Change::Same: return "igual";
    case Change::NotCompared: return "n\xC3\xA3o comparado";
    case Change::Removed: return "removido";
    case Change::None: break;
    }
    return {};
}

class CsvWriter {
public:
    CsvWriter(const CatalogTree& tree, const Changes* changes, Output& out, ProgressGate& gate)
        : tree_(tree), changes_(changes), out_(out), buffer_(out.Text()), gate_(gate) {}

    void Write() {
        buffer_ += "\xEF\xBB\xBF" "caminho,nome,tipo,tamanho,modificado,atributos";
        if (changes_)
            buffer_ += ",mudan\xC3\xA7" "a";
        buffer_ += "\r\n";
        // The folders on the way from the root to the one being written, and where each
        // one's path ends in path_.
        struct Level {
            std::uint32_t folder;
            std::size_t pathEnd;
            bool notCompared;  // this folder or one above it was not compared
        };
        std::vector<Level> levels;
        std::size_t file = 0;
        std::size_t added = 0, changed = 0, removed = 0, notCompared = 0;
        for (std::uint32_t i = 0; i < tree_.folders.Size(); ++i) {
            const FolderRecord& folder = tree_.folders[i];
            bool skipped = false;
            if (changes_) {
                while (notCompared < changes_->notCompared.size() && changes_->notCompared[notCompared] < i)
                    ++notCompared;
                skipped = notCompared < changes_->notCompared.size() && changes_->notCompared[notCompared] == i;
            }
            if (i == 0) {
                levels.push_back({0, 0, skipped});
            } else {
                while (levels.size() > 1 && levels.back().folder != folder.parent)
                    levels.pop_back();
                path_.resize(levels.back().pathEnd);
                if (!path_.empty())
                    path_ += '\\';
                name_.clear();
                AppendUnescapedUtf8(name_, tree_.names[folder.name]);
                path_ += name_;
                levels.push_back({i, path_.size(), skipped || levels.back().notCompared});
                Row(path_, name_, nullptr, folder.modified, folder.attributes, folder.flags & ffLink, Change::None);
            }
            for (const std::size_t end = file + folder.fileCount; file < end; ++file) {
                const FileRecord& record = tree_.files[file];
                name_.clear();
                AppendUnescapedUtf8(name_, tree_.names[record.name]);
                Change change = Change::None;
                if (changes_) {
                    while (added < changes_->added.size() && changes_->added[added] < file)
                        ++added;
                    while (changed < changes_->changed.size() && changes_->changed[changed].file < file)
                        ++changed;
                    if (added < changes_->added.size() && changes_->added[added] == file)
                        change = Change::Added;
                    else if (changed < changes_->changed.size() && changes_->changed[changed].file == file)
                        change = Change::Changed;
                    else
                        change = levels.back().notCompared ? Change::NotCompared : Change::Same;
                }
                FileRow(name_, record.size, record.modified, record.attributes, change);
            }
            // The files that were on this folder's paths before, below it or in folders gone.
            for (; changes_ && removed < changes_->removed.size() && changes_->removed[removed].folder <= i;
                 ++removed) {
                const RemovedFile& gone = changes_->removed[removed];
                if (gone.folder != i)
                    continue;  // not a folder of the tree: never written
                const FileRecord& old = changes_->Old(gone);
                escaped_.clear();
                changes_->AppendPath(escaped_, gone);
                name_.clear();
                AppendUnescapedUtf8(name_, escaped_);
                FileRow(name_, old.size, old.modified, old.attributes, Change::Removed);
            }
        }
    }

private:
    // A file's row; `relative` is its path from the folder being written.
    void FileRow(const std::string& relative, std::uint64_t size, std::int64_t modified,
                 std::uint32_t attributes, Change change) {
        rowPath_.assign(path_);
        if (!rowPath_.empty())
            rowPath_ += '\\';
        rowPath_ += relative;
        const std::size_t slash = relative.find_last_of('\\');
        const std::string_view name =
            slash == std::string::npos ? std::string_view(relative) : std::string_view(relative).substr(slash + 1);
        Row(rowPath_, name, &size, modified, attributes, false, change);
    }

    void Row(std::string_view path, std::string_view name, const std::uint64_t* size, std::int64_t modified,
             std::uint32_t attributes, bool link, Change change) {
        NameField(path);
        buffer_ += ',';
        NameField(name);
        buffer_ += size ? ",arquivo," : ",pasta,";
        if (size) {
            char digits[24];
            buffer_.append(digits, std::to_chars(digits, digits + sizeof(digits), *size).ptr);
        }
        buffer_ += ',';
        AppendIsoTime(buffer_, modified);
        buffer_ += ',';
        AppendAttributes(buffer_, attributes, link);
        if (changes_) {
            buffer_ += ',';
            buffer_ += ChangeWord(change);
        }
        buffer_ += "\r\n";
        out_.Spill();
        gate_.Wrote();
    }

    // A plain loop: find_first_of tries the four characters one call at a time for every
    // byte, and a million rows carry a hundred million bytes of paths.
    static bool NeedsQuotes(std::string_view text) {
        for (const char c : text)
            if (c == ',' || c == '"' || c == '\r' || c == '\n')
                return true;
        return false;
    }

    static bool NeedsApostrophe(std::string_view text) {
        if (text.empty())
            return false;
        const char c = text.front();
        return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == '\'';
    }

    void NameField(std::string_view text) {
        const bool quoted = NeedsQuotes(text);
        if (quoted)
            buffer_ += '"';
        if (NeedsApostrophe(text))
            buffer_ += '\'';
        if (!quoted) {
            buffer_ += text;
            return;
        }
        for (const char c : text) {
            if (c == '"')
                buffer_ += '"';
            buffer_ += c;
        }
        buffer_ += '"';
    }

    const CatalogTree& tree_;
    const Changes* changes_;
    Output& out_;
    std::string& buffer_;  // the output's own buffer: a row is appended in small pieces
    ProgressGate& gate_;
    std::string path_;     // the folder being written, relative to the root
    std::string name_;     // the entry being written, unescaped
    std::string rowPath_;  // a file's path
    std::string escaped_;  // a removed file's path as the page writes it
};

} // namespace

void WriteCsvRows(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate) {
    CsvWriter(tree, facts.changes, out, gate).Write();
}

} // namespace catalog
