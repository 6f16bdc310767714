// Feeds arbitrary SQL text to the rewriter: it must return or raise
// ESqlRewriteError, never crash, and never add, drop or move a quote (texts in
// quotes are never rewritten, so a condition cannot be turned into other SQL).
#include <algorithm>
#include <cstdint>
#include <string>

#include "services/appserver/SqlRewriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string sql(reinterpret_cast<const char*>(data), size);
    try {
        const std::string out = RewriteSql(sql, "DEMO");
        for (char q : {'\'', '"'})
            if (std::count(out.begin(), out.end(), q) != std::count(sql.begin(), sql.end(), q)) __builtin_trap();
    } catch (const ESqlRewriteError&) {
    }
    return 0;
}
