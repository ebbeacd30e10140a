// The writers' buffered output.
#include "catalog/CatalogFormat.h"

#include <utility>

namespace catalog {

Output::Output(ByteSink sink) : sink_(std::move(sink)) { text_.reserve(kFlushAt + 4096); }

void Output::Flush() {
    if (!text_.empty())
        sink_(text_.data(), text_.size());
    text_.clear();
}

} // namespace catalog
