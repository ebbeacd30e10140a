// An earlier catalogue is input from anywhere: a real one, written by the program, is mutated
// a few hundred ways, and each must either be refused (its name in the message, nothing
// written) or give a new page whose data block is sound; joined to a collection, the same
// block is refused alike or copied sound. TOMBAREL_SEED=n replays a run.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string_view>

#include "catalog/Catalog.h"
#include "catalog/CatalogReader.h"
#include "catalog/Collection.h"
#include "framework/Handles.h"
#include "tests/support/TestFolders.h"

namespace {

std::vector<std::string> Split(std::string_view text, char by) {
    std::vector<std::string> parts;
    for (std::size_t at = 0, end = 0; end != std::string_view::npos; at = end + 1)
        parts.emplace_back(text.substr(at, (end = text.find(by, at)) - at));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, const char* by) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() && &part == &parts[0] ? "" : by) + part;
    return text;
}

std::string Base36(std::int64_t v) {
    std::string digits;
    for (std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : v; u; u /= 36)
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % 36]);
    return (v < 0 ? "-" : "") + digits;
}

std::int64_t FromBase36(const std::string& s) { return s.empty() ? 0 : std::stoll(s, nullptr, 36); }

// A field in its form: 'n' a base-36 number, 's' the inside of a JSON string (valid escapes,
// no control character or quote of its own), not empty; 'e' the same, maybe empty.
bool HasForm(std::string_view f, char form) {
    if (form == 'n')
        return f.substr(!f.empty() && f[0] == '-').find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz") ==
               std::string_view::npos;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const std::string_view escape = f[i] == '\\' ? f.substr(i + 1, f.substr(i + 1, 1) == "u" ? 5 : 1) : "";
        if (static_cast<unsigned char>(f[i]) < 0x20 || f[i] == '"' ||
            (f[i] == '\\' && (escape.size() == 1 ? std::string_view("\"\\/bfnrt").find(escape) == std::string_view::npos
                                                 : escape.size() != 5 || escape.find_first_not_of("0123456789abcdefABCDEF", 1) !=
                                                                             std::string_view::npos)))
            return false;
        i += escape.size();
    }
    return form == 'e' || !f.empty();
}

// What is wrong with the data block of a page the program wrote, or nothing: no "<" in it,
// every line of every section with the fields and forms the format gives, every count right.
std::string Unsound(const std::string& page) {
    const std::size_t begin = page.find('>', page.find("id=\"tombarel-dados\"")) + 1;
    const std::string_view block = std::string_view(page).substr(begin, page.find("</script>", begin) - begin);
    const std::vector<std::string> lines = Split(block, '\n');
    if (block.find('<') != std::string_view::npos || lines.size() < 4 || lines[0] != "tombarel-catalogo\t1" ||
        lines[1] != "H" || lines.end()[-2] != "." || !lines.back().empty())
        return "a \"<\", or the block's first or last lines";
    static const std::map<char, std::string> kForms = {{'H', "se"}, {'N', "s"},   {'P', "nnnnn"}, {'F', "nnn"}, {'E', "nne"},
                                                       {'A', "n"},  {'C', "nnn"}, {'R', "nsnnn"}, {'X', "n"}};
    std::map<std::string, std::string> head;
    std::map<char, std::int64_t> counts;
    char section = 'H';
    for (std::size_t i = 2; i + 2 < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], '\t');
        if (lines[i].size() == 1 && kForms.count(lines[i][0]) && !counts.count(lines[i][0])) {
            counts[section = lines[i][0]] = 0;
            continue;
        }
        const std::string& form = kForms.at(section);
        for (std::size_t k = 0; k < form.size(); ++k)
            if (fields.size() != form.size() || !HasForm(fields[k], form[k]))
                return "a line of " + std::string(1, section) + ": " + lines[i];
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

// A mutation: the page, what was done, and whether it must be refused or must be read.
struct Mutant {
    std::string page, what;
    bool mustRefuse = true, mustRead = false;
};

// Mutations of the data block's lines `l`, of a few kinds, each at random places.
class Mutator {
public:
    static constexpr int kKinds = 10;

    Mutator(const std::string& page, std::mt19937& random) : page_(page), random_(random) {
        begin_ = page.find('>', page.find("id=\"tombarel-dados\"")) + 1;
        end_ = page.find("</script>", begin_);
        lines_ = Split(std::string_view(page).substr(begin_, end_ - begin_ - 1), '\n');
        for (std::size_t i = 0; i < lines_.size(); ++i)
            at_[lines_[i].size() == 1 ? lines_[i][0] : '?'] = i;
    }

