// The chart files of content/charts/ as the build embedded them (generated at configure time).
#pragma once

#include <cstddef>

namespace zb {

struct EmbeddedFile {
    const char* name;
    const char* text;
};

extern const EmbeddedFile kEmbeddedChartFiles[];
extern const size_t kEmbeddedChartFileCount;

}  // namespace zb
