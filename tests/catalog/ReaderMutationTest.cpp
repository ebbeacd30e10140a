// An earlier catalogue is input from anywhere: a real one, written by the program, is mutated
// a few hundred ways, and each must either be refused (its name in the message, nothing
// written) or give a new page whose data block is sound. TOMBAREL_SEED=n replays a run.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string_view>

#include "catalog/Catalog.h"
#include "catalog/CatalogReader.h"
#include "framework/Handles.h"
#include "tests/support/TestFolders.h"

namespace {

std::vector<std::string> Split(std::string_view text, char by) {
    std::vector<std::string> parts;
    for (std::size_t at = 0;; ) {
        const std::size_t end = text.find(by, at);
        parts.emplace_back(text.substr(at, end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}

std::string Base36(std::int64_t v) {
    std::string digits;
    for (std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : v; u; u /= 36)
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % 36]);
    return (v < 0 ? "-" : "") + digits;
}

std::int64_t FromBase36(const std::string& s) { return s.empty() ? 0 : std::stoll(s, nullptr, 36); }

bool IsNumber(std::string_view f) {
    if (!f.empty() && f[0] == '-')
        f.remove_prefix(1);
    return f.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz") == std::string_view::npos;
}

// The inside of a JSON string, as the format writes names: valid escapes, no control
// character or quote of its own.
bool IsEscaped(std::string_view f) {
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (static_cast<unsigned char>(f[i]) < 0x20 || f[i] == '"')
            return false;
        if (f[i] != '\\')
            continue;
        if (++i == f.size())
            return false;
        if (f[i] == 'u') {
            const std::string_view hex = f.substr(i + 1, 4);
            if (hex.size() != 4 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
                return false;
            i += 4;
        } else if (std::string_view("\"\\/bfnrt").find(f[i]) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// What is wrong with the data block of a page the program wrote, or nothing: no "<" in it,
// every line of every section with the fields and forms the format gives, every count right.
std::string Unsound(const std::string& page) {
    const std::size_t begin = page.find('>', page.find("id=\"tombarel-dados\"")) + 1;
    const std::size_t end = page.find("</script>", begin);
    const std::string_view block = std::string_view(page).substr(begin, end - begin);
    if (block.find('<') != std::string_view::npos)
        return "a raw < in the data block";
    const std::vector<std::string> lines = Split(block, '\n');
    if (lines.size() < 4 || lines[0] != "tombarel-catalogo\t1" || lines[1] != "H" || lines.end()[-2] != "." ||
        !lines.back().empty())
        return "the block's first or last lines";
    // n: a number; s: an escaped text, not empty; e: one that may be.
    static const std::map<char, std::string> kForms = {{'N', "s"},   {'P', "nnnnn"}, {'F', "nnn"}, {'E', "nne"},
                                                       {'A', "n"},   {'C', "nnn"},   {'R', "nsnnn"}, {'X', "n"}};
    std::map<std::string, std::string> head;
    std::map<char, std::int64_t> counts;
    char section = 'H';
    for (std::size_t i = 2; i + 2 < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], '\t');
        if (lines[i].size() == 1 && kForms.count(lines[i][0]) && !counts.count(lines[i][0])) {
            section = lines[i][0];
            counts[section] = 0;
            continue;
        }
        const std::string form = section == 'H' ? "se" : kForms.at(section);
        if (fields.size() != form.size())
            return "a line of " + std::string(1, section) + " with " + std::to_string(fields.size()) + " fields";
        for (std::size_t k = 0; k < form.size(); ++k)
            if (form[k] == 'n' ? !IsNumber(fields[k]) : !IsEscaped(fields[k]) || (form[k] == 's' && fields[k].empty()))
                return "a field of " + std::string(1, section) + ": " + lines[i];
        if (section == 'H')
            head[fields[0]] = fields[1];
        ++counts[section];
    }
    const std::int64_t m = FromBase36(head["pastas"]), f = FromBase36(head["arquivos"]);
    if (counts['N'] != m + f || counts['P'] != m || counts['F'] != f || !counts.count('E') ||
        counts['A'] != FromBase36(head["adicionados"]) || counts['C'] != FromBase36(head["alterados"]) ||
        counts['R'] != FromBase36(head["removidos"]))
        return "a section's count";
    return {};
}

// A mutation of the data block's lines: what it does, and whether it must be refused.
struct Mutant {
    std::string page;
    bool mustRefuse = false;
    std::string what;
    bool mustRead = false;
};

class Mutator {
public:
    Mutator(const std::string& page, std::mt19937& random) : random_(random) {
        begin_ = page.find('>', page.find("id=\"tombarel-dados\"")) + 1;
        end_ = page.find("</script>", begin_);
        prefix_ = page.substr(0, begin_);
        suffix_ = page.substr(end_);
        lines_ = Split(std::string_view(page).substr(begin_, end_ - begin_ - 1), '\n');
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].size() == 1)
                at_[lines_[i][0]] = i;
        page_ = &page;
    }

    static constexpr int kKinds = 14;

    Mutant Make(int kind) {
        std::vector<std::string> l = lines_;
        Mutant m{{}, true, {}};
        const std::size_t n = at_['N'], p = at_['P'], f = at_['F'], e = at_['E'], dot = at_['.'];
        const std::size_t folders = f - p - 1, any = Pick(1, dot + 1);
        static const std::pair<std::string, bool> kNames[] = {
            {"</SCRIPT><img src=x onerror=alert(1)>", true}, {"</script ", true}, {"</script/", true},
            {"</scriptx", true}, {"<!--", true}, {"\t", true}, {"\x01", true}, {"\rx", true}, {std::string("\0", 1), true},
            {"\\x", true}, {"\\u12", true}, {"\\u12g4", true}, {"\"", true}, {"\xff", true}, {"\xc3", true},
            {"\xed\xa0\x80", true}, {"\xc0\xaf", true}, {"\\u0000", true}, {"\\\\", true},
            {"\\ud800", false}, {"\\u003c", false}, {"\\n", false}, {"\xc3\xa9\xe6\x97\xa5", false}};
        switch (kind) {
        case 0: {  // cut anywhere near the block
            const std::size_t at = Pick(begin_ - 40, end_ + 12);
            return {page_->substr(0, at), false, "cut at " + std::to_string(at)};
        }
        case 1: l.erase(l.begin() + any); m = {{}, false, "line dropped"}; break;
        case 2: l.insert(l.begin() + any, l[any]); m = {{}, false, "line repeated"}; break;
        case 3: std::swap(l[any], l[Pick(1, dot + 1)]); m = {{}, false, "lines swapped"}; break;
        case 4: {  // a section after E again, or one of the tree's
            const char letter = "HNPFEACRX"[Pick(0, 9)];
            l.insert(l.begin() + Pick(e + 1, dot + 1), std::string(1, letter));
            m.what = std::string("section ") + letter + " again";
            break;
        }
        case 5: {  // a section's line moved
            const std::size_t from = std::vector<std::size_t>{n, p, f, e, dot}[Pick(0, 5)], to = Pick(1, dot + 1);
            const std::string line = l[from];
            l.erase(l.begin() + from);
            l.insert(l.begin() + std::min(to, l.size()), line);
            m = {{}, false, "section moved"};
            break;
        }
        case 6: {  // a number out of range or malformed
            const bool inP = Pick(0, 2) == 0;
            const std::size_t row = inP ? Pick(p + 1, f) : Pick(f + 1, e), field = Pick(0, inP ? 5 : 3);
            std::vector<std::string> fields = Split(l[row], '\t');
            const std::int64_t now = FromBase36(fields[field]), index = static_cast<std::int64_t>(row - p - 1);
            const std::int64_t time = 8'640'000'000'001LL;
            using Values = std::vector<std::vector<std::string>>;
            const std::vector<std::string> out =
                (!inP ? Values{{"-1", Base36((1LL << 53) + 1), Base36(now + 1)}, {Base36(time), Base36(-time)},
                               {"-1", Base36(1LL << 32)}}
                      : Values{{index ? "0" : "1", Base36(index + 1), "-1"},
                               {"-1", Base36(now + 1), Base36(now - 1)},
                               {"-1", Base36(1LL << 32)},
                               {Base36(time), Base36(-time)},
                               {"8", "-1"}})[field];
            static const char* const kMalformed[] = {"-", "1-", "--1", "Z", " 1", "zzzzzzzzzzzzzz", "+1", "1.5"};
            fields[field] = Pick(0, 3) ? out[Pick(0, out.size())] : kMalformed[Pick(0, std::size(kMalformed))];
            l[row].clear();
            for (std::size_t k = 0; k < fields.size(); ++k)
                l[row] += (k ? "\t" : "") + fields[k];
            m.what = "number: " + l[row];
            break;
        }
        case 7: {  // a hostile name, put into one or replacing one
            const std::size_t row = Pick(n + 2, p);
            const auto& [piece, refuse] = kNames[Pick(0, std::size(kNames))];
            l[row].insert(Pick(0, l[row].size() + 1), piece);
            static const std::pair<std::string, bool> kWhole[] = {{"", true}, {".", true}, {"..", true},
                                                                  {std::string(256, 'x'), true}, {std::string(255, 'x'), false}};
            const auto& [whole, wholeRefused] = kWhole[Pick(0, std::size(kWhole))];
            const bool replace = Pick(0, 4) == 0;
            if (replace)
                l[row] = whole;
            m = {{}, replace ? wholeRefused : refuse, "name: " + l[row]};
            break;
        }
        case 8: {  // a hostile header value, key or line
            static const struct {
                const char* key;
                std::string value;
                bool refuse;
            } kHead[] = {{"data", "</SCRIPT>", true}, {"data", "2026-13-07T21:05:09Z", true}, {"data", "", true},
                         {"data", "1999-01-01T00:00:00Z", false}, {"ocultos", "2", true}, {"ocultos", "", true},
                         {"ocultos", "0", false}, {"pastas", "-1", true}, {"ilegiveis", "1", true},
                         {"raiz", std::string(40000, 'a'), true}, {"raiz", std::string(20000, 'a') + "\\u003c", false},
                         {"futuro", "\\x", false}, {"futuro", "<", true}, {"semtab", "", true}, {"arquivos", "+", true}};
            const auto& h = kHead[Pick(0, std::size(kHead))];
            const std::string line = h.key == std::string("semtab") ? "semtab" : std::string(h.key) + "\t" + h.value;
            std::size_t row = 2;
            while (row < n && l[row].rfind(std::string(h.key) + "\t", 0) != 0)
                ++row;
            const bool replace = row < n && Pick(0, 4);
            if (replace)
                l[row] = line;
            else
                l.insert(l.begin() + Pick(2, n + 1), line);  // a line more, or a key twice
            m = {{}, h.refuse || (row < n && !replace), "header: " + line.substr(0, 40)};
            break;
        }
        case 9: {  // bytes no page of the writer holds, anywhere in the block
            static const char* const kBytes[] = {"\xff", "\xc3", "\xed\xa0\x80", "\xc0\xaf", "\x01", "\rx", "<", "</script>"};
            l[any].insert(Pick(0, l[any].size() + 1), kBytes[Pick(0, std::size(kBytes))]);
            m.what = "bytes: " + l[any];
            break;
        }
        case 10: {  // a folder not read: its flag, its error and the total must agree
            const std::size_t folder = Pick(1, folders), which = Pick(0, 4);
            if (which != 0)
                l[p + 1 + folder] = l[p + 1 + folder].substr(0, l[p + 1 + folder].rfind('\t') + 1) + "1";
            if (which != 1)
                l.insert(l.begin() + e + 1, Base36(folder) + "\t5\tAcesso negado.");
            for (std::size_t k = 2; which == 3 && k < n; ++k)
                if (l[k].rfind("ilegiveis\t", 0) == 0)
                    l[k] = "ilegiveis\t1";
            m = {{}, which != 3, "unreadable folder " + std::to_string(folder) + ", case " + std::to_string(which)};
            break;
        }
        case 11: {  // counts that no longer agree: a folder's files, a file's size, a total
            const std::size_t which = Pick(0, 3);
            std::size_t row = which == 0 ? Pick(p + 1, f) : Pick(f + 1, e);
            const std::string key = std::vector<std::string>{"pastas\t", "arquivos\t", "bytes\t", "ilegiveis\t"}[Pick(0, 4)];
            for (std::size_t k = 2; which == 2 && k < n; ++k)
                row = l[k].rfind(key, 0) == 0 ? k : row;
            std::vector<std::string> fields = Split(l[row], '\t');
            std::string& field = fields[which == 0 ? 1 : which == 1 ? 0 : 1];
            const std::int64_t now = FromBase36(field);
            field = Base36(now == 0 || Pick(0, 2) ? now + 1 : now - 1);
            l[row] = fields[0];
            for (std::size_t k = 1; k < fields.size(); ++k)
                l[row] += "\t" + fields[k];
            m.what = "count: " + l[row];
            break;
        }
        case 12: {  // escapes the writer does not use, or of what it escapes: they stand for a name
            static const char* const kEscapes[] = {"\\u003c", "\\u003C/script>", "\\ud800", "\\udc00\\ud800",
                                                   "\\n", "\\\"", "\\/", "\\u00e9\\ud83d\\ude00"};
            const std::size_t row = Pick(n + 2, p);
            l[row].insert(0, kEscapes[Pick(0, std::size(kEscapes))]);
            m = {{}, false, "name: " + l[row]};
            m.mustRead = true;
            break;
        }
        default: {  // a comparison's line: skipped, but read as bytes
            const std::size_t row = Pick(at_['A'] + 1, dot);
            const bool script = Pick(0, 2);
            l[row] = script ? "0\t</script>\t1\t2\t3" : "0\t\\x\t1\t2\t3";
            m = {{}, script, "comparison line: " + l[row]};
        }
        }
        m.page = prefix_;
        for (const std::string& line : l)
            m.page += line + "\n";
        m.page += suffix_;
        return m;
    }

private:
    std::size_t Pick(std::size_t from, std::size_t to) { return from + random_() % (to - from); }

    std::mt19937& random_;
    const std::string* page_ = nullptr;
    std::size_t begin_ = 0, end_ = 0;
    std::string prefix_, suffix_;
    std::vector<std::string> lines_;
    std::map<char, std::size_t> at_;
};

bool AnyTemporaryFile(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    return static_cast<bool>(tmb::FindHandle(FindFirstFileW((folder + L"\\~tombarel*").c_str(), &fd)));
}

TEST(CatalogRead, AnEarlierCatalogueMutatedAnyWayIsRefusedOrGivesASoundPage) {
    const char* given = std::getenv("TOMBAREL_SEED");
    const unsigned seed = given && *given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : GetTickCount();
    SCOPED_TRACE("TOMBAREL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    // A tree with markup-like, accented and hidden names, subfolders, and a hidden folder.
    tmbtest::TempFolder root, out;
    for (const wchar_t* folder : {L"P\u00e1gina &amp; &#60;b&#62; x='y'", L"P\u00e1gina &amp; &#60;b&#62; x='y'\\sub", L"Oculta", L"vazia"})
        root.AddFolder(folder);
    SetFileAttributesW((root / L"Oculta").c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* file : {L"a.txt", L"&lt;script&gt; \u00e7\u00e3o.txt", L"P\u00e1gina &amp; &#60;b&#62; x='y'\\um.txt",
                                L"P\u00e1gina &amp; &#60;b&#62; x='y'\\sub\\dois \U0001F600.txt", L"Oculta\\tr\u00eas.txt", L"vai sumir.txt"})
        root.AddFile(file, wcslen(file));
    root.AddFile(L"oculto.txt", 7, FILE_ATTRIBUTE_HIDDEN);
    const std::wstring earlier = out / L"antes.htm", base = out / L"base.htm", mutated = out / L"mutado.htm",
                       target = out / L"novo.htm";
    catalog::WriteCatalog({root.Path(), earlier});
    DeleteFileW((root / L"vai sumir.txt").c_str());
    root.AddFile(L"novo.txt", 3);
    catalog::WriteCatalog({root.Path(), base, true, earlier});  // with a comparison's sections
    const std::string page = tmbtest::ReadFileBytes(base);
    ASSERT_EQ(Unsound(page), "");
    Mutator mutator(page, random);
    int refused = 0;
    for (int i = 0; i < 420; ++i) {
        const Mutant m = mutator.Make(i % Mutator::kKinds);
        SCOPED_TRACE(m.what);
        ASSERT_TRUE(tmbtest::WriteFileBytes(mutated, m.page));
        ASSERT_TRUE(tmbtest::WriteFileBytes(target, "old"));
        try {
            catalog::WriteCatalog({root.Path(), target, random() % 2 == 0, mutated});
        } catch (const tmb::Exception& e) {
            ++refused;
            EXPECT_FALSE(m.mustRead) << U8(e.Message());
            EXPECT_NE(e.Message().find(mutated), std::wstring::npos) << U8(e.Message());
            EXPECT_EQ(tmbtest::ReadFileBytes(target), "old");
            EXPECT_FALSE(AnyTemporaryFile(out.Path()));
            continue;
        }
        EXPECT_FALSE(m.mustRefuse) << "read back";
        const std::string written = tmbtest::ReadFileBytes(target);
        EXPECT_EQ(Unsound(written), "");
        EXPECT_NO_THROW(catalog::ReadCatalogPage(target));
        if (HasFailure())
            return;
    }
    EXPECT_GT(refused, 100);
}

} // namespace
