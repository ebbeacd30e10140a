// Writing the collection's page around the volumes' blocks: the header a table of the
// volumes (what each disc is and what it holds), the data element a line "V" with the base of
// the volume's links before each block.
#include "catalog/CollectionPage.h"

#include "catalog/CatalogPage.h"
#include "catalog/PageText.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

const char* DriveKindText(const std::string& word) {
    if (word == "fixo") return "disco fixo";
    if (word == "removivel") return "remov\xC3\xADvel";
    if (word == "cd") return "CD/DVD";
    if (word == "rede") return "rede";
    if (word == "ram") return "RAM";
    return "";
}

std::string Cell(const std::string& html) { return "<td>" + html + "</td>"; }

std::string Header(const std::wstring& file, const Totals& totals, const std::vector<CollectionVolume>& volumes) {
    std::string html = "<header id=\"cabecalho\"><h1>Cole\xC3\xA7\xC3\xA3o <span class=\"caminho\">" +
                       HtmlText(file) + "</span></h1><p class=\"resumo\">" +
                       Plural(volumes.size(), "volume", "volumes") + " \xC2\xB7 " +
                       Plural(totals.files, "arquivo", "arquivos") + " \xC2\xB7 " +
                       Plural(totals.folders, "pasta", "pastas") + " \xC2\xB7 " + SizeText(totals.bytes) +
                       "</p>";
    if (totals.unreadable)
        html += "<p class=\"ilegiveis\">" + Plural(totals.unreadable, "pasta n\xC3\xA3o p\xC3\xB4" "de ser lida",
                                                   "pastas n\xC3\xA3o puderam ser lidas") +
                " (ou lidas s\xC3\xB3 em parte).</p>";
    html += "<table class=\"volumes\"><caption>Volumes</caption><thead><tr><th scope=\"col\">Nome</th>"
            "<th scope=\"col\">R\xC3\xB3tulo</th><th scope=\"col\">S\xC3\xA9rie</th><th scope=\"col\">Sistema</th>"
            "<th scope=\"col\">Unidade</th><th scope=\"col\">Capacidade</th><th scope=\"col\">Livre</th>"
            "<th scope=\"col\">Catalogado em</th><th scope=\"col\">Arquivos</th><th scope=\"col\">Tamanho</th>"
            "</tr></thead><tbody>";
    for (const CollectionVolume& v : volumes) {
        const BlockFacts& f = *v.facts;
        const std::string serial =
            f.serial.size() == 8 ? f.serial.substr(0, 4) + "-" + f.serial.substr(4) : std::string();
        html += "<tr><th scope=\"row\">" + HtmlText(f.volumeName) + "</th>" + Cell(HtmlText(f.label)) +
                Cell(serial) + Cell(HtmlText(f.fileSystem)) + Cell(DriveKindText(f.driveKind)) +
                Cell(f.capacity ? SizeText(f.capacity) : std::string()) +
                Cell(f.capacity ? SizeText(f.free) : std::string()) +
                Cell("<time datetime=\"" + HtmlText(tmb::Utf8ToWide(f.date)) + "\">" +
                     HtmlText(tmb::Utf8ToWide(IsoDateText(f.date))) + "</time>") +
                Cell(Grouped(f.totals.files)) + Cell(SizeText(f.totals.bytes)) + "</tr>";
    }
    html += "</tbody></table></header>";
    return html;
}

} // namespace

void WriteCollectionPage(const std::wstring& file, const Totals& totals,
                         const std::vector<CollectionVolume>& volumes, Output& out,
                         const std::function<void(std::size_t i, Output& out)>& block) {
    WriteShell(out, [&](std::string_view marker) {
        if (marker == "ATTRS")
            out.Add("data-files=\"" + std::to_string(totals.files) + "\" data-folders=\"" +
                    std::to_string(totals.folders) + "\" data-bytes=\"" + std::to_string(totals.bytes) +
                    "\" data-unreadable=\"" + std::to_string(totals.unreadable) + "\" data-volumes=\"" +
                    std::to_string(volumes.size()) + "\"");
        else if (marker == "FORMAT")
            out.Add("tombarel-colecao");
        else if (marker == "TITLE")
            out.Add("Cole\xC3\xA7\xC3\xA3o " + HtmlText(file));
        else if (marker == "HEADER")
            out.Add(Header(file, totals, volumes));
        else if (marker == "DATA") {
            out.Add("tombarel-colecao\t1\n");
            for (std::size_t i = 0; i < volumes.size(); ++i) {
                out.Add("V\t" + Escaped(volumes[i].linkBase) + "\n");
                block(i, out);
            }
            out.Add(".\n");
        }
    });
}

} // namespace catalog
