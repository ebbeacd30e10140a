// What the page writer and the CSV writer are given, and the one buffered output both write
// to. A writer only formats: the job reads, walks, compares, counts and owns the target.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CatalogCompare.h"
#include "catalog/CatalogProgress.h"
#include "catalog/CatalogTree.h"
#include "catalog/Volume.h"

namespace catalog {

// Takes the bytes written, in order.
using ByteSink = std::function<void(const char* bytes, std::size_t size)>;

// Gathers small pieces and hands them on a megabyte at a time: a million entries make
// a hundred writes, not a million.
class Output {
public:
    explicit Output(ByteSink sink);
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Add(std::string_view bytes) {
        text_.append(bytes.data(), bytes.size());
        Spill();
    }
    void Add(char c) {
        text_ += c;
        Spill();
    }
    // The buffer itself, for a writer that appends a row's small pieces and then calls Spill.
    std::string& Text() { return text_; }
    // Hands the buffer on once it holds a megabyte.
    void Spill() {
        if (text_.size() >= kFlushAt)
            Flush();
    }
    // Hands on whatever the buffer holds; the writer's last call.
    void Flush();

private:
    static constexpr std::size_t kFlushAt = std::size_t{1} << 20;
    ByteSink sink_;
    std::string text_;
};

// What a catalogue says besides its tree.
struct Facts {
    std::wstring root;      // the catalogued folder, canonical
    std::wstring linkBase;  // LinkBase(root, target)
    SYSTEMTIME started{};   // when the walk began, UTC
    bool includeHidden = true;
    std::vector<std::wstring> exclude;  // the name patterns left out, as given
    VolumeFacts volume;                 // the volume the folder lies on
    std::wstring volumeName;            // what a collection calls it
    Totals totals;
    // With a comparison: what changed, the earlier page and when it was made (ISO 8601 UTC).
    const Changes* changes = nullptr;
    std::wstring comparedWith;
    std::string comparedDate;
    bool comparedIncludeHidden = true;  // the earlier catalogue's own setting
};

// The step a catalogue and each volume of a collection share: `facts` (whose root, volume and
// name are set, the rest filled here) walked into `tree` for a target written through
// `temporary` (neither is listed), then compared with `earlier` when one is given. The totals
// land in `facts`; `changes` and `earlier` must outlive the writing, which reads both.
struct Earlier {
    const CatalogTree* tree = nullptr;
    std::wstring page;         // shown as what it was compared with
    std::string date;          // when it was made, ISO 8601 UTC
    bool includeHidden = true;
};
void WalkAndCompare(Facts& facts, const std::wstring& target, const std::wstring& temporary,
                    const std::vector<std::wstring>& exclude, CatalogTree& tree, const Earlier* earlier,
                    Changes& changes, ProgressGate& gate);

// A format's writer: the tree, the comparison and the facts as bytes, telling the gate of
// every entry written (which raises Cancelled when the user stops).
using FormatWriter = void (*)(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate);

} // namespace catalog