    Mutant Make(int kind) {
        std::vector<std::string> l = lines_;
        Mutant m;
        const std::size_t n = at_['N'], p = at_['P'], f = at_['F'], e = at_['E'], dot = at_['.'];
        const std::size_t any = Pick(1, dot + 1), name = Pick(n + 2, p), other = Pick(1, dot + 1);
        const auto field = [&](std::size_t row, std::size_t k, const std::string& value) {
            std::vector<std::string> fields = Split(l[row], '\t');
            fields[k] = value;
            m.what = l[row] = Join(fields, "\t");
        };
        switch (kind) {
        case 0: {  // cut anywhere near the block
            const std::size_t at = Pick(begin_ - 40, end_ + 12);
            return {page_.substr(0, at), "cut at " + std::to_string(at), false};
        }
        case 1: {  // a line dropped, repeated, swapped with another, or a section's line moved
            const std::size_t op = Pick(0, 4), section = at_["NPFE."[Pick(0, 5)]];
            const std::string moved = l[section];
            if (op == 0)
                l.erase(l.begin() + any);
            else if (op == 1)
                l.insert(l.begin() + any, l[any]);
            else if (op == 2)
                std::swap(l[any], l[other]);
            else
                l.erase(l.begin() + section), l.insert(l.begin() + other - 1, moved);
            m = {{}, "lines, " + std::to_string(op), false};
            break;
        }
        case 2:  // a section after E again, or one of the tree's
            l.insert(l.begin() + Pick(e + 1, dot + 1), m.what = std::string(1, "HNPFEACRX"[Pick(0, 9)]));
            break;
        case 3: {  // a number out of range, malformed, or no longer agreeing with the totals
            const bool inP = Pick(0, 2), total = Pick(0, 2) == 0;
            const std::size_t row = inP ? Pick(p + 1, f) : Pick(f + 1, e), k = Pick(0, inP ? 5 : 3);
            const std::int64_t now = FromBase36(Split(l[row], '\t')[k]), i = row - p - 1, time = 8'640'000'000'001;
            const std::vector<std::string> values =
                inP ? std::vector<std::vector<std::string>>{{i ? "0" : "1", Base36(i + 1), "-1"}, {"-1", Base36(now + 1)},
                                                            {"-1", Base36(1LL << 32)}, {Base36(time), Base36(-time)}, {"8", "-1"}}[k]
                    : std::vector<std::vector<std::string>>{{"-1", Base36((1LL << 53) + 1), Base36(now + 1)},
                                                            {Base36(time), Base36(-time)}, {"-1", Base36(1LL << 32)}}[k];
            static const char* const kMalformed[] = {"-", "1-", "--1", "Z", " 1", "zzzzzzzzzzzzzz", "+1", "1.5"};
            if (total) {  // a folder's files, a file's size or a total, one more or less
                const std::string key = std::vector<std::string>{"pastas", "arquivos", "bytes", "ilegiveis"}[Pick(0, 4)];
                std::size_t at = row, k = inP ? 1 : 0;
                if (Pick(0, 2) == 0)
                    for (at = 2, k = 1; l[at].rfind(key + "\t", 0) != 0; ++at) {
                    }
                const std::int64_t old = FromBase36(Split(l[at], '\t')[k]);
                field(at, k, Base36(old == 0 || Pick(0, 2) ? old + 1 : old - 1));
            } else {
                field(row, k, Pick(0, 3) ? values[Pick(0, values.size())] : kMalformed[Pick(0, std::size(kMalformed))]);
            }
            break;
        }
        case 4: {  // a name holding what no name the writer writes holds, or a name no file has
            static const std::string kPieces[] = {"</SCRIPT><img src=x onerror=alert(1)>", "</script ", "</scriptx", "<!--", "\t",
                                                  "\x01", std::string("\0", 1), "\\x", "\\u12g4", "\"", "\\u0000", "\\\\"};
            static const std::string kWhole[] = {"", ".", "..", std::string(256, 'x')};
            if (Pick(0, 4))
                l[name].insert(Pick(0, l[name].size() + 1), kPieces[Pick(0, std::size(kPieces))]);
            else
                l[name] = kWhole[Pick(0, std::size(kWhole))];
            m.what = "name: " + l[name];
            break;
        }
        case 5: {  // a name written with escapes the writer does not use, or of what it escapes
            static const char* const kEscapes[] = {"\\u003c", "\\u003C/script>", "\\ud800", "\\udc00\\ud800", "\\n",
                                                   "\\\"", "\\/", "\\u00e9\\ud83d\\ude00", "\xc3\xa9\xe6\x97\xa5"};
            l[name].insert(0, kEscapes[Pick(0, std::size(kEscapes))]);
            m = {{}, "name: " + l[name], false, true};
            if (Pick(0, 8) == 0)
                l[name] = std::string(255, 'x'), m.what = "a name of 255";
            break;
        }
        case 6: {  // a header's value, key or line
            static const std::pair<std::string, bool> kHead[] = {
                {"data\t</SCRIPT>", true},   {"data\t2026-13-07T21:05:09Z", true}, {"data\t", true},
                {"ocultos\t2", true},        {"pastas\t-1", true},                {"raiz\t" + std::string(40000, 'a'), true},
                {"futuro\t<", true},         {"semtab", true},                    {"data\t1999-01-01T00:00:00Z", false},
                {"ocultos\t0", false},       {"futuro\t\\x", false},              {"raiz\t" + std::string(20000, 'a') + "\\u003c", false}};
            const auto& [line, refused] = kHead[Pick(0, std::size(kHead))];
            std::size_t row = 2;
            while (row < n && l[row].rfind(line.substr(0, line.find('\t') + 1), 0) != 0)
                ++row;
            const bool replace = row < n && Pick(0, 4);
            if (replace)
                l[row] = line;
            else
                l.insert(l.begin() + Pick(2, n + 1), line);  // a line more, or a key twice
            m = {{}, "header: " + line.substr(0, 40), refused || (row < n && !replace)};
            break;
        }
        case 7: {  // bytes that are not UTF-8, or a control character, or "<", anywhere in the block
            static const char* const kBytes[] = {"\xff", "\xc3", "\xed\xa0\x80", "\xc0\xaf", "\x01", "\rx", "<", "</script>"};
            l[any].insert(Pick(0, l[any].size() + 1), kBytes[Pick(0, std::size(kBytes))]);
            m.what = "bytes: " + l[any];
            break;
        }
        case 8: {  // a folder not read: its flag, its error line and the total must agree
            const std::size_t folder = Pick(1, f - p - 1), which = Pick(0, 4);
            if (which != 0)
                field(p + 1 + folder, 4, "1");
            if (which != 1)
                l.insert(l.begin() + e + 1, Base36(folder) + "\t5\tAcesso negado.");
            for (std::size_t k = 2; which == 3 && k < n; ++k)
                l[k] = l[k].rfind("ilegiveis\t", 0) == 0 ? "ilegiveis\t1" : l[k];
            m = {{}, "unreadable folder, case " + std::to_string(which), which != 3};
            break;
        }
        default: {  // a comparison's line, skipped but for its bytes
            const std::size_t row = Pick(at_['A'] + 1, dot);
            l[row] = Pick(0, 2) ? "0\t</script>\t1\t2\t3" : "0\t\\x\t1\t2\t3";
            m = {{}, "comparison line: " + l[row], l[row].find('<') != std::string::npos};
        }
        }
        m.page = page_.substr(0, begin_) + Join(l, "\n") + "\n" + page_.substr(end_);
        return m;
    }

private:
    std::size_t Pick(std::size_t from, std::size_t to) { return from + random_() % (to - from); }

    const std::string& page_;
    std::mt19937& random_;
    std::size_t begin_ = 0, end_ = 0;
    std::vector<std::string> lines_;
    std::map<char, std::size_t> at_;
};

TEST(CatalogRead, AnEarlierCatalogueMutatedAnyWayIsRefusedOrGivesASoundPage) {
    const char* given = std::getenv("TOMBAREL_SEED");
    const unsigned seed = given && *given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : GetTickCount();
    SCOPED_TRACE("TOMBAREL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    // Markup-like, accented and hidden names, subfolders, a hidden folder.
    tmbtest::TempFolder root, out;
    const std::wstring markup = L"P\u00e1gina &amp; &#60;b&#62; x='y'";
    for (const std::wstring& folder : {markup, markup + L"\\sub", std::wstring(L"Oculta"), std::wstring(L"vazia")})
        root.AddFolder(folder);
    SetFileAttributesW((root / L"Oculta").c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const std::wstring file : {L"a.txt", L"&lt;script&gt; \u00e7\u00e3o.txt", L"Oculta\\tr\u00eas.txt", L"vai sumir.txt"})
        root.AddFile(file, file.size());
    root.AddFile(markup + L"\\sub\\dois \U0001F600.txt", 9);
    root.AddFile(L"oculto.txt", 7, FILE_ATTRIBUTE_HIDDEN);
    const std::wstring earlier = out / L"antes.htm", base = out / L"base.htm", mutated = out / L"mutado.htm",
                       target = out / L"novo.htm";
    catalog::WriteCatalog({root.Path(), earlier});
    catalog::WriteCatalog({root.Path(), out / L"sem.htm", false});
    DeleteFileW((root / L"vai sumir.txt").c_str());
    root.AddFile(L"novo.txt", 3);
    // Hidden entries only one side includes are neither added nor removed, and the page says so.
    for (const bool hidden : {false, true}) {
        const catalog::Totals totals = catalog::WriteCatalog({root.Path(), target, hidden, hidden ? out / L"sem.htm" : earlier});
        EXPECT_EQ(totals.added * 10 + totals.removed, 11u);
        const std::string page = tmbtest::ReadFileBytes(target);
        EXPECT_NE(page.find(hidden ? "Este cat\xC3\xA1logo inclui os arquivos ocultos e o anterior n\xC3\xA3o"
                                   : "O cat\xC3\xA1logo anterior inclu\xC3\xAD" "a os arquivos ocultos e este n\xC3\xA3o"),
                  std::string::npos);
        EXPECT_NE(page.find(std::string("\nocultos-anterior\t") + (hidden ? "0\n" : "1\n")), std::string::npos);
    }
    const catalog::Totals totals = catalog::WriteCatalog({root.Path(), base, true, earlier});  // a comparison's sections
    EXPECT_EQ(totals.added * 10 + totals.removed, 11u);
    const std::string page = tmbtest::ReadFileBytes(base);
    ASSERT_EQ(Unsound(page), "");
    Mutator mutator(page, random);
    // A collection of another folder's volume, which each mutated block joins as a second one.
    tmbtest::TempFolder other;
    other.AddFile(L"outro.txt", 2);
    catalog::CollectionRequest join;
    join.file = out / L"colecao.htm";
    join.folders = {other.Path()};
    catalog::WriteCollection(join);
    const std::string collection = tmbtest::ReadFileBytes(join.file);
    join.folders.clear();
    int refused = 0;
    for (int i = 0; i < 440; ++i) {
        const Mutant m = mutator.Make(i % Mutator::kKinds);
        SCOPED_TRACE(m.what);
        ASSERT_TRUE(tmbtest::WriteFileBytes(mutated, m.page) && tmbtest::WriteFileBytes(target, "old") &&
                    tmbtest::WriteFileBytes(join.file, collection));
        bool read = false;
        try {
            join.join = {mutated};
            catalog::WriteCollection(join);
            read = true;
            // The block copied as it was given (a later version's keys and fields included).
            const std::string written = tmbtest::ReadFileBytes(join.file);
            const std::size_t from = written.find('\n', written.rfind("\nV\t") + 1) + 1,
                              given = m.page.find('>', m.page.find("id=\"tombarel-dados\"")) + 1;
            EXPECT_EQ(written.substr(from, written.find("\n.\n", from) + 3 - from),
                      m.page.substr(given, m.page.find("\n.\n", given) + 3 - given));
            join.join.clear();
            catalog::WriteCollection(join);  // read back whole: every volume checked again
        } catch (const tmb::Exception& e) {
            EXPECT_FALSE(read) << U8(e.Message());
            EXPECT_NE(e.Message().find(mutated), std::wstring::npos) << U8(e.Message());
            EXPECT_EQ(tmbtest::ReadFileBytes(join.file), collection);
        }
        try {
            catalog::WriteCatalog({root.Path(), target, random() % 2 == 0, mutated});
            EXPECT_FALSE(m.mustRefuse) << "read back";
            EXPECT_TRUE(read) << "refused in a collection only";
            EXPECT_EQ(Unsound(tmbtest::ReadFileBytes(target)), "");
            EXPECT_NO_THROW(catalog::ReadCatalogPage(target));
        } catch (const tmb::Exception& e) {
            ++refused;
            EXPECT_FALSE(read) << "copied into a collection: " << U8(e.Message());
            EXPECT_FALSE(m.mustRead) << U8(e.Message());
            EXPECT_NE(e.Message().find(mutated), std::wstring::npos) << U8(e.Message());
            EXPECT_EQ(tmbtest::ReadFileBytes(target), "old");
            WIN32_FIND_DATAW fd;
            EXPECT_FALSE(tmb::FindHandle(FindFirstFileW((out / L"~tombarel*").c_str(), &fd))) << "a temporary file left";
        }
        if (HasFailure())
            return;
    }
    EXPECT_GT(refused, 150);
}

} // namespace
